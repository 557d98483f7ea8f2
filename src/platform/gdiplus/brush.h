#pragma once
// Brushes: solid, hatch (the 53 GDI+ 8 x 8 patterns), linear gradient (with
// blend factors, preset colours, gamma correction and wrap modes), texture
// and path gradient. One brush object type serves every kind; a function for
// one kind answers InvalidParameter for a brush of another kind.
// Path gradients are rendered per pixel between centre and boundary; only the
// centre colour and the surround colour (one for all points) are kept.

#include "platform/gdiplus/status.h"
#include "platform/gdiplus/types.h"

namespace quill::gdiplus {

Status GdipDeleteBrush(GpBrush* brush);
Status GdipCreateSolidFill(ARGB colour, GpSolidFill** brush);
Status GdipCloneBrush(GpBrush* brush, GpBrush** clone);
Status GdipGetBrushType(GpBrush* brush, BrushType* type);
Status GdipSetSolidFillColor(GpSolidFill* brush, ARGB colour);
Status GdipGetSolidFillColor(GpSolidFill* brush, ARGB* colour);

Status GdipCreateHatchBrush(HatchStyle style, ARGB foreground, ARGB background, GpHatch** brush);
Status GdipGetHatchStyle(GpHatch* brush, HatchStyle* style);
Status GdipGetHatchForegroundColor(GpHatch* brush, ARGB* colour);
Status GdipGetHatchBackgroundColor(GpHatch* brush, ARGB* colour);

// Wrap mode clamp is refused (InvalidParameter) for linear gradients.
Status GdipCreateLineBrush(const PointF* point1, const PointF* point2, ARGB colour1, ARGB colour2, WrapMode wrap,
                           GpLineGradient** brush);
Status GdipCreateLineBrushFromRect(const RectF* rect, ARGB colour1, ARGB colour2, LinearGradientMode mode,
                                   WrapMode wrap, GpLineGradient** brush);
Status GdipCreateLineBrushFromRectWithAngle(const RectF* rect, ARGB colour1, ARGB colour2, REAL angle,
                                            BOOL angle_scalable, WrapMode wrap, GpLineGradient** brush);
Status GdipSetLineColors(GpLineGradient* brush, ARGB colour1, ARGB colour2);
Status GdipGetLineColors(GpLineGradient* brush, ARGB* colours);  // two values
Status GdipGetLineRect(GpLineGradient* brush, RectF* rect);
Status GdipSetLineGammaCorrection(GpLineGradient* brush, BOOL use_gamma);
Status GdipGetLineGammaCorrection(GpLineGradient* brush, BOOL* use_gamma);
Status GdipGetLineBlendCount(GpLineGradient* brush, INT* count);
Status GdipSetLineBlend(GpLineGradient* brush, const REAL* factors, const REAL* positions, INT count);
Status GdipGetLineBlend(GpLineGradient* brush, REAL* factors, REAL* positions, INT count);
Status GdipGetLinePresetBlendCount(GpLineGradient* brush, INT* count);
Status GdipSetLinePresetBlend(GpLineGradient* brush, const ARGB* colours, const REAL* positions, INT count);
Status GdipGetLinePresetBlend(GpLineGradient* brush, ARGB* colours, REAL* positions, INT count);
Status GdipSetLineSigmaBlend(GpLineGradient* brush, REAL focus, REAL scale);
Status GdipSetLineLinearBlend(GpLineGradient* brush, REAL focus, REAL scale);
Status GdipSetLineWrapMode(GpLineGradient* brush, WrapMode wrap);
Status GdipGetLineWrapMode(GpLineGradient* brush, WrapMode* wrap);

Status GdipCreateTexture(GpImage* image, WrapMode wrap, GpTexture** brush);
Status GdipCreateTexture2(GpImage* image, WrapMode wrap, REAL x, REAL y, REAL width, REAL height, GpTexture** brush);
Status GdipSetTextureWrapMode(GpTexture* brush, WrapMode wrap);
Status GdipGetTextureWrapMode(GpTexture* brush, WrapMode* wrap);
// A new image object holding a copy of the texture's picture.
Status GdipGetTextureImage(GpTexture* brush, GpImage** image);
Status GdipSetTextureTransform(GpTexture* brush, const GpMatrix* matrix);
Status GdipGetTextureTransform(GpTexture* brush, GpMatrix* matrix);
Status GdipResetTextureTransform(GpTexture* brush);
Status GdipMultiplyTextureTransform(GpTexture* brush, const GpMatrix* matrix, MatrixOrder order);
Status GdipTranslateTextureTransform(GpTexture* brush, REAL dx, REAL dy, MatrixOrder order);
Status GdipScaleTextureTransform(GpTexture* brush, REAL sx, REAL sy, MatrixOrder order);
Status GdipRotateTextureTransform(GpTexture* brush, REAL angle, MatrixOrder order);

Status GdipSetLineTransform(GpLineGradient* brush, const GpMatrix* matrix);
Status GdipGetLineTransform(GpLineGradient* brush, GpMatrix* matrix);
Status GdipResetLineTransform(GpLineGradient* brush);
Status GdipMultiplyLineTransform(GpLineGradient* brush, const GpMatrix* matrix, MatrixOrder order);
Status GdipTranslateLineTransform(GpLineGradient* brush, REAL dx, REAL dy, MatrixOrder order);
Status GdipScaleLineTransform(GpLineGradient* brush, REAL sx, REAL sy, MatrixOrder order);
Status GdipRotateLineTransform(GpLineGradient* brush, REAL angle, MatrixOrder order);

Status GdipCreatePathGradient(const PointF* points, INT count, WrapMode wrap, GpPathGradient** brush);
Status GdipCreatePathGradientFromPath(const GpPath* path, GpPathGradient** brush);
Status GdipSetPathGradientCenterColor(GpPathGradient* brush, ARGB colour);
Status GdipGetPathGradientCenterColor(GpPathGradient* brush, ARGB* colour);
Status GdipGetPathGradientTransform(GpPathGradient* brush, GpMatrix* matrix);
Status GdipSetPathGradientTransform(GpPathGradient* brush, GpMatrix* matrix);
Status GdipResetPathGradientTransform(GpPathGradient* brush);
Status GdipMultiplyPathGradientTransform(GpPathGradient* brush, const GpMatrix* matrix, MatrixOrder order);
Status GdipTranslatePathGradientTransform(GpPathGradient* brush, REAL dx, REAL dy, MatrixOrder order);
Status GdipScalePathGradientTransform(GpPathGradient* brush, REAL sx, REAL sy, MatrixOrder order);
Status GdipRotatePathGradientTransform(GpPathGradient* brush, REAL angle, MatrixOrder order);
Status GdipSetPathGradientPath(GpPathGradient* brush, const GpPath* path);
Status GdipGetPathGradientPath(GpPathGradient* brush, GpPath* path);
Status GdipSetPathGradientCenterPoint(GpPathGradient* brush, const PointF* point);
Status GdipGetPathGradientCenterPoint(GpPathGradient* brush, PointF* point);
Status GdipGetPathGradientRect(GpPathGradient* brush, RectF* rect);
Status GdipSetPathGradientWrapMode(GpPathGradient* brush, WrapMode wrap);
Status GdipGetPathGradientWrapMode(GpPathGradient* brush, WrapMode* wrap);
Status GdipSetPathGradientSurroundColor(GpPathGradient* brush, ARGB colour);

}  // namespace quill::gdiplus
