#include "platform/gdiplus/pen.h"

#include <QPainterPathStroker>
#include <algorithm>
#include <cmath>
#include <new>

#include "platform/gdiplus/gdiplus_private.h"
#include "platform/gdiplus/geometry_private.h"
#include "platform/gdiplus/pen_private.h"

namespace quill::gdiplus {

using detail::creation_status;
using detail::note_created;
using detail::note_deleted;

namespace {

Qt::PenCapStyle cap_style(INT cap) {
  switch (cap) {
    case LineCapSquare:
    case LineCapSquareAnchor:
      return Qt::SquareCap;
    case LineCapRound:
    case LineCapRoundAnchor:
      return Qt::RoundCap;
    default:
      return Qt::FlatCap;
  }
}

Qt::PenJoinStyle join_style(LineJoin join) {
  switch (join) {
    case LineJoinMiter:
      return Qt::MiterJoin;
    case LineJoinBevel:
      return Qt::BevelJoin;
    case LineJoinRound:
      return Qt::RoundJoin;
    case LineJoinMiterClipped:
      return Qt::SvgMiterJoin;
  }
  return Qt::MiterJoin;
}

QList<qreal> dash_pattern(const GpPen& pen) {
  switch (pen.dash_style) {
    case DashStyleSolid:
      return {};
    case DashStyleDash:
      return {3, 1};
    case DashStyleDot:
      return {1, 1};
    case DashStyleDashDot:
      return {3, 1, 1, 1};
    case DashStyleDashDotDot:
      return {3, 1, 1, 1, 1, 1};
    case DashStyleCustom: {
      QList<qreal> pattern(pen.dashes.begin(), pen.dashes.end());
      if (pattern.size() % 2 != 0) pattern.append(pattern.back());
      return pattern;
    }
  }
  return {};
}

bool valid_line_cap(LineCap cap) {
  return (cap >= LineCapFlat && cap <= LineCapTriangle) || (cap >= LineCapNoAnchor && cap <= LineCapArrowAnchor) ||
         cap == LineCapCustom;
}

bool valid_dash_cap(DashCap cap) { return cap == DashCapFlat || cap == DashCapRound || cap == DashCapTriangle; }

bool valid_unit(Unit unit) { return unit >= UnitWorld && unit <= UnitMillimeter && unit != UnitDisplay; }

Status make(GpPen** out, REAL width, Unit unit) {
  if (out == nullptr) return InvalidParameter;
  *out = nullptr;
  if (!valid_unit(unit) || width < 0) return InvalidParameter;
  if (const Status s = creation_status(); s != Ok) return s;
  *out = new (std::nothrow) GpPen;
  if (*out == nullptr) return OutOfMemory;
  (*out)->width = width;
  (*out)->unit = unit;
  note_created();
  return Ok;
}

Status multiply(GpPen* pen, const QTransform& t, MatrixOrder order) {
  if (pen == nullptr || (order != MatrixOrderPrepend && order != MatrixOrderAppend)) return InvalidParameter;
  detail::combine(pen->transform, t, order);
  return Ok;
}

}  // namespace

namespace detail {

QPen to_qpen(const GpPen& pen, const QRectF& area) {
  QPainterPath unused;
  // The pen's own transform scales its width (its rotation and shear are not applied).
  const qreal scale = std::sqrt(std::abs(pen.transform.determinant()));
  QPen q(to_qbrush(pen.fill, area, unused), pen.width * pixels_per_unit(pen.unit) * scale);
  const QList<qreal> pattern = dash_pattern(pen);
  if (!pattern.isEmpty()) {
    q.setDashPattern(pattern);
    q.setDashOffset(pen.dash_offset);
    q.setCapStyle(cap_style(pen.dash_cap == DashCapRound ? LineCapRound : LineCapFlat));
  } else {
    q.setCapStyle(cap_style(pen.start_cap));
  }
  q.setJoinStyle(join_style(pen.join));
  q.setMiterLimit(pen.miter_limit);
  return q;
}

QPainterPath compound_outline(const GpPen& pen, const QPainterPath& path) {
  const qreal width = pen.width * pixels_per_unit(pen.unit);
  QPainterPath outline;
  for (std::size_t i = 0; i + 1 < pen.compound.size(); i += 2) {
    const qreal lo = (pen.compound[i] - 0.5) * width;
    const qreal hi = (pen.compound[i + 1] - 0.5) * width;
    QPainterPathStroker outer;
    outer.setWidth(std::max(2 * std::max(std::abs(lo), std::abs(hi)), 1.0));
    outer.setJoinStyle(join_style(pen.join));
    QPainterPath band = outer.createStroke(path);
    if ((lo > 0) == (hi > 0) && lo != 0 && hi != 0) {
      QPainterPathStroker inner;
      inner.setWidth(2 * std::min(std::abs(lo), std::abs(hi)));
      inner.setJoinStyle(join_style(pen.join));
      band = band.subtracted(inner.createStroke(path));
    }
    outline = outline.united(band);
  }
  return outline;
}

}  // namespace detail

Status GdipCreatePen1(ARGB colour, REAL width, Unit unit, GpPen** pen) {
  const Status s = make(pen, width, unit);
  if (s == Ok) (*pen)->fill.colour = colour;
  return s;
}

Status GdipCreatePen2(GpBrush* brush, REAL width, Unit unit, GpPen** pen) {
  if (brush == nullptr) {
    if (pen != nullptr) *pen = nullptr;
    return InvalidParameter;
  }
  const Status s = make(pen, width, unit);
  if (s == Ok) (*pen)->fill = *brush;
  return s;
}

Status GdipClonePen(GpPen* pen, GpPen** clone) {
  if (clone != nullptr) *clone = nullptr;
  if (pen == nullptr || clone == nullptr) return InvalidParameter;
  *clone = new (std::nothrow) GpPen(*pen);
  if (*clone == nullptr) return OutOfMemory;
  note_created();
  return Ok;
}

Status GdipDeletePen(GpPen* pen) {
  if (pen == nullptr) return InvalidParameter;
  delete pen;
  note_deleted();
  return Ok;
}

Status GdipSetPenWidth(GpPen* pen, REAL width) {
  if (pen == nullptr || width < 0) return InvalidParameter;
  pen->width = width;
  return Ok;
}

Status GdipGetPenWidth(GpPen* pen, REAL* width) {
  if (pen == nullptr || width == nullptr) return InvalidParameter;
  *width = pen->width;
  return Ok;
}

Status GdipSetPenLineCap197819(GpPen* pen, LineCap start, LineCap end, DashCap dash) {
  if (pen == nullptr || !valid_line_cap(start) || !valid_line_cap(end) || !valid_dash_cap(dash))
    return InvalidParameter;
  pen->start_cap = start;
  pen->end_cap = end;
  pen->dash_cap = dash;
  return Ok;
}

Status GdipSetPenStartCap(GpPen* pen, LineCap cap) {
  if (pen == nullptr || !valid_line_cap(cap)) return InvalidParameter;
  pen->start_cap = cap;
  return Ok;
}

Status GdipSetPenEndCap(GpPen* pen, LineCap cap) {
  if (pen == nullptr || !valid_line_cap(cap)) return InvalidParameter;
  pen->end_cap = cap;
  return Ok;
}

Status GdipSetPenDashCap197819(GpPen* pen, DashCap cap) {
  if (pen == nullptr || !valid_dash_cap(cap)) return InvalidParameter;
  pen->dash_cap = cap;
  return Ok;
}

Status GdipGetPenStartCap(GpPen* pen, LineCap* cap) {
  if (pen == nullptr || cap == nullptr) return InvalidParameter;
  *cap = pen->start_cap;
  return Ok;
}

Status GdipGetPenEndCap(GpPen* pen, LineCap* cap) {
  if (pen == nullptr || cap == nullptr) return InvalidParameter;
  *cap = pen->end_cap;
  return Ok;
}

Status GdipGetPenDashCap197819(GpPen* pen, DashCap* cap) {
  if (pen == nullptr || cap == nullptr) return InvalidParameter;
  *cap = pen->dash_cap;
  return Ok;
}

Status GdipSetPenLineJoin(GpPen* pen, LineJoin join) {
  if (pen == nullptr || join < LineJoinMiter || join > LineJoinMiterClipped) return InvalidParameter;
  pen->join = join;
  return Ok;
}

Status GdipGetPenLineJoin(GpPen* pen, LineJoin* join) {
  if (pen == nullptr || join == nullptr) return InvalidParameter;
  *join = pen->join;
  return Ok;
}

Status GdipSetPenMiterLimit(GpPen* pen, REAL limit) {
  if (pen == nullptr) return InvalidParameter;
  pen->miter_limit = std::max(limit, 1.0f);
  return Ok;
}

Status GdipGetPenMiterLimit(GpPen* pen, REAL* limit) {
  if (pen == nullptr || limit == nullptr) return InvalidParameter;
  *limit = pen->miter_limit;
  return Ok;
}

Status GdipSetPenMode(GpPen* pen, PenAlignment mode) {
  if (pen == nullptr || (mode != PenAlignmentCenter && mode != PenAlignmentInset)) return InvalidParameter;
  pen->alignment = mode;
  return Ok;
}

Status GdipGetPenMode(GpPen* pen, PenAlignment* mode) {
  if (pen == nullptr || mode == nullptr) return InvalidParameter;
  *mode = pen->alignment;
  return Ok;
}

Status GdipGetPenFillType(GpPen* pen, PenType* type) {
  if (pen == nullptr || type == nullptr) return InvalidParameter;
  *type = static_cast<PenType>(pen->fill.type);  // the brush kinds and pen types share values
  return Ok;
}

Status GdipSetPenColor(GpPen* pen, ARGB colour) {
  if (pen == nullptr) return InvalidParameter;
  pen->fill = GpBrush{};
  pen->fill.colour = colour;
  return Ok;
}

Status GdipGetPenColor(GpPen* pen, ARGB* colour) {
  if (pen == nullptr || colour == nullptr) return InvalidParameter;
  if (pen->fill.type != BrushTypeSolidColor) return WrongState;
  *colour = pen->fill.colour;
  return Ok;
}

Status GdipSetPenBrushFill(GpPen* pen, GpBrush* brush) {
  if (pen == nullptr || brush == nullptr) return InvalidParameter;
  pen->fill = *brush;
  return Ok;
}

Status GdipGetPenBrushFill(GpPen* pen, GpBrush** brush) {
  if (brush != nullptr) *brush = nullptr;
  if (pen == nullptr || brush == nullptr) return InvalidParameter;
  *brush = detail::copy_brush(pen->fill);
  return *brush == nullptr ? OutOfMemory : Ok;
}

Status GdipSetPenDashStyle(GpPen* pen, DashStyle style) {
  if (pen == nullptr || style < DashStyleSolid || style > DashStyleCustom) return InvalidParameter;
  pen->dash_style = style;
  return Ok;
}

Status GdipGetPenDashStyle(GpPen* pen, DashStyle* style) {
  if (pen == nullptr || style == nullptr) return InvalidParameter;
  *style = pen->dash_style;
  return Ok;
}

Status GdipSetPenDashOffset(GpPen* pen, REAL offset) {
  if (pen == nullptr) return InvalidParameter;
  pen->dash_offset = offset;
  return Ok;
}

Status GdipGetPenDashOffset(GpPen* pen, REAL* offset) {
  if (pen == nullptr || offset == nullptr) return InvalidParameter;
  *offset = pen->dash_offset;
  return Ok;
}

Status GdipSetPenDashArray(GpPen* pen, const REAL* dashes, INT count) {
  if (pen == nullptr || dashes == nullptr || count <= 0) return InvalidParameter;
  for (INT i = 0; i < count; ++i)
    if (!(dashes[i] > 0)) return InvalidParameter;
  pen->dashes.assign(dashes, dashes + count);
  pen->dash_style = DashStyleCustom;
  return Ok;
}

Status GdipGetPenDashArray(GpPen* pen, REAL* dashes, INT count) {
  if (pen == nullptr || dashes == nullptr) return InvalidParameter;
  if (static_cast<std::size_t>(count) != pen->dashes.size()) return InvalidParameter;
  std::copy(pen->dashes.begin(), pen->dashes.end(), dashes);
  return Ok;
}

Status GdipGetPenDashCount(GpPen* pen, INT* count) {
  if (pen == nullptr || count == nullptr) return InvalidParameter;
  *count = static_cast<INT>(pen->dashes.size());
  return Ok;
}

Status GdipSetPenCompoundArray(GpPen* pen, const REAL* bands, INT count) {
  if (pen == nullptr || bands == nullptr || count < 2 || count % 2 != 0) return InvalidParameter;
  for (INT i = 0; i < count; ++i) {
    if (bands[i] < 0 || bands[i] > 1) return InvalidParameter;
    if (i > 0 && bands[i] < bands[i - 1]) return InvalidParameter;
  }
  pen->compound.assign(bands, bands + count);
  return Ok;
}

Status GdipGetPenCompoundArray(GpPen* pen, REAL* bands, INT count) {
  if (pen == nullptr || bands == nullptr) return InvalidParameter;
  if (static_cast<std::size_t>(count) < pen->compound.size()) return InvalidParameter;
  std::copy(pen->compound.begin(), pen->compound.end(), bands);
  return Ok;
}

Status GdipGetPenCompoundCount(GpPen* pen, INT* count) {
  if (pen == nullptr || count == nullptr) return InvalidParameter;
  *count = static_cast<INT>(pen->compound.size());
  return Ok;
}

Status GdipSetPenUnit(GpPen* pen, Unit unit) {
  if (pen == nullptr || !valid_unit(unit)) return InvalidParameter;
  pen->unit = unit;
  return Ok;
}

Status GdipGetPenUnit(GpPen* pen, Unit* unit) {
  if (pen == nullptr || unit == nullptr) return InvalidParameter;
  *unit = pen->unit;
  return Ok;
}

Status GdipSetPenTransform(GpPen* pen, GpMatrix* matrix) {
  if (pen == nullptr || matrix == nullptr || !matrix->transform.isInvertible()) return InvalidParameter;
  pen->transform = matrix->transform;
  return Ok;
}

Status GdipGetPenTransform(GpPen* pen, GpMatrix* matrix) {
  if (pen == nullptr || matrix == nullptr) return InvalidParameter;
  matrix->transform = pen->transform;
  return Ok;
}

Status GdipResetPenTransform(GpPen* pen) {
  if (pen == nullptr) return InvalidParameter;
  pen->transform.reset();
  return Ok;
}

Status GdipMultiplyPenTransform(GpPen* pen, const GpMatrix* matrix, MatrixOrder order) {
  if (matrix == nullptr) return InvalidParameter;
  return multiply(pen, matrix->transform, order);
}

Status GdipTranslatePenTransform(GpPen* pen, REAL dx, REAL dy, MatrixOrder order) {
  return multiply(pen, QTransform::fromTranslate(dx, dy), order);
}

Status GdipScalePenTransform(GpPen* pen, REAL sx, REAL sy, MatrixOrder order) {
  return multiply(pen, QTransform::fromScale(sx, sy), order);
}

Status GdipRotatePenTransform(GpPen* pen, REAL angle, MatrixOrder order) {
  return multiply(pen, QTransform().rotate(angle), order);
}

}  // namespace quill::gdiplus
