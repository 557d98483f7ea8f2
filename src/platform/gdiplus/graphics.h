#pragma once
// Graphics contexts: drawing into an image, onto a device context, or onto a
// window's client area (through its device context). Each drawing call paints
// with Qt's raster engine and, for a device context, holds the context's lock
// only for that call. Coordinates are world coordinates mapped by the world
// transform; the clip is kept in device coordinates, as GDI+ keeps it.
// Smoothing mode default/none/high speed draws aliased, as GDI+ does.
// String formats are not supported: GdipDrawString takes a null format (the
// default: top-left, word-wrapped at the layout width, clipped to the layout
// rectangle); a width or height that is not positive means no limit there.

#include "platform/gdiplus/status.h"
#include "platform/gdiplus/types.h"
#include "platform/win_types.h"

namespace quill::gdiplus {

Status GdipCreateFromHDC(win::HDC dc, GpGraphics** graphics);
// Takes the window's device context (GetDC) and releases it when deleted.
Status GdipCreateFromHWND(win::HWND window, GpGraphics** graphics);
// ObjectBusy is not reported: several graphics may draw into one image.
Status GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics);
Status GdipDeleteGraphics(GpGraphics* graphics);

Status GdipDrawCurve3(GpGraphics* graphics, GpPen* pen, const PointF* points, INT count, INT offset, INT segments,
                      REAL tension);
Status GdipDrawLines(GpGraphics* graphics, GpPen* pen, const PointF* points, INT count);
Status GdipDrawLine(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
Status GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode);
Status GdipGetSmoothingMode(GpGraphics* graphics, SmoothingMode* mode);
Status GdipSetTextRenderingHint(GpGraphics* graphics, TextRenderingHint hint);
Status GdipGetTextRenderingHint(GpGraphics* graphics, TextRenderingHint* hint);
// `length` UTF-16 units of `text`, or up to its terminator when -1.
Status GdipDrawString(GpGraphics* graphics, const WCHAR* text, INT length, const GpFont* font, const RectF* layout,
                      const GpStringFormat* format, const GpBrush* brush);
// A device context over the graphics' pixels, valid until GdipReleaseDC;
// drawing through the graphics answers ObjectBusy meanwhile.
Status GdipGetDC(GpGraphics* graphics, win::HDC* dc);
Status GdipReleaseDC(GpGraphics* graphics, win::HDC dc);
Status GdipFillRectangle(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height);
Status GdipGraphicsClear(GpGraphics* graphics, ARGB colour);
Status GdipDrawClosedCurve2(GpGraphics* graphics, GpPen* pen, const PointF* points, INT count, REAL tension);
Status GdipDrawArc(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height, REAL start_angle,
                   REAL sweep_angle);
Status GdipDrawBezier(GpGraphics* graphics, GpPen* pen, REAL x1, REAL y1, REAL x2, REAL y2, REAL x3, REAL y3, REAL x4,
                      REAL y4);
Status GdipDrawBeziers(GpGraphics* graphics, GpPen* pen, const PointF* points, INT count);
Status GdipDrawRectangle(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height);
Status GdipDrawRectangles(GpGraphics* graphics, GpPen* pen, const RectF* rects, INT count);
Status GdipDrawEllipse(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height);
Status GdipDrawPie(GpGraphics* graphics, GpPen* pen, REAL x, REAL y, REAL width, REAL height, REAL start_angle,
                   REAL sweep_angle);
Status GdipDrawPolygon(GpGraphics* graphics, GpPen* pen, const PointF* points, INT count);
Status GdipFillRectangles(GpGraphics* graphics, GpBrush* brush, const RectF* rects, INT count);
Status GdipFillPolygon(GpGraphics* graphics, GpBrush* brush, const PointF* points, INT count, FillMode mode);
Status GdipFillEllipse(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height);
Status GdipFillPie(GpGraphics* graphics, GpBrush* brush, REAL x, REAL y, REAL width, REAL height, REAL start_angle,
                   REAL sweep_angle);
Status GdipFillClosedCurve2(GpGraphics* graphics, GpBrush* brush, const PointF* points, INT count, REAL tension,
                            FillMode mode);
Status GdipDrawPath(GpGraphics* graphics, GpPen* pen, GpPath* path);
Status GdipFillPath(GpGraphics* graphics, GpBrush* brush, GpPath* path);
Status GdipFillRegion(GpGraphics* graphics, GpBrush* brush, GpRegion* region);
// At the image's physical size: its pixel size scaled by 96 dpi / its dpi.
Status GdipDrawImage(GpGraphics* graphics, GpImage* image, REAL x, REAL y);
Status GdipDrawImageRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL width, REAL height);
// Three points: upper-left, upper-right, lower-left of the parallelogram.
// Four points answer NotImplemented, as in GDI+.
Status GdipDrawImagePoints(GpGraphics* graphics, GpImage* image, const PointF* points, INT count);
Status GdipDrawImagePointRect(GpGraphics* graphics, GpImage* image, REAL x, REAL y, REAL src_x, REAL src_y,
                              REAL src_width, REAL src_height, Unit src_unit);

Status GdipSetClipGraphics(GpGraphics* graphics, GpGraphics* source, CombineMode mode);
Status GdipSetClipRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height, CombineMode mode);
Status GdipSetClipPath(GpGraphics* graphics, GpPath* path, CombineMode mode);
Status GdipSetClipRegion(GpGraphics* graphics, GpRegion* region, CombineMode mode);
Status GdipSetClipHrgn(GpGraphics* graphics, HRGN region, CombineMode mode);
Status GdipResetClip(GpGraphics* graphics);
Status GdipTranslateClip(GpGraphics* graphics, REAL dx, REAL dy);
Status GdipGetClip(GpGraphics* graphics, GpRegion* region);
Status GdipGetClipBounds(GpGraphics* graphics, RectF* bounds);
Status GdipIsClipEmpty(GpGraphics* graphics, BOOL* result);
Status GdipGetVisibleClipBounds(GpGraphics* graphics, RectF* bounds);
Status GdipIsVisibleClipEmpty(GpGraphics* graphics, BOOL* result);
Status GdipIsVisiblePoint(GpGraphics* graphics, REAL x, REAL y, BOOL* result);
Status GdipIsVisibleRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height, BOOL* result);
Status GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
Status GdipGetWorldTransform(GpGraphics* graphics, GpMatrix* matrix);
Status GdipResetWorldTransform(GpGraphics* graphics);
Status GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy, MatrixOrder order);
Status GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy, MatrixOrder order);
Status GdipRotateWorldTransform(GpGraphics* graphics, REAL angle, MatrixOrder order);
Status GdipMultiplyWorldTransform(GpGraphics* graphics, const GpMatrix* matrix, MatrixOrder order);
Status GdipGetDpiX(GpGraphics* graphics, REAL* dpi);
Status GdipGetDpiY(GpGraphics* graphics, REAL* dpi);

}  // namespace quill::gdiplus
