#include "platform/gdiplus/brush.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <new>

#include "platform/gdiplus/brush_private.h"
#include "platform/gdiplus/gdiplus_private.h"
#include "platform/gdiplus/geometry_private.h"
#include "platform/gdiplus/image_private.h"

namespace quill::gdiplus {

using detail::creation_status;
using detail::note_created;
using detail::note_deleted;

namespace {

// 8 x 8 hatch patterns, one byte per row, bit 7 the leftmost pixel; a set bit
// is foreground. Indexed by HatchStyle 0..52.
constexpr std::uint8_t kHatchPatterns[HatchStyleTotal][8] = {
    {0xFF, 0, 0, 0, 0, 0, 0, 0},                       // Horizontal
    {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},  // Vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // ForwardDiagonal
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // BackwardDiagonal
    {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},  // Cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // DiagonalCross
    {0x80, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00},  // 05Percent
    {0x80, 0x00, 0x08, 0x00, 0x80, 0x00, 0x08, 0x00},  // 10Percent
    {0x88, 0x00, 0x22, 0x00, 0x88, 0x00, 0x22, 0x00},  // 20Percent
    {0x88, 0x22, 0x88, 0x22, 0x88, 0x22, 0x88, 0x22},  // 25Percent
    {0xAA, 0x44, 0xAA, 0x11, 0xAA, 0x44, 0xAA, 0x11},  // 30Percent
    {0xAA, 0x55, 0xAA, 0x51, 0xAA, 0x55, 0xAA, 0x15},  // 40Percent
    {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55},  // 50Percent
    {0xEE, 0x55, 0xBB, 0x55, 0xEE, 0x55, 0xBB, 0x55},  // 60Percent
    {0xEE, 0xBB, 0xEE, 0xBB, 0xEE, 0xBB, 0xEE, 0xBB},  // 70Percent
    {0xEF, 0xFF, 0xFE, 0xFF, 0xEF, 0xFF, 0xFE, 0xFF},  // 75Percent
    {0xF7, 0xFF, 0x7F, 0xFF, 0xF7, 0xFF, 0x7F, 0xFF},  // 80Percent
    {0xFF, 0xF7, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF},  // 90Percent
    {0x88, 0x44, 0x22, 0x11, 0x88, 0x44, 0x22, 0x11},  // LightDownwardDiagonal
    {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88},  // LightUpwardDiagonal
    {0xCC, 0x66, 0x33, 0x99, 0xCC, 0x66, 0x33, 0x99},  // DarkDownwardDiagonal
    {0x33, 0x66, 0xCC, 0x99, 0x33, 0x66, 0xCC, 0x99},  // DarkUpwardDiagonal
    {0xC1, 0xE0, 0x70, 0x38, 0x1C, 0x0E, 0x07, 0x83},  // WideDownwardDiagonal
    {0x83, 0x07, 0x0E, 0x1C, 0x38, 0x70, 0xE0, 0xC1},  // WideUpwardDiagonal
    {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88},  // LightVertical
    {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00},  // LightHorizontal
    {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA},  // NarrowVertical
    {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00},  // NarrowHorizontal
    {0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC},  // DarkVertical
    {0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00},  // DarkHorizontal
    {0x88, 0x44, 0x22, 0x11, 0x00, 0x00, 0x00, 0x00},  // DashedDownwardDiagonal
    {0x11, 0x22, 0x44, 0x88, 0x00, 0x00, 0x00, 0x00},  // DashedUpwardDiagonal
    {0xF0, 0x00, 0x00, 0x00, 0x0F, 0x00, 0x00, 0x00},  // DashedHorizontal
    {0x80, 0x80, 0x80, 0x80, 0x08, 0x08, 0x08, 0x08},  // DashedVertical
    {0x80, 0x04, 0x40, 0x02, 0x20, 0x01, 0x10, 0x08},  // SmallConfetti
    {0x8C, 0x0D, 0xC0, 0xD8, 0x1B, 0x03, 0xB0, 0x31},  // LargeConfetti
    {0x81, 0x42, 0x24, 0x18, 0x81, 0x42, 0x24, 0x18},  // ZigZag
    {0x00, 0x18, 0xA4, 0x03, 0x00, 0x18, 0xA4, 0x03},  // Wave
    {0x80, 0x40, 0x20, 0x10, 0x18, 0x24, 0x42, 0x81},  // DiagonalBrick
    {0xFF, 0x80, 0x80, 0x80, 0xFF, 0x08, 0x08, 0x08},  // HorizontalBrick
    {0x88, 0x54, 0x22, 0x45, 0x88, 0x14, 0x22, 0x51},  // Weave
    {0xAA, 0x55, 0xAA, 0x55, 0xF0, 0xF0, 0xF0, 0xF0},  // Plaid
    {0x40, 0x20, 0x40, 0x00, 0x02, 0x04, 0x02, 0x00},  // Divot
    {0xAA, 0x00, 0x80, 0x00, 0x80, 0x00, 0x80, 0x00},  // DottedGrid
    {0x80, 0x00, 0x22, 0x00, 0x08, 0x00, 0x22, 0x00},  // DottedDiamond
    {0x03, 0x84, 0x48, 0x30, 0x0C, 0x02, 0x01, 0x01},  // Shingle
    {0xFF, 0x66, 0xFF, 0x99, 0xFF, 0x66, 0xFF, 0x99},  // Trellis
    {0x77, 0x89, 0x8F, 0x8F, 0x77, 0x98, 0xF8, 0xF8},  // Sphere
    {0xFF, 0x88, 0x88, 0x88, 0xFF, 0x88, 0x88, 0x88},  // SmallGrid
    {0x99, 0x66, 0x66, 0x99, 0x99, 0x66, 0x66, 0x99},  // SmallCheckerBoard
    {0xF0, 0xF0, 0xF0, 0xF0, 0x0F, 0x0F, 0x0F, 0x0F},  // LargeCheckerBoard
    {0x41, 0x22, 0x14, 0x08, 0x14, 0x22, 0x41, 0x80},  // OutlinedDiamond
    {0x10, 0x38, 0x7C, 0xFE, 0x7C, 0x38, 0x10, 0x00},  // SolidDiamond
};

QImage hatch_tile(HatchStyle style, ARGB foreground, ARGB background) {
  QImage tile(8, 8, QImage::Format_ARGB32);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      tile.setPixel(x, y, (kHatchPatterns[style][y] & (0x80 >> x)) != 0 ? foreground : background);
  return tile;
}

QColor mix(ARGB a, ARGB b, qreal t, bool gamma) {
  auto channel = [&](int shift, bool linearise) {
    const qreal ca = ((a >> shift) & 0xFF) / 255.0;
    const qreal cb = ((b >> shift) & 0xFF) / 255.0;
    if (!linearise) return ca + (cb - ca) * t;
    const qreal la = std::pow(ca, 2.2);
    const qreal lb = std::pow(cb, 2.2);
    return std::pow(la + (lb - la) * t, 1.0 / 2.2);
  };
  return QColor::fromRgbF(static_cast<float>(channel(16, gamma)), static_cast<float>(channel(8, gamma)),
                          static_cast<float>(channel(0, gamma)), static_cast<float>(channel(24, false)));
}

QGradient::Spread spread(WrapMode wrap) {
  switch (wrap) {
    case WrapModeTile:
      return QGradient::RepeatSpread;
    case WrapModeTileFlipX:
    case WrapModeTileFlipY:
    case WrapModeTileFlipXY:
      return QGradient::ReflectSpread;
    case WrapModeClamp:
      return QGradient::PadSpread;
  }
  return QGradient::RepeatSpread;
}

QBrush line_brush(const GpBrush& b) {
  QLinearGradient gradient(b.point1.X, b.point1.Y, b.point2.X, b.point2.Y);
  gradient.setSpread(spread(b.wrap));
  QGradientStops stops;
  if (!b.preset_colours.empty()) {
    for (std::size_t i = 0; i < b.preset_colours.size(); ++i)
      stops.append({b.preset_positions[i], detail::to_qcolor(b.preset_colours[i])});
  } else if (!b.blend_factors.empty()) {
    for (std::size_t i = 0; i < b.blend_factors.size(); ++i)
      stops.append({b.blend_positions[i], mix(b.line_colours[0], b.line_colours[1], b.blend_factors[i], b.gamma)});
  } else {
    // Gamma-corrected interpolation is approximated with intermediate stops.
    const int steps = b.gamma ? 16 : 1;
    for (int i = 0; i <= steps; ++i) {
      const qreal t = static_cast<qreal>(i) / steps;
      stops.append({t, mix(b.line_colours[0], b.line_colours[1], t, b.gamma)});
    }
  }
  gradient.setStops(stops);
  QBrush brush(gradient);
  brush.setTransform(b.transform);
  return brush;
}

QImage flipped_tile(const QImage& image, WrapMode wrap) {
  if (wrap != WrapModeTileFlipX && wrap != WrapModeTileFlipY && wrap != WrapModeTileFlipXY) return image;
  const bool fx = wrap != WrapModeTileFlipY;
  const bool fy = wrap != WrapModeTileFlipX;
  QImage tile(image.width() * (fx ? 2 : 1), image.height() * (fy ? 2 : 1), QImage::Format_ARGB32_Premultiplied);
  tile.fill(Qt::transparent);
  QPainter painter(&tile);
  painter.drawImage(0, 0, image);
  if (fx) painter.drawImage(image.width(), 0, image.mirrored(true, false));
  if (fy) painter.drawImage(0, image.height(), image.mirrored(false, true));
  if (fx && fy) painter.drawImage(image.width(), image.height(), image.mirrored(true, true));
  return tile;
}

// Fraction of the way from the centre to the boundary along the ray through p.
qreal boundary_fraction(const QPolygonF& polygon, QPointF centre, QPointF p) {
  const QPointF d = p - centre;
  if (d.isNull()) return 0.0;
  qreal best = -1.0;
  for (int i = 0; i < polygon.size(); ++i) {
    const QPointF a = polygon[i];
    const QPointF b = polygon[(i + 1) % polygon.size()];
    const QPointF e = b - a;
    const qreal denom = d.x() * e.y() - d.y() * e.x();
    if (std::abs(denom) < 1e-12) continue;
    const QPointF ac = a - centre;
    const qreal t = (ac.x() * e.y() - ac.y() * e.x()) / denom;  // along d
    const qreal u = (ac.x() * d.y() - ac.y() * d.x()) / denom;  // along e
    if (t > 0 && u >= 0 && u <= 1 && (best < 0 || t < best)) best = t;
  }
  return best <= 0 ? 1.0 : std::min(1.0 / best, 1.0);
}

QBrush path_gradient_brush(const GpBrush& b, const QRectF& area, QPainterPath& clip) {
  const QRect box = area.toAlignedRect().intersected(QRect(-4096, -4096, 8192, 8192));
  QImage picture(std::max(box.width(), 1), std::max(box.height(), 1), QImage::Format_ARGB32);
  picture.fill(Qt::transparent);
  const QPolygonF polygon = b.boundary.toFillPolygon();
  const QTransform inverse = b.transform.inverted();
  const QPointF centre(b.centre.X, b.centre.Y);
  for (int y = 0; y < picture.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < picture.width(); ++x) {
      const QPointF p = inverse.map(QPointF(box.x() + x + 0.5, box.y() + y + 0.5));
      if (!b.boundary.contains(p)) continue;
      row[x] = mix(b.colour, b.colour2, boundary_fraction(polygon, centre, p), false).rgba();
    }
  }
  clip = b.transform.map(b.boundary);
  QBrush brush(picture);
  brush.setTransform(QTransform::fromTranslate(box.x(), box.y()));
  return brush;
}

GpBrush* brush_of(GpBrush* brush, BrushType type) { return brush != nullptr && brush->type == type ? brush : nullptr; }

Status make(GpBrush** out, BrushType type) {
  if (out == nullptr) return InvalidParameter;
  *out = nullptr;
  if (const Status s = creation_status(); s != Ok) return s;
  *out = new (std::nothrow) GpBrush;
  if (*out == nullptr) return OutOfMemory;
  (*out)->type = type;
  note_created();
  return Ok;
}

bool valid_wrap(WrapMode wrap) { return wrap >= WrapModeTile && wrap <= WrapModeClamp; }
bool valid_order(MatrixOrder order) { return order == MatrixOrderPrepend || order == MatrixOrderAppend; }

// Transform operations shared by line, texture and path gradient brushes.
Status set_transform(GpBrush* b, const GpMatrix* m) {
  if (b == nullptr || m == nullptr) return InvalidParameter;
  if (!m->transform.isInvertible()) return InvalidParameter;
  b->transform = m->transform;
  return Ok;
}
Status get_transform(GpBrush* b, GpMatrix* m) {
  if (b == nullptr || m == nullptr) return InvalidParameter;
  m->transform = b->transform;
  return Ok;
}
Status reset_transform(GpBrush* b) {
  if (b == nullptr) return InvalidParameter;
  b->transform.reset();
  return Ok;
}
Status multiply_transform(GpBrush* b, const QTransform& t, MatrixOrder order) {
  if (b == nullptr || !valid_order(order)) return InvalidParameter;
  detail::combine(b->transform, t, order);
  return Ok;
}

void set_line_geometry(GpBrush* b, PointF p1, PointF p2) {
  b->point1 = p1;
  b->point2 = p2;
}

}  // namespace

