#pragma once
// GdiGraphics: owns one graphics context of the drawing layer, on an image or
// on a window. Creating again releases the context held before. One thread at
// a time; never copied. Point and rectangle counts default to the whole
// vector; a count beyond the vector answers InvalidParameter (never read past it).

#include <string>
#include <vector>

#include "platform/gdiplus/graphics.h"

namespace quill::presentation {

class GdiBrush;
class GdiFont;
class GdiImage;
class GdiPen;

class GdiGraphics final {
 public:
  using Status = gdiplus::Status;
  using REAL = gdiplus::REAL;
  using INT = gdiplus::INT;
  using PointF = gdiplus::PointF;
  using RectF = gdiplus::RectF;
  using CombineMode = gdiplus::CombineMode;
  using MatrixOrder = gdiplus::MatrixOrder;
  static constexpr CombineMode kReplace = gdiplus::CombineModeReplace;
  static constexpr MatrixOrder kPrepend = gdiplus::MatrixOrderPrepend;
  static constexpr INT kAll = -1;  // every point of the vector; count - 1 segments

  GdiGraphics() = default;
  ~GdiGraphics() { dispose(); }
  GdiGraphics(const GdiGraphics&) = delete;
  GdiGraphics& operator=(const GdiGraphics&) = delete;

  void dispose();
  void adopt(gdiplus::GpGraphics* graphics);
  // Drawing goes into the image's pixels.
  Status from_image(const GdiImage& image);
  // Drawing goes to the window's client area.
  Status from_window(win::HWND window);
  gdiplus::GpGraphics* handle() const { return handle_; }
  Status draw_curve3(const GdiPen& pen, const std::vector<PointF>& points, INT count = kAll, INT offset = 0,
                     INT segments = kAll, REAL tension = 0.5f);
  Status draw_lines(const GdiPen& pen, const std::vector<PointF>& points, INT count = kAll);
  Status draw_line(const GdiPen& pen, REAL x1, REAL y1, REAL x2, REAL y2);
  Status set_smoothing_mode(gdiplus::SmoothingMode mode);
  // `mode` is -1 (invalid) before the call.
  Status get_smoothing_mode(gdiplus::SmoothingMode& mode);
  Status set_text_rendering_hint(gdiplus::TextRenderingHint hint);
  Status get_text_rendering_hint(gdiplus::TextRenderingHint& hint);
  // `text` (system text) at (x, y), unbounded layout, default format.
  Status draw_string(const std::string& text, REAL x, REAL y, const GdiFont& font, const GdiBrush& brush);
  Status get_dc(win::HDC& dc);
  Status release_dc(win::HDC dc);
  Status fill_rectangle(const GdiBrush& brush, REAL x, REAL y, REAL width, REAL height);
  Status graphics_clear(gdiplus::ARGB colour);
  Status draw_closed_curve2(const GdiPen& pen, const std::vector<PointF>& points, INT count = kAll,
                            REAL tension = 0.5f);
  Status draw_arc(const GdiPen& pen, REAL x, REAL y, REAL width, REAL height, REAL start_angle, REAL sweep_angle);
  Status draw_bezier(const GdiPen& pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4, REAL y4);
  Status draw_beziers(const GdiPen& pen, const std::vector<PointF>& points, INT count = kAll);
  Status draw_rectangle(const GdiPen& pen, REAL x, REAL y, REAL width, REAL height);
  Status draw_rectangles(const GdiPen& pen, const std::vector<RectF>& rects, INT count = kAll);
  Status draw_ellipse(const GdiPen& pen, REAL x, REAL y, REAL width, REAL height);
  Status draw_pie(const GdiPen& pen, REAL x, REAL y, REAL width, REAL height, REAL start_angle, REAL sweep_angle);
  Status draw_polygon(const GdiPen& pen, const std::vector<PointF>& points, INT count = kAll);
  Status fill_rectangles(const GdiBrush& brush, const std::vector<RectF>& rects, INT count = kAll);
  Status fill_polygon(const GdiBrush& brush, const std::vector<PointF>& points, INT count, gdiplus::FillMode mode);
  Status fill_ellipse(const GdiBrush& brush, REAL x, REAL y, REAL width, REAL height);
  Status fill_pie(const GdiBrush& brush, REAL x, REAL y, REAL width, REAL height, REAL start_angle, REAL sweep_angle);
  Status fill_closed_curve2(const GdiBrush& brush, const std::vector<PointF>& points, INT count, REAL tension,
                            gdiplus::FillMode mode);
  Status draw_path(const GdiPen& pen, gdiplus::GpPath* path);
  Status fill_path(const GdiBrush& brush, gdiplus::GpPath* path);
  Status fill_region(const GdiBrush& brush, gdiplus::GpRegion* region);
  // At the image's natural size, top-left corner at (x, y).
  Status draw_image(const GdiImage& image, REAL x, REAL y);
  Status draw_image_rect(const GdiImage& image, REAL x, REAL y, REAL width, REAL height);
  // Upper-left, upper-right and lower-left corners.
  Status draw_image_points(const GdiImage& image, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3);
  Status draw_image_point_rect(const GdiImage& image, REAL x, REAL y, REAL src_x, REAL src_y, REAL src_width,
                               REAL src_height, gdiplus::Unit src_unit);
  Status set_clip_graphics(const GdiGraphics& source, CombineMode mode = kReplace);
  Status set_clip_rect(REAL x, REAL y, REAL width, REAL height, CombineMode mode = kReplace);
  Status set_clip_path(gdiplus::GpPath* path, CombineMode mode = kReplace);
  Status set_clip_region(gdiplus::GpRegion* region, CombineMode mode = kReplace);
  Status set_clip_hrgn(gdiplus::HRGN region, CombineMode mode = kReplace);
  Status reset_clip();
  Status translate_clip(REAL dx, REAL dy);
  Status get_clip(gdiplus::GpRegion* region);
  Status get_clip_bounds(RectF& bounds);
  Status is_clip_empty(bool& result);
  Status get_visible_clip_bounds(RectF& bounds);
  // These four set `result` to false before the call.
  Status is_visible_clip_empty(bool& result);
  Status is_visible_point(REAL x, REAL y, bool& result);
  Status is_visible_rect(REAL x, REAL y, REAL width, REAL height, bool& result);
  Status set_world_transform(gdiplus::GpMatrix* matrix);
  Status get_world_transform(gdiplus::GpMatrix* matrix);
  Status reset_world_transform();
  Status translate_world_transform(REAL dx, REAL dy, MatrixOrder order = kPrepend);
  Status scale_world_transform(REAL sx, REAL sy, MatrixOrder order = kPrepend);
  Status rotate_world_transform(REAL angle, MatrixOrder order = kPrepend);
  Status multiply_world_transform(const gdiplus::GpMatrix* matrix, MatrixOrder order = kPrepend);
  Status get_dpi_x(REAL& dpi);
  Status get_dpi_y(REAL& dpi);

 private:
  gdiplus::GpGraphics* handle_ = nullptr;
};

}  // namespace quill::presentation
