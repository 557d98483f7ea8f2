// Drawing operations of graphics contexts.
#include <QPainterPath>
#include <QTextOption>
#include <cmath>
#include <vector>

#include "platform/gdiplus/brush_private.h"
#include "platform/gdiplus/font_private.h"
#include "platform/gdiplus/gdiplus_private.h"
#include "platform/gdiplus/geometry_private.h"
#include "platform/gdiplus/graphics.h"
#include "platform/gdiplus/graphics_private.h"
#include "platform/gdiplus/image_private.h"
#include "platform/gdiplus/pen_private.h"

namespace quill::gdiplus {

using detail::Canvas;

namespace {

constexpr qreal kUnbounded = 1e7;

Status stroke(GpGraphics* g, GpPen* pen, const QPainterPath& path) {
  if (g == nullptr || pen == nullptr) return InvalidParameter;
  Canvas canvas(*g);
  if (canvas.status() != Ok) return canvas.status();
  QPainter& p = canvas.painter();
  if (!pen->compound.empty()) {
    QPainterPath unused;
    p.fillPath(detail::compound_outline(*pen, path), detail::to_qbrush(pen->fill, path.boundingRect(), unused));
    return Ok;
  }
  p.setPen(detail::to_qpen(*pen, path.boundingRect()));
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  return Ok;
}

Status fill(GpGraphics* g, GpBrush* brush, const QPainterPath& path) {
  if (g == nullptr || brush == nullptr) return InvalidParameter;
  Canvas canvas(*g);
  if (canvas.status() != Ok) return canvas.status();
  QPainter& p = canvas.painter();
  QPainterPath limit;
  const QBrush qbrush = detail::to_qbrush(*brush, path.boundingRect(), limit);
  if (!limit.isEmpty()) p.setClipPath(limit, Qt::IntersectClip);
  p.fillPath(path, qbrush);
  return Ok;
}

QPainterPath polyline(const PointF* points, INT count) {
  QPainterPath path;
  path.moveTo(points[0].X, points[0].Y);
  for (INT i = 1; i < count; ++i) path.lineTo(points[i].X, points[i].Y);
  return path;
}

QPainterPath polygon(const PointF* points, INT count, FillMode mode) {
  QPainterPath path = polyline(points, count);
  path.closeSubpath();
  path.setFillRule(detail::fill_rule(mode));
  return path;
}

// GDI+ angles run clockwise from the x axis; Qt's run counter-clockwise.
QPainterPath arc(REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep) {
  QPainterPath path;
  const QRectF box(x, y, w, h);
  path.arcMoveTo(box, -start);
  path.arcTo(box, -start, -sweep);
  return path;
}

QPainterPath pie(REAL x, REAL y, REAL w, REAL h, REAL start, REAL sweep) {
  QPainterPath path;
  const QRectF box(x, y, w, h);
  path.moveTo(box.center());
  path.arcTo(box, -start, -sweep);
  path.closeSubpath();
  return path;
}

QPointF at(const PointF& p) { return QPointF(p.X, p.Y); }

// A cardinal spline through points[first .. first + segments] as Bézier
// pieces; tangents use the neighbours (wrapping when closed), scaled by
// tension / 3 as GDI+ does.
QPainterPath cardinal_spline(const PointF* points, INT count, INT first, INT segments, REAL tension, bool closed) {
  const qreal k = tension / 3.0;
  auto point = [&](INT i) {
    if (closed) return at(points[((i % count) + count) % count]);
    return at(points[std::clamp(i, 0, count - 1)]);
  };
  auto tangent = [&](INT i) { return k * (point(i + 1) - point(i - 1)); };
  QPainterPath path;
  path.moveTo(point(first));
  for (INT i = first; i < first + segments; ++i)
    path.cubicTo(point(i) + tangent(i), point(i + 1) - tangent(i + 1), point(i + 1));
  if (closed) path.closeSubpath();
  return path;
}

Status draw_image_with(GpGraphics* g, GpImage* image, const QTransform& placement, const QRectF& source) {
  if (g == nullptr || image == nullptr) return InvalidParameter;
  Canvas canvas(*g);
  if (canvas.status() != Ok) return canvas.status();
  QPainter& p = canvas.painter();
  p.setTransform(placement, true);
  p.drawImage(QRectF(QPointF(0, 0), source.size()), detail::current_frame(*image), source);
  return Ok;
}

}  // namespace

Status GdipDrawCurve3(GpGraphics* graphics, GpPen* pen, const PointF* points, INT count, INT offset, INT segments,
                      REAL tension) {
  if (points == nullptr || count < 2 || offset < 0 || segments < 1 || offset + segments >= count)
    return InvalidParameter;
  return stroke(graphics, pen, cardinal_spline(points, count, offset, segments, tension, false));
}

Status GdipDrawLines(GpGraphics* graphics, GpPen* pen, const PointF* points, INT count) {
  if (points == nullptr || count < 2) return InvalidParameter;
  return stroke(graphics, pen, polyline(points, count));
}

Status GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2) {
  const PointF points[2] = {{x1, y1}, {x2, y2}};
  return GdipDrawLines(graphics, pen, points, 2);
}