namespace detail {

QBrush to_qbrush(const GpBrush& b, const QRectF& area, QPainterPath& clip) {
  clip = QPainterPath();
  switch (b.type) {
    case BrushTypeSolidColor:
      return QBrush(to_qcolor(b.colour));
    case BrushTypeHatchFill:
      return QBrush(hatch_tile(b.hatch, b.colour, b.colour2));
    case BrushTypeLinearGradient:
      return line_brush(b);
    case BrushTypeTextureFill: {
      QBrush brush(flipped_tile(b.texture, b.wrap));
      brush.setTransform(b.transform);
      if (b.wrap == WrapModeClamp) {
        QPainterPath once;
        once.addRect(QRectF(0, 0, b.texture.width(), b.texture.height()));
        clip = b.transform.map(once);
      }
      return brush;
    }
    case BrushTypePathGradient:
      return path_gradient_brush(b, area, clip);
  }
  return QBrush();
}

GpBrush* copy_brush(const GpBrush& brush) {
  auto* copy = new (std::nothrow) GpBrush(brush);
  if (copy != nullptr) note_created();
  return copy;
}

}  // namespace detail

Status GdipDeleteBrush(GpBrush* brush) {
  if (brush == nullptr) return InvalidParameter;
  delete brush;
  note_deleted();
  return Ok;
}

