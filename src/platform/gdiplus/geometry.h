#pragma once
// Matrix, path and region objects, as far as the operations that take them
// need: making, filling with simple figures, reading back, deleting.
// Not supported: path iterators, widening, flattening, region data export.

#include "platform/gdiplus/status.h"
#include "platform/gdiplus/types.h"

namespace quill::gdiplus {

Status GdipCreateMatrix(GpMatrix** matrix);
Status GdipCreateMatrix2(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy, GpMatrix** matrix);
Status GdipCloneMatrix(GpMatrix* matrix, GpMatrix** clone);
Status GdipDeleteMatrix(GpMatrix* matrix);
Status GdipSetMatrixElements(GpMatrix* matrix, REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy);
// Six values: m11, m12, m21, m22, dx, dy.
Status GdipGetMatrixElements(const GpMatrix* matrix, REAL* elements);
Status GdipIsMatrixIdentity(const GpMatrix* matrix, BOOL* result);

Status GdipCreatePath(FillMode mode, GpPath** path);
Status GdipDeletePath(GpPath* path);
Status GdipAddPathLine(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2);
Status GdipAddPathRectangle(GpPath* path, REAL x, REAL y, REAL width, REAL height);
Status GdipAddPathEllipse(GpPath* path, REAL x, REAL y, REAL width, REAL height);
Status GdipAddPathPolygon(GpPath* path, const PointF* points, INT count);
Status GdipClosePathFigure(GpPath* path);
Status GdipGetPointCount(GpPath* path, INT* count);
Status GdipGetPathWorldBounds(GpPath* path, RectF* bounds, const GpMatrix* matrix, const GpPen* pen);

Status GdipCreateRegion(GpRegion** region);  // the infinite region
Status GdipCreateRegionRect(const RectF* rect, GpRegion** region);
Status GdipCreateRegionPath(GpPath* path, GpRegion** region);
Status GdipDeleteRegion(GpRegion* region);
Status GdipCombineRegionRect(GpRegion* region, const RectF* rect, CombineMode mode);
Status GdipGetRegionBounds(GpRegion* region, GpGraphics* graphics, RectF* bounds);
Status GdipIsEmptyRegion(GpRegion* region, GpGraphics* graphics, BOOL* result);
Status GdipIsInfiniteRegion(GpRegion* region, GpGraphics* graphics, BOOL* result);

// GDI region handles (HRGN) for GdipSetClipHrgn.
HRGN CreateRectRgn(INT left, INT top, INT right, INT bottom);
BOOL DeleteRgn(HRGN region);

}  // namespace quill::gdiplus
