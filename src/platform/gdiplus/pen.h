#pragma once
// Pens: width and unit, a fill (solid colour or any brush), caps, joins,
// dash styles and arrays, compound arrays and a transform.
// A pen transform scales the width only. Qt strokes have one cap style: the start cap is used for solid lines and the
// dash cap for dashed ones; anchor caps draw as their plain counterparts
// (round, square, flat). Inset alignment strokes centred. Compound bands are
// drawn mirrored about the centre line, exact for symmetric arrays.

#include "platform/gdiplus/status.h"
#include "platform/gdiplus/types.h"

namespace quill::gdiplus {

Status GdipCreatePen1(ARGB colour, REAL width, Unit unit, GpPen** pen);
Status GdipCreatePen2(GpBrush* brush, REAL width, Unit unit, GpPen** pen);
Status GdipClonePen(GpPen* pen, GpPen** clone);
Status GdipDeletePen(GpPen* pen);
Status GdipSetPenWidth(GpPen* pen, REAL width);
Status GdipGetPenWidth(GpPen* pen, REAL* width);
Status GdipSetPenLineCap197819(GpPen* pen, LineCap start, LineCap end, DashCap dash);
Status GdipSetPenStartCap(GpPen* pen, LineCap cap);
Status GdipSetPenEndCap(GpPen* pen, LineCap cap);
Status GdipSetPenDashCap197819(GpPen* pen, DashCap cap);
Status GdipGetPenStartCap(GpPen* pen, LineCap* cap);
Status GdipGetPenEndCap(GpPen* pen, LineCap* cap);
Status GdipGetPenDashCap197819(GpPen* pen, DashCap* cap);
Status GdipSetPenLineJoin(GpPen* pen, LineJoin join);
Status GdipGetPenLineJoin(GpPen* pen, LineJoin* join);
Status GdipSetPenMiterLimit(GpPen* pen, REAL limit);
Status GdipGetPenMiterLimit(GpPen* pen, REAL* limit);
Status GdipSetPenMode(GpPen* pen, PenAlignment mode);
Status GdipGetPenMode(GpPen* pen, PenAlignment* mode);
Status GdipGetPenFillType(GpPen* pen, PenType* type);
Status GdipSetPenColor(GpPen* pen, ARGB colour);
// WrongState when the pen's fill is not a solid colour.
Status GdipGetPenColor(GpPen* pen, ARGB* colour);
Status GdipSetPenBrushFill(GpPen* pen, GpBrush* brush);
// A new brush object copying the pen's fill.
Status GdipGetPenBrushFill(GpPen* pen, GpBrush** brush);
Status GdipSetPenDashStyle(GpPen* pen, DashStyle style);
Status GdipGetPenDashStyle(GpPen* pen, DashStyle* style);
Status GdipSetPenDashOffset(GpPen* pen, REAL offset);
Status GdipGetPenDashOffset(GpPen* pen, REAL* offset);
Status GdipSetPenDashArray(GpPen* pen, const REAL* dashes, INT count);
Status GdipGetPenDashArray(GpPen* pen, REAL* dashes, INT count);
Status GdipGetPenDashCount(GpPen* pen, INT* count);
Status GdipSetPenCompoundArray(GpPen* pen, const REAL* bands, INT count);
Status GdipGetPenCompoundArray(GpPen* pen, REAL* bands, INT count);
Status GdipGetPenCompoundCount(GpPen* pen, INT* count);
Status GdipSetPenUnit(GpPen* pen, Unit unit);
Status GdipGetPenUnit(GpPen* pen, Unit* unit);
Status GdipSetPenTransform(GpPen* pen, GpMatrix* matrix);
Status GdipGetPenTransform(GpPen* pen, GpMatrix* matrix);
Status GdipResetPenTransform(GpPen* pen);
Status GdipMultiplyPenTransform(GpPen* pen, const GpMatrix* matrix, MatrixOrder order);
Status GdipTranslatePenTransform(GpPen* pen, REAL dx, REAL dy, MatrixOrder order);
Status GdipScalePenTransform(GpPen* pen, REAL sx, REAL sy, MatrixOrder order);
Status GdipRotatePenTransform(GpPen* pen, REAL angle, MatrixOrder order);

}  // namespace quill::gdiplus