Status GdipCreateSolidFill(ARGB colour, GpSolidFill** brush) {
  const Status s = make(brush, BrushTypeSolidColor);
  if (s == Ok) (*brush)->colour = colour;
  return s;
}

Status GdipCloneBrush(GpBrush* brush, GpBrush** clone) {
  if (brush == nullptr || clone == nullptr) return InvalidParameter;
  *clone = detail::copy_brush(*brush);
  return *clone == nullptr ? OutOfMemory : Ok;
}

Status GdipGetBrushType(GpBrush* brush, BrushType* type) {
  if (brush == nullptr || type == nullptr) return InvalidParameter;
  *type = brush->type;
  return Ok;
}

Status GdipSetSolidFillColor(GpSolidFill* brush, ARGB colour) {
  GpBrush* b = brush_of(brush, BrushTypeSolidColor);
  if (b == nullptr) return InvalidParameter;
  b->colour = colour;
  return Ok;
}

Status GdipGetSolidFillColor(GpSolidFill* brush, ARGB* colour) {
  GpBrush* b = brush_of(brush, BrushTypeSolidColor);
  if (b == nullptr || colour == nullptr) return InvalidParameter;
  *colour = b->colour;
  return Ok;
}

Status GdipCreateHatchBrush(HatchStyle style, ARGB foreground, ARGB background, GpHatch** brush) {
  if (style < HatchStyleHorizontal || style >= HatchStyleTotal) {
    if (brush != nullptr) *brush = nullptr;
    return InvalidParameter;
  }
  const Status s = make(brush, BrushTypeHatchFill);
  if (s == Ok) {
    (*brush)->hatch = style;
    (*brush)->colour = foreground;
    (*brush)->colour2 = background;
  }
  return s;
}

