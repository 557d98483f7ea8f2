#include "presentation/gdi_graphics.h"

#include "presentation/gdi_brush.h"
#include "presentation/gdi_font.h"
#include "presentation/gdi_image.h"
#include "presentation/gdi_pen.h"
#include "presentation/wide_text.h"

namespace quill::presentation {

using namespace gdiplus;

namespace {

// The count to pass for `count` items of a vector of `size`; -1 when it
// would read past the vector.
template <typename T>
INT count_of(const std::vector<T>& items, INT count) {
  if (count == GdiGraphics::kAll) return static_cast<INT>(items.size());
  return count >= 0 && static_cast<std::size_t>(count) <= items.size() ? count : -1;
}

Status bool_out(BOOL value, Status status, bool& result) {
  result = value != 0;
  return status;
}

}  // namespace

void GdiGraphics::dispose() {
  if (handle_ == nullptr) return;
  GdipDeleteGraphics(handle_);
  handle_ = nullptr;
}

void GdiGraphics::adopt(GpGraphics* graphics) {
  dispose();
  handle_ = graphics;
}

Status GdiGraphics::from_image(const GdiImage& image) {
  GpGraphics* made = nullptr;
  const Status status = GdipGetImageGraphicsContext(image.handle(), &made);
  adopt(made);
  return status;
}

Status GdiGraphics::from_window(win::HWND window) {
  GpGraphics* made = nullptr;
  const Status status = GdipCreateFromHWND(window, &made);
  adopt(made);
  return status;
}

Status GdiGraphics::draw_curve3(const GdiPen& pen, const std::vector<PointF>& points, INT count, INT offset,
                                INT segments, REAL tension) {
  const INT n = count_of(points, count);
  if (n < 0) return InvalidParameter;
  return GdipDrawCurve3(handle_, pen.handle(), points.data(), n, offset, segments == kAll ? n - 1 : segments, tension);
}

Status GdiGraphics::draw_lines(const GdiPen& pen, const std::vector<PointF>& points, INT count) {
  const INT n = count_of(points, count);
  return n < 0 ? InvalidParameter : GdipDrawLines(handle_, pen.handle(), points.data(), n);
}

Status GdiGraphics::draw_line(const GdiPen& pen, REAL x1, REAL y1, REAL x2, REAL y2) {
  return GdipDrawLine(handle_, pen.handle(), x1, y1, x2, y2);
}

Status GdiGraphics::set_smoothing_mode(SmoothingMode mode) { return GdipSetSmoothingMode(handle_, mode); }

Status GdiGraphics::get_smoothing_mode(SmoothingMode& mode) {
  mode = SmoothingModeInvalid;
  return GdipGetSmoothingMode(handle_, &mode);
}

Status GdiGraphics::set_text_rendering_hint(TextRenderingHint hint) { return GdipSetTextRenderingHint(handle_, hint); }

Status GdiGraphics::get_text_rendering_hint(TextRenderingHint& hint) {
  return GdipGetTextRenderingHint(handle_, &hint);
}

Status GdiGraphics::draw_string(const std::string& text, REAL x, REAL y, const GdiFont& font, const GdiBrush& brush) {
  const std::u16string wide = to_wide(text);
  const RectF layout{x, y, 0, 0};
  return GdipDrawString(handle_, wide.c_str(), static_cast<INT>(wide.size()), font.handle(), &layout, nullptr,
                        brush.handle());
}

Status GdiGraphics::get_dc(win::HDC& dc) { return GdipGetDC(handle_, &dc); }
Status GdiGraphics::release_dc(win::HDC dc) { return GdipReleaseDC(handle_, dc); }

Status GdiGraphics::fill_rectangle(const GdiBrush& brush, REAL x, REAL y, REAL width, REAL height) {
  return GdipFillRectangle(handle_, brush.handle(), x, y, width, height);
}

Status GdiGraphics::graphics_clear(ARGB colour) { return GdipGraphicsClear(handle_, colour); }

Status GdiGraphics::draw_closed_curve2(const GdiPen& pen, const std::vector<PointF>& points, INT count, REAL tension) {
  const INT n = count_of(points, count);
  return n < 0 ? InvalidParameter : GdipDrawClosedCurve2(handle_, pen.handle(), points.data(), n, tension);
}

Status GdiGraphics::draw_arc(const GdiPen& pen, REAL x, REAL y, REAL width, REAL height, REAL start_angle,
                             REAL sweep_angle) {
  return GdipDrawArc(handle_, pen.handle(), x, y, width, height, start_angle, sweep_angle);
}

Status GdiGraphics::draw_bezier(const GdiPen& pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4,
                                REAL y4) {
  return GdipDrawBezier(handle_, pen.handle(), x1, y1, x2, y2, x3, y3, x4, y4);
}

Status GdiGraphics::draw_beziers(const GdiPen& pen, const std::vector<PointF>& points, INT count) {
  const INT n = count_of(points, count);
  return n < 0 ? InvalidParameter : GdipDrawBeziers(handle_, pen.handle(), points.data(), n);
}

Status GdiGraphics::draw_rectangle(const GdiPen& pen, REAL x, REAL y, REAL width, REAL height) {
  return GdipDrawRectangle(handle_, pen.handle(), x, y, width, height);
}

Status GdiGraphics::draw_rectangles(const GdiPen& pen, const std::vector<RectF>& rects, INT count) {
  const INT n = count_of(rects, count);
  return n < 0 ? InvalidParameter : GdipDrawRectangles(handle_, pen.handle(), rects.data(), n);
}

Status GdiGraphics::draw_ellipse(const GdiPen& pen, REAL x, REAL y, REAL width, REAL height) {
  return GdipDrawEllipse(handle_, pen.handle(), x, y, width, height);
}

Status GdiGraphics::draw_pie(const GdiPen& pen, REAL x, REAL y, REAL width, REAL height, REAL start_angle,
                             REAL sweep_angle) {
  return GdipDrawPie(handle_, pen.handle(), x, y, width, height, start_angle, sweep_angle);
}

Status GdiGraphics::draw_polygon(const GdiPen& pen, const std::vector<PointF>& points, INT count) {
  const INT n = count_of(points, count);
  return n < 0 ? InvalidParameter : GdipDrawPolygon(handle_, pen.handle(), points.data(), n);
}

Status GdiGraphics::fill_rectangles(const GdiBrush& brush, const std::vector<RectF>& rects, INT count) {
  const INT n = count_of(rects, count);
  return n < 0 ? InvalidParameter : GdipFillRectangles(handle_, brush.handle(), rects.data(), n);
}

Status GdiGraphics::fill_polygon(const GdiBrush& brush, const std::vector<PointF>& points, INT count, FillMode mode) {
  const INT n = count_of(points, count);
  return n < 0 ? InvalidParameter : GdipFillPolygon(handle_, brush.handle(), points.data(), n, mode);
}

Status GdiGraphics::fill_ellipse(const GdiBrush& brush, REAL x, REAL y, REAL width, REAL height) {
  return GdipFillEllipse(handle_, brush.handle(), x, y, width, height);
}

Status GdiGraphics::fill_pie(const GdiBrush& brush, REAL x, REAL y, REAL width, REAL height, REAL start_angle,
                             REAL sweep_angle) {
  return GdipFillPie(handle_, brush.handle(), x, y, width, height, start_angle, sweep_angle);
}

Status GdiGraphics::fill_closed_curve2(const GdiBrush& brush, const std::vector<PointF>& points, INT count,
                                       REAL tension, FillMode mode) {
  const INT n = count_of(points, count);
  return n < 0 ? InvalidParameter : GdipFillClosedCurve2(handle_, brush.handle(), points.data(), n, tension, mode);
}

Status GdiGraphics::draw_path(const GdiPen& pen, GpPath* path) { return GdipDrawPath(handle_, pen.handle(), path); }
Status GdiGraphics::fill_path(const GdiBrush& brush, GpPath* path) {
  return GdipFillPath(handle_, brush.handle(), path);
}
Status GdiGraphics::fill_region(const GdiBrush& brush, GpRegion* region) {
  return GdipFillRegion(handle_, brush.handle(), region);
}

Status GdiGraphics::draw_image(const GdiImage& image, REAL x, REAL y) {
  return GdipDrawImage(handle_, image.handle(), x, y);
}

Status GdiGraphics::draw_image_rect(const GdiImage& image, REAL x, REAL y, REAL width, REAL height) {
  return GdipDrawImageRect(handle_, image.handle(), x, y, width, height);
}

Status GdiGraphics::draw_image_points(const GdiImage& image, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3) {
  const PointF points[3] = {{x1, y1}, {x2, y2}, {x3, y3}};
  return GdipDrawImagePoints(handle_, image.handle(), points, 3);
}

Status GdiGraphics::draw_image_point_rect(const GdiImage& image, REAL x, REAL y, REAL src_x, REAL src_y, REAL src_width,
                                          REAL src_height, Unit src_unit) {
  return GdipDrawImagePointRect(handle_, image.handle(), x, y, src_x, src_y, src_width, src_height, src_unit);
}

Status GdiGraphics::set_clip_graphics(const GdiGraphics& source, CombineMode mode) {
  return GdipSetClipGraphics(handle_, source.handle(), mode);
}
Status GdiGraphics::set_clip_rect(REAL x, REAL y, REAL width, REAL height, CombineMode mode) {
  return GdipSetClipRect(handle_, x, y, width, height, mode);
}
Status GdiGraphics::set_clip_path(GpPath* path, CombineMode mode) { return GdipSetClipPath(handle_, path, mode); }
Status GdiGraphics::set_clip_region(GpRegion* region, CombineMode mode) {
  return GdipSetClipRegion(handle_, region, mode);
}
Status GdiGraphics::set_clip_hrgn(HRGN region, CombineMode mode) { return GdipSetClipHrgn(handle_, region, mode); }
Status GdiGraphics::reset_clip() { return GdipResetClip(handle_); }
Status GdiGraphics::translate_clip(REAL dx, REAL dy) { return GdipTranslateClip(handle_, dx, dy); }
Status GdiGraphics::get_clip(GpRegion* region) { return GdipGetClip(handle_, region); }
Status GdiGraphics::get_clip_bounds(RectF& bounds) { return GdipGetClipBounds(handle_, &bounds); }

Status GdiGraphics::is_clip_empty(bool& result) {
  BOOL value = 0;
  result = false;
  const Status status = GdipIsClipEmpty(handle_, &value);
  return bool_out(value, status, result);
}

Status GdiGraphics::get_visible_clip_bounds(RectF& bounds) { return GdipGetVisibleClipBounds(handle_, &bounds); }

Status GdiGraphics::is_visible_clip_empty(bool& result) {
  BOOL value = 0;
  result = false;
  const Status status = GdipIsVisibleClipEmpty(handle_, &value);
  return bool_out(value, status, result);
}

Status GdiGraphics::is_visible_point(REAL x, REAL y, bool& result) {
  BOOL value = 0;
  result = false;
  const Status status = GdipIsVisiblePoint(handle_, x, y, &value);
  return bool_out(value, status, result);
}

Status GdiGraphics::is_visible_rect(REAL x, REAL y, REAL width, REAL height, bool& result) {
  BOOL value = 0;
  result = false;
  const Status status = GdipIsVisibleRect(handle_, x, y, width, height, &value);
  return bool_out(value, status, result);
}

Status GdiGraphics::set_world_transform(GpMatrix* matrix) { return GdipSetWorldTransform(handle_, matrix); }
Status GdiGraphics::get_world_transform(GpMatrix* matrix) { return GdipGetWorldTransform(handle_, matrix); }
Status GdiGraphics::reset_world_transform() { return GdipResetWorldTransform(handle_); }
Status GdiGraphics::translate_world_transform(REAL dx, REAL dy, MatrixOrder order) {
  return GdipTranslateWorldTransform(handle_, dx, dy, order);
}
Status GdiGraphics::scale_world_transform(REAL sx, REAL sy, MatrixOrder order) {
  return GdipScaleWorldTransform(handle_, sx, sy, order);
}
Status GdiGraphics::rotate_world_transform(REAL angle, MatrixOrder order) {
  return GdipRotateWorldTransform(handle_, angle, order);
}
Status GdiGraphics::multiply_world_transform(const GpMatrix* matrix, MatrixOrder order) {
  return GdipMultiplyWorldTransform(handle_, matrix, order);
}
Status GdiGraphics::get_dpi_x(REAL& dpi) { return GdipGetDpiX(handle_, &dpi); }
Status GdiGraphics::get_dpi_y(REAL& dpi) { return GdipGetDpiY(handle_, &dpi); }

}  // namespace quill::presentation