Status GdipDrawString(GpGraphics* graphics, const WCHAR* text, INT length, const GpFont* font, const RectF* layout,
                      const GpStringFormat* format, const GpBrush* brush) {
  (void)format;  // string formats are not supported; the default applies
  if (graphics == nullptr || text == nullptr || font == nullptr || layout == nullptr || brush == nullptr || length < -1)
    return InvalidParameter;
  const QString string = detail::to_qstring(text, length);
  if (string.isEmpty()) return Ok;
  Canvas canvas(*graphics);
  if (canvas.status() != Ok) return canvas.status();
  QPainter& p = canvas.painter();
  const bool wide = layout->Width > 0;
  const bool tall = layout->Height > 0;
  const QRectF box(layout->X, layout->Y, wide ? layout->Width : kUnbounded, tall ? layout->Height : kUnbounded);
  if (wide || tall) p.setClipRect(box, Qt::IntersectClip);
  QPainterPath limit;
  p.setPen(QPen(detail::to_qbrush(*brush, box, limit), 0));
  if (!limit.isEmpty()) p.setClipPath(limit, Qt::IntersectClip);
  p.setFont(detail::to_qfont(*font));
  // GDI+ breaks lines between words, and inside a word only when it does not
  // fit on a line of its own.
  QTextOption option(Qt::AlignLeft | Qt::AlignTop);
  option.setWrapMode(wide ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
  p.drawText(box, string, option);
  return Ok;
}

Status GdipFillRectangle(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height) {
  if (graphics == nullptr || brush == nullptr) return InvalidParameter;
  if (!(width > 0) || !(height > 0)) return Ok;  // an empty or inverted rectangle fills nothing
  QPainterPath path;
  path.addRect(QRectF(x, y, width, height));
  return fill(graphics, brush, path);
}

Status GdipGraphicsClear(GpGraphics* graphics, ARGB colour) {
  if (graphics == nullptr) return InvalidParameter;
  Canvas canvas(*graphics);
  if (canvas.status() != Ok) return canvas.status();
  QPainter& p = canvas.painter();
  p.resetTransform();
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.fillRect(canvas.bounds(), detail::to_qcolor(colour));
  return Ok;
}

Status GdipDrawClosedCurve2(GpGraphics* graphics, GpPen* pen, const PointF* points, INT count, REAL tension) {
  if (points == nullptr || count < 3) return InvalidParameter;
  return stroke(graphics, pen, cardinal_spline(points, count, 0, count, tension, true));
}

Status GdipDrawArc(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height, REAL start_angle,
                   REAL sweep_angle) {
  if (!(width > 0) || !(height > 0)) return InvalidParameter;
  return stroke(graphics, pen, arc(x, y, width, height, start_angle, sweep_angle));
}

Status GdipDrawBezier(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4,
                      REAL y4) {
  const PointF points[4] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
  return GdipDrawBeziers(graphics, pen, points, 4);
}

Status GdipDrawBeziers(GpGraphics* graphics, GpPen* pen, const PointF* points, INT count) {
  if (points == nullptr || count < 4 || (count - 1) % 3 != 0) return InvalidParameter;
  QPainterPath path;
  path.moveTo(at(points[0]));
  for (INT i = 1; i + 2 < count; i += 3) path.cubicTo(at(points[i]), at(points[i + 1]), at(points[i + 2]));
  return stroke(graphics, pen, path);
}

Status GdipDrawRectangle(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height) {
  const RectF rect{x, y, width, height};
  return GdipDrawRectangles(graphics, pen, &rect, 1);
}

Status GdipDrawRectangles(GpGraphics* graphics, GpPen* pen, const RectF* rects, INT count) {
  if (rects == nullptr || count <= 0) return InvalidParameter;
  QPainterPath path;
  for (INT i = 0; i < count; ++i)
    if (rects[i].Width >= 0 && rects[i].Height >= 0)  // inverted rectangles draw nothing
      path.addRect(QRectF(rects[i].X, rects[i].Y, rects[i].Width, rects[i].Height));
  return stroke(graphics, pen, path);
}

Status GdipDrawEllipse(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height) {
  QPainterPath path;
  path.addEllipse(QRectF(x, y, width, height));
  return stroke(graphics, pen, path);
}

Status GdipDrawPie(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height, REAL start_angle,
                   REAL sweep_angle) {
  if (!(width > 0) || !(height > 0)) return InvalidParameter;
  return stroke(graphics, pen, pie(x, y, width, height, start_angle, sweep_angle));
}

Status GdipDrawPolygon(GpGraphics* graphics, GpPen* pen, const PointF* points, INT count) {
  if (points == nullptr || count < 2) return InvalidParameter;
  return stroke(graphics, pen, polygon(points, count, FillModeAlternate));
}

Status GdipFillRectangles(GpGraphics* graphics, GpBrush* brush, const RectF* rects, INT count) {
  if (rects == nullptr || count <= 0) return InvalidParameter;
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  for (INT i = 0; i < count; ++i)
    if (rects[i].Width > 0 && rects[i].Height > 0)
      path.addRect(QRectF(rects[i].X, rects[i].Y, rects[i].Width, rects[i].Height));
  return fill(graphics, brush, path);
}

Status GdipFillPolygon(GpGraphics* graphics, GpBrush* brush, const PointF* points, INT count, FillMode mode) {
  if (points == nullptr || count < 3 || (mode != FillModeAlternate && mode != FillModeWinding)) return InvalidParameter;
  return fill(graphics, brush, polygon(points, count, mode));
}

Status GdipFillEllipse(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height) {
  QPainterPath path;
  path.addEllipse(QRectF(x, y, width, height));
  return fill(graphics, brush, path);
}

Status GdipFillPie(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height, REAL start_angle,
                   REAL sweep_angle) {
  if (!(width > 0) || !(height > 0)) return InvalidParameter;
  return fill(graphics, brush, pie(x, y, width, height, start_angle, sweep_angle));
}

Status GdipFillClosedCurve2(GpGraphics* graphics, GpBrush* brush, const PointF* points, INT count, REAL tension,
                            FillMode mode) {
  if (points == nullptr || count < 3 || (mode != FillModeAlternate && mode != FillModeWinding)) return InvalidParameter;
  QPainterPath path = cardinal_spline(points, count, 0, count, tension, true);
  path.setFillRule(detail::fill_rule(mode));
  return fill(graphics, brush, path);
}

Status GdipDrawPath(GpGraphics* graphics, GpPen* pen, GpPath* path) {
  if (path == nullptr) return InvalidParameter;
  return stroke(graphics, pen, path->path);
}

Status GdipFillPath(GpGraphics* graphics, GpBrush* brush, GpPath* path) {
  if (path == nullptr) return InvalidParameter;
  return fill(graphics, brush, path->path);
}

Status GdipFillRegion(GpGraphics* graphics, GpBrush* brush, GpRegion* region) {
  if (region == nullptr) return InvalidParameter;
  return fill(graphics, brush, region->infinite ? detail::infinite_path() : region->path);
}

Status GdipDrawImage(GpGraphics* graphics, GpImage* image, REAL x, REAL y) {
  if (graphics == nullptr || image == nullptr) return InvalidParameter;
  const QImage& frame = detail::current_frame(*image);
  const qreal sx = detail::graphics_dpi(*graphics) / image->dpi_x;
  const qreal sy = detail::graphics_dpi(*graphics) / image->dpi_y;
  return draw_image_with(graphics, image, QTransform(sx, 0, 0, sy, x, y), QRectF(frame.rect()));
}

Status GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width, REAL height) {
  if (graphics == nullptr || image == nullptr) return InvalidParameter;
  const QImage& frame = detail::current_frame(*image);
  const QTransform placement(width / frame.width(), 0, 0, height / frame.height(), x, y);
  return draw_image_with(graphics, image, placement, QRectF(frame.rect()));
}

Status GdipDrawImagePoints(GpGraphics* graphics, GpImage* image, const PointF* points, INT count) {
  if (graphics == nullptr || image == nullptr || points == nullptr || (count != 3 && count != 4))
    return InvalidParameter;
  if (count == 4) return NotImplemented;
  const QImage& frame = detail::current_frame(*image);
  const qreal w = frame.width(), h = frame.height();
  const QTransform placement((points[1].X - points[0].X) / w, (points[1].Y - points[0].Y) / w,
                             (points[2].X - points[0].X) / h, (points[2].Y - points[0].Y) / h, points[0].X,
                             points[0].Y);
  return draw_image_with(graphics, image, placement, QRectF(frame.rect()));
}

Status GdipDrawImagePointRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL src_x, REAL src_y,
                              REAL src_width, REAL src_height, Unit src_unit) {
  if (graphics == nullptr || image == nullptr || src_unit < UnitWorld || src_unit > UnitMillimeter)
    return InvalidParameter;
  const REAL k = detail::pixels_per_unit(src_unit);
  const QRectF source(src_x * k, src_y * k, src_width * k, src_height * k);
  return draw_image_with(graphics, image, QTransform::fromTranslate(x, y), source);
}

}  // namespace quill::gdiplus