Status GdipGetHatchStyle(GpHatch* brush, HatchStyle* style) {
  GpBrush* b = brush_of(brush, BrushTypeHatchFill);
  if (b == nullptr || style == nullptr) return InvalidParameter;
  *style = b->hatch;
  return Ok;
}

Status GdipGetHatchForegroundColor(GpHatch* brush, ARGB* colour) {
  GpBrush* b = brush_of(brush, BrushTypeHatchFill);
  if (b == nullptr || colour == nullptr) return InvalidParameter;
  *colour = b->colour;
  return Ok;
}

Status GdipGetHatchBackgroundColor(GpHatch* brush, ARGB* colour) {
  GpBrush* b = brush_of(brush, BrushTypeHatchFill);
  if (b == nullptr || colour == nullptr) return InvalidParameter;
  *colour = b->colour2;
  return Ok;
}

Status GdipCreateLineBrush(const PointF* point1, const PointF* point2, ARGB colour1, ARGB colour2, WrapMode wrap,
                           GpLineGradient** brush) {
  if (brush != nullptr) *brush = nullptr;
  if (point1 == nullptr || point2 == nullptr || wrap == WrapModeClamp || !valid_wrap(wrap)) return InvalidParameter;
  if (point1->X == point2->X && point1->Y == point2->Y) return OutOfMemory;  // GDI+'s answer for a zero-length line
  const Status s = make(brush, BrushTypeLinearGradient);
  if (s != Ok) return s;
  GpBrush* b = *brush;
  set_line_geometry(b, *point1, *point2);
  b->line_colours[0] = colour1;
  b->line_colours[1] = colour2;
  b->wrap = wrap;
  const REAL x = std::min(point1->X, point2->X), y = std::min(point1->Y, point2->Y);
  REAL w = std::abs(point2->X - point1->X), h = std::abs(point2->Y - point1->Y);
  if (w == 0) w = h;
  if (h == 0) h = w;
  b->rect = RectF{x, y, w, h};
  return Ok;
}

Status GdipCreateLineBrushFromRect(const RectF* rect, ARGB colour1, ARGB colour2, LinearGradientMode mode,
                                   WrapMode wrap, GpLineGradient** brush) {
  if (brush != nullptr) *brush = nullptr;
  if (rect == nullptr || rect->Width <= 0 || rect->Height <= 0 || mode < LinearGradientModeHorizontal ||
      mode > LinearGradientModeBackwardDiagonal)
    return InvalidParameter;
  const REAL x = rect->X, y = rect->Y, w = rect->Width, h = rect->Height;
  PointF p1{x, y}, p2{x + w, y};
  const REAL diagonal = std::sqrt(w * w + h * h);
  const REAL reach = 2 * w * h / diagonal;  // distance between the corner iso-lines
  switch (mode) {
    case LinearGradientModeHorizontal:
      break;
    case LinearGradientModeVertical:
      p2 = {x, y + h};
      break;
    case LinearGradientModeForwardDiagonal:
      p2 = {x + h / diagonal * reach, y + w / diagonal * reach};
      break;
    case LinearGradientModeBackwardDiagonal:
      p1 = {x + w, y};
      p2 = {x + w - h / diagonal * reach, y + w / diagonal * reach};
      break;
  }
  const Status s = GdipCreateLineBrush(&p1, &p2, colour1, colour2, wrap, brush);
  if (s == Ok) (*brush)->rect = *rect;
  return s;
}

Status GdipCreateLineBrushFromRectWithAngle(const RectF* rect, ARGB colour1, ARGB colour2, REAL angle,
                                            BOOL angle_scalable, WrapMode wrap, GpLineGradient** brush) {
  if (brush != nullptr) *brush = nullptr;
  if (rect == nullptr || rect->Width <= 0 || rect->Height <= 0) return InvalidParameter;
  const double radians = angle * M_PI / 180.0;
  double ux = std::cos(radians), uy = std::sin(radians);
  if (angle_scalable != 0) {
    // The angle is meant for a square that is then stretched to the rectangle.
    ux *= rect->Height;
    uy *= rect->Width;
    const double length = std::hypot(ux, uy);
    ux /= length;
    uy /= length;
  }
  const double cx = rect->X + rect->Width / 2.0, cy = rect->Y + rect->Height / 2.0;
  double lo = 0, hi = 0;
  for (const auto& [dx, dy] : {std::pair{-1, -1}, {1, -1}, {-1, 1}, {1, 1}}) {
    const double projection = dx * rect->Width / 2.0 * ux + dy * rect->Height / 2.0 * uy;
    lo = std::min(lo, projection);
    hi = std::max(hi, projection);
  }
  const PointF p1{static_cast<REAL>(cx + ux * lo), static_cast<REAL>(cy + uy * lo)};
  const PointF p2{static_cast<REAL>(cx + ux * hi), static_cast<REAL>(cy + uy * hi)};
  const Status s = GdipCreateLineBrush(&p1, &p2, colour1, colour2, wrap, brush);
  if (s == Ok) (*brush)->rect = *rect;
  return s;
}

Status GdipSetLineColors(GpLineGradient* brush, ARGB colour1, ARGB colour2) {
  GpBrush* b = brush_of(brush, BrushTypeLinearGradient);
  if (b == nullptr) return InvalidParameter;
  b->line_colours[0] = colour1;
  b->line_colours[1] = colour2;
  return Ok;
}

Status GdipGetLineColors(GpLineGradient* brush, ARGB* colours) {
  GpBrush* b = brush_of(brush, BrushTypeLinearGradient);
  if (b == nullptr || colours == nullptr) return InvalidParameter;
  colours[0] = b->line_colours[0];
  colours[1] = b->line_colours[1];
  return Ok;
}

Status GdipGetLineRect(GpLineGradient* brush, RectF* rect) {
  GpBrush* b = brush_of(brush, BrushTypeLinearGradient);
  if (b == nullptr || rect == nullptr) return InvalidParameter;
  *rect = b->rect;
  return Ok;
}

Status GdipSetLineGammaCorrection(GpLineGradient* brush, BOOL use_gamma) {
  GpBrush* b = brush_of(brush, BrushTypeLinearGradient);
  if (b == nullptr) return InvalidParameter;
  b->gamma = use_gamma != 0;
  return Ok;
}

Status GdipGetLineGammaCorrection(GpLineGradient* brush, BOOL* use_gamma) {
  GpBrush* b = brush_of(brush, BrushTypeLinearGradient);
  if (b == nullptr || use_gamma == nullptr) return InvalidParameter;
  *use_gamma = b->gamma ? 1 : 0;
  return Ok;
}

Status GdipGetLineBlendCount(GpLineGradient* brush, INT* count) {
  GpBrush* b = brush_of(brush, BrushTypeLinearGradient);
  if (b == nullptr || count == nullptr) return InvalidParameter;
  *count = b->blend_factors.empty() ? 1 : static_cast<INT>(b->blend_factors.size());
  return Ok;
}

Status GdipSetLineBlend(GpLineGradient* brush, const REAL* factors, const REAL* positions, INT count) {
  GpBrush* b = brush_of(brush, BrushTypeLinearGradient);
  if (b == nullptr || factors == nullptr || positions == nullptr || count <= 0) return InvalidParameter;
  if (count >= 2 && (positions[0] != 0.0f || positions[count - 1] != 1.0f)) return InvalidParameter;
  b->blend_factors.assign(factors, factors + count);
  b->blend_positions.assign(positions, positions + count);
  b->preset_colours.clear();
  b->preset_positions.clear();
  return Ok;
}

Status GdipGetLineBlend(GpLineGradient* brush, REAL* factors, REAL* positions, INT count) {
  GpBrush* b = brush_of(brush, BrushTypeLinearGradient);
  if (b == nullptr || factors == nullptr || positions == nullptr || count <= 0) return InvalidParameter;
  if (b->blend_factors.empty()) {
    factors[0] = 1.0f;
    positions[0] = 0.0f;
    return Ok;
  }
  if (static_cast<std::size_t>(count) < b->blend_factors.size()) return InsufficientBuffer;
  std::copy(b->blend_factors.begin(), b->blend_factors.end(), factors);
  std::copy(b->blend_positions.begin(), b->blend_positions.end(), positions);
  return Ok;
}

Status GdipGetLinePresetBlendCount(GpLineGradient* brush, INT* count) {
  GpBrush* b = brush_of(brush, BrushTypeLinearGradient);
  if (b == nullptr || count == nullptr) return InvalidParameter;
  *count = static_cast<INT>(b->preset_colours.size());
  return Ok;
}

Status GdipSetLinePresetBlend(GpLineGradient* brush, const ARGB* colours, const REAL* positions, INT count) {
  GpBrush* b = brush_of(brush, BrushTypeLinearGradient);
  if (b == nullptr || colours == nullptr || positions == nullptr || count < 2) return InvalidParameter;
  if (positions[0] != 0.0f || positions[count - 1] != 1.0f) return InvalidParameter;
  b->preset_colours.assign(colours, colours + count);
  b->preset_positions.assign(positions, positions + count);
  b->blend_factors.clear();
  b->blend_positions.clear();
  return Ok;
}

Status GdipGetLinePresetBlend(GpLineGradient* brush, ARGB* colours, REAL* positions, INT count) {
  GpBrush* b = brush_of(brush, BrushTypeLinearGradient);
  if (b == nullptr || colours == nullptr || positions == nullptr || count < 2) return InvalidParameter;
  if (b->preset_colours.empty()) return GenericError;  // GDI+ has no preset blend to give
  if (static_cast<std::size_t>(count) < b->preset_colours.size()) return InsufficientBuffer;
  std::copy(b->preset_colours.begin(), b->preset_colours.end(), colours);
  std::copy(b->preset_positions.begin(), b->preset_positions.end(), positions);
  return Ok;
}

Status GdipSetLineSigmaBlend(GpLineGradient* brush, REAL focus, REAL scale) {
  GpBrush* b = brush_of(brush, BrushTypeLinearGradient);
  if (b == nullptr || focus < 0 || focus > 1 || scale < 0 || scale > 1) return InvalidParameter;
  // A bell shape: a normal-curve rise to `scale` at the focus, and a fall after it.
  constexpr int kSamples = 33;
  std::vector<REAL> factors, positions;
  auto sigmoid = [](double t) { return 0.5 * (1.0 + std::erf((t - 0.5) * 4.0 / std::sqrt(2.0))); };
  for (int i = 0; i < kSamples; ++i) {
    const double p = static_cast<double>(i) / (kSamples - 1);
    double f = 0;
    if (p <= focus)
      f = focus > 0 ? sigmoid(p / focus) : 1.0;
    else
      f = focus < 1 ? 1.0 - sigmoid((p - focus) / (1.0 - focus)) : 1.0;
    factors.push_back(static_cast<REAL>(f * scale));
    positions.push_back(static_cast<REAL>(p));
  }
  return GdipSetLineBlend(brush, factors.data(), positions.data(), kSamples);
}

Status GdipSetLineLinearBlend(GpLineGradient* brush, REAL focus, REAL scale) {
  GpBrush* b = brush_of(brush, BrushTypeLinearGradient);
  if (b == nullptr || focus < 0 || focus > 1 || scale < 0 || scale > 1) return InvalidParameter;
  std::vector<REAL> factors, positions;
  if (focus > 0) {
    factors.push_back(0);
    positions.push_back(0);
  }
  factors.push_back(scale);
  positions.push_back(focus);
  if (focus < 1) {
    factors.push_back(0);
    positions.push_back(1);
  }
  if (factors.size() == 1) {
    factors.push_back(scale);
    positions = {0, 1};
  }
  return GdipSetLineBlend(brush, factors.data(), positions.data(), static_cast<INT>(factors.size()));
}

Status GdipSetLineWrapMode(GpLineGradient* brush, WrapMode wrap) {
  GpBrush* b = brush_of(brush, BrushTypeLinearGradient);
  if (b == nullptr || !valid_wrap(wrap)) return InvalidParameter;
  if (wrap != WrapModeClamp) b->wrap = wrap;  // GDI+ ignores clamp here
  return Ok;
}

Status GdipGetLineWrapMode(GpLineGradient* brush, WrapMode* wrap) {
  GpBrush* b = brush_of(brush, BrushTypeLinearGradient);
  if (b == nullptr || wrap == nullptr) return InvalidParameter;
  *wrap = b->wrap;
  return Ok;
}

Status GdipCreateTexture(GpImage* image, WrapMode wrap, GpTexture** brush) {
  if (brush != nullptr) *brush = nullptr;
  if (image == nullptr || !valid_wrap(wrap)) return InvalidParameter;
  const Status s = make(brush, BrushTypeTextureFill);
  if (s == Ok) {
    (*brush)->texture = detail::current_frame(*image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    (*brush)->wrap = wrap;
  }
  return s;
}

Status GdipCreateTexture2(GpImage* image, WrapMode wrap, REAL x, REAL y, REAL width, REAL height, GpTexture** brush) {
  if (brush != nullptr) *brush = nullptr;
  if (image == nullptr || !valid_wrap(wrap) || width <= 0 || height <= 0) return InvalidParameter;
  const QImage& frame = detail::current_frame(*image);
  const QRect part = QRectF(x, y, width, height).toAlignedRect();
  if (!frame.rect().contains(part)) return OutOfMemory;  // GDI+'s answer for a rectangle outside the image
  const Status s = make(brush, BrushTypeTextureFill);
  if (s == Ok) {
    (*brush)->texture = frame.copy(part).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    (*brush)->wrap = wrap;
  }
  return s;
}

Status GdipSetTextureWrapMode(GpTexture* brush, WrapMode wrap) {
  GpBrush* b = brush_of(brush, BrushTypeTextureFill);
  if (b == nullptr || !valid_wrap(wrap)) return InvalidParameter;
  b->wrap = wrap;
  return Ok;
}

Status GdipGetTextureWrapMode(GpTexture* brush, WrapMode* wrap) {
  GpBrush* b = brush_of(brush, BrushTypeTextureFill);
  if (b == nullptr || wrap == nullptr) return InvalidParameter;
  *wrap = b->wrap;
  return Ok;
}

Status GdipGetTextureImage(GpTexture* brush, GpImage** image) {
  GpBrush* b = brush_of(brush, BrushTypeTextureFill);
  if (image != nullptr) *image = nullptr;
  if (b == nullptr || image == nullptr) return InvalidParameter;
  return detail::make_image(b->texture.convertToFormat(QImage::Format_ARGB32), PixelFormat32bppARGB, image);
}

Status GdipSetTextureTransform(GpTexture* brush, const GpMatrix* matrix) {
  return set_transform(brush_of(brush, BrushTypeTextureFill), matrix);
}
Status GdipGetTextureTransform(GpTexture* brush, GpMatrix* matrix) {
  return get_transform(brush_of(brush, BrushTypeTextureFill), matrix);
}
Status GdipResetTextureTransform(GpTexture* brush) { return reset_transform(brush_of(brush, BrushTypeTextureFill)); }
Status GdipMultiplyTextureTransform(GpTexture* brush, const GpMatrix* matrix, MatrixOrder order) {
  if (matrix == nullptr) return InvalidParameter;
  return multiply_transform(brush_of(brush, BrushTypeTextureFill), matrix->transform, order);
}
Status GdipTranslateTextureTransform(GpTexture* brush, REAL dx, REAL dy, MatrixOrder order) {
  return multiply_transform(brush_of(brush, BrushTypeTextureFill), QTransform::fromTranslate(dx, dy), order);
}
Status GdipScaleTextureTransform(GpTexture* brush, REAL sx, REAL sy, MatrixOrder order) {
  return multiply_transform(brush_of(brush, BrushTypeTextureFill), QTransform::fromScale(sx, sy), order);
}
Status GdipRotateTextureTransform(GpTexture* brush, REAL angle, MatrixOrder order) {
  return multiply_transform(brush_of(brush, BrushTypeTextureFill), QTransform().rotate(angle), order);
}

Status GdipSetLineTransform(GpLineGradient* brush, const GpMatrix* matrix) {
  return set_transform(brush_of(brush, BrushTypeLinearGradient), matrix);
}
Status GdipGetLineTransform(GpLineGradient* brush, GpMatrix* matrix) {
  return get_transform(brush_of(brush, BrushTypeLinearGradient), matrix);
}
Status GdipResetLineTransform(GpLineGradient* brush) {
  return reset_transform(brush_of(brush, BrushTypeLinearGradient));
}
Status GdipMultiplyLineTransform(GpLineGradient* brush, const GpMatrix* matrix, MatrixOrder order) {
  if (matrix == nullptr) return InvalidParameter;
  return multiply_transform(brush_of(brush, BrushTypeLinearGradient), matrix->transform, order);
}
Status GdipTranslateLineTransform(GpLineGradient* brush, REAL dx, REAL dy, MatrixOrder order) {
  return multiply_transform(brush_of(brush, BrushTypeLinearGradient), QTransform::fromTranslate(dx, dy), order);
}
Status GdipScaleLineTransform(GpLineGradient* brush, REAL sx, REAL sy, MatrixOrder order) {
  return multiply_transform(brush_of(brush, BrushTypeLinearGradient), QTransform::fromScale(sx, sy), order);
}
Status GdipRotateLineTransform(GpLineGradient* brush, REAL angle, MatrixOrder order) {
  return multiply_transform(brush_of(brush, BrushTypeLinearGradient), QTransform().rotate(angle), order);
}

Status GdipCreatePathGradient(const PointF* points, INT count, WrapMode wrap, GpPathGradient** brush) {
  if (brush != nullptr) *brush = nullptr;
  if (points == nullptr || count < 2 || !valid_wrap(wrap)) return count < 2 ? OutOfMemory : InvalidParameter;
  const Status s = make(brush, BrushTypePathGradient);
  if (s != Ok) return s;
  GpBrush* b = *brush;
  b->wrap = wrap;
  b->boundary.moveTo(points[0].X, points[0].Y);
  double cx = points[0].X, cy = points[0].Y;
  for (INT i = 1; i < count; ++i) {
    b->boundary.lineTo(points[i].X, points[i].Y);
    cx += points[i].X;
    cy += points[i].Y;
  }
  b->boundary.closeSubpath();
  b->centre = PointF{static_cast<REAL>(cx / count), static_cast<REAL>(cy / count)};
  b->colour = 0xFF000000;   // centre
  b->colour2 = 0xFFFFFFFF;  // surround
  return Ok;
}

Status GdipCreatePathGradientFromPath(const GpPath* path, GpPathGradient** brush) {
  if (brush != nullptr) *brush = nullptr;
  if (path == nullptr) return InvalidParameter;
  const QPolygonF polygon = path->path.toFillPolygon();
  std::vector<PointF> points;
  for (const QPointF& p : polygon) points.push_back({static_cast<REAL>(p.x()), static_cast<REAL>(p.y())});
  const Status s = GdipCreatePathGradient(points.data(), static_cast<INT>(points.size()), WrapModeClamp, brush);
  if (s == Ok) {
    (*brush)->boundary = path->path;
    const QPointF c = path->path.boundingRect().center();
    (*brush)->centre = PointF{static_cast<REAL>(c.x()), static_cast<REAL>(c.y())};
  }
  return s;
}

Status GdipSetPathGradientCenterColor(GpPathGradient* brush, ARGB colour) {
  GpBrush* b = brush_of(brush, BrushTypePathGradient);
  if (b == nullptr) return InvalidParameter;
  b->colour = colour;
  return Ok;
}

Status GdipGetPathGradientCenterColor(GpPathGradient* brush, ARGB* colour) {
  GpBrush* b = brush_of(brush, BrushTypePathGradient);
  if (b == nullptr || colour == nullptr) return InvalidParameter;
  *colour = b->colour;
  return Ok;
}

Status GdipSetPathGradientSurroundColor(GpPathGradient* brush, ARGB colour) {
  GpBrush* b = brush_of(brush, BrushTypePathGradient);
  if (b == nullptr) return InvalidParameter;
  b->colour2 = colour;
  return Ok;
}

Status GdipGetPathGradientTransform(GpPathGradient* brush, GpMatrix* matrix) {
  return get_transform(brush_of(brush, BrushTypePathGradient), matrix);
}
Status GdipSetPathGradientTransform(GpPathGradient* brush, GpMatrix* matrix) {
  return set_transform(brush_of(brush, BrushTypePathGradient), matrix);
}
Status GdipResetPathGradientTransform(GpPathGradient* brush) {
  return reset_transform(brush_of(brush, BrushTypePathGradient));
}
Status GdipMultiplyPathGradientTransform(GpPathGradient* brush, const GpMatrix* matrix, MatrixOrder order) {
  if (matrix == nullptr) return InvalidParameter;
  return multiply_transform(brush_of(brush, BrushTypePathGradient), matrix->transform, order);
}
Status GdipTranslatePathGradientTransform(GpPathGradient* brush, REAL dx, REAL dy, MatrixOrder order) {
  return multiply_transform(brush_of(brush, BrushTypePathGradient), QTransform::fromTranslate(dx, dy), order);
}
Status GdipScalePathGradientTransform(GpPathGradient* brush, REAL sx, REAL sy, MatrixOrder order) {
  return multiply_transform(brush_of(brush, BrushTypePathGradient), QTransform::fromScale(sx, sy), order);
}
Status GdipRotatePathGradientTransform(GpPathGradient* brush, REAL angle, MatrixOrder order) {
  return multiply_transform(brush_of(brush, BrushTypePathGradient), QTransform().rotate(angle), order);
}

Status GdipSetPathGradientPath(GpPathGradient* brush, const GpPath* path) {
  GpBrush* b = brush_of(brush, BrushTypePathGradient);
  if (b == nullptr || path == nullptr) return InvalidParameter;
  b->boundary = path->path;
  return Ok;
}

Status GdipGetPathGradientPath(GpPathGradient* brush, GpPath* path) {
  GpBrush* b = brush_of(brush, BrushTypePathGradient);
  if (b == nullptr || path == nullptr) return InvalidParameter;
  path->path = b->boundary;
  return Ok;
}

Status GdipSetPathGradientCenterPoint(GpPathGradient* brush, const PointF* point) {
  GpBrush* b = brush_of(brush, BrushTypePathGradient);
  if (b == nullptr || point == nullptr) return InvalidParameter;
  b->centre = *point;
  return Ok;
}

Status GdipGetPathGradientCenterPoint(GpPathGradient* brush, PointF* point) {
  GpBrush* b = brush_of(brush, BrushTypePathGradient);
  if (b == nullptr || point == nullptr) return InvalidParameter;
  *point = b->centre;
  return Ok;
}

Status GdipGetPathGradientRect(GpPathGradient* brush, RectF* rect) {
  GpBrush* b = brush_of(brush, BrushTypePathGradient);
  if (b == nullptr || rect == nullptr) return InvalidParameter;
  const QRectF r = b->boundary.boundingRect();
  *rect = RectF{static_cast<REAL>(r.x()), static_cast<REAL>(r.y()), static_cast<REAL>(r.width()),
                static_cast<REAL>(r.height())};
  return Ok;
}

Status GdipSetPathGradientWrapMode(GpPathGradient* brush, WrapMode wrap) {
  GpBrush* b = brush_of(brush, BrushTypePathGradient);
  if (b == nullptr || !valid_wrap(wrap)) return InvalidParameter;
  b->wrap = wrap;
  return Ok;
}

Status GdipGetPathGradientWrapMode(GpPathGradient* brush, WrapMode* wrap) {
  GpBrush* b = brush_of(brush, BrushTypePathGradient);
  if (b == nullptr || wrap == nullptr) return InvalidParameter;
  *wrap = b->wrap;
  return Ok;
}

}  // namespace quill::gdiplus
