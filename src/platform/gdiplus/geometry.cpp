#include "platform/gdiplus/geometry.h"

#include <new>

#include "platform/gdiplus/gdiplus_private.h"
#include "platform/gdiplus/geometry_private.h"

namespace quill::gdiplus {

using detail::creation_status;
using detail::note_created;
using detail::note_deleted;

namespace detail {

QPainterPath infinite_path() {
  QPainterPath path;
  path.addRect(QRectF(-4194304.0, -4194304.0, 8388608.0, 8388608.0));
  return path;
}

Qt::FillRule fill_rule(FillMode mode) { return mode == FillModeWinding ? Qt::WindingFill : Qt::OddEvenFill; }

void combine_regions(GpRegion& target, const GpRegion& other, CombineMode mode) {
  const QPainterPath mine = target.infinite ? infinite_path() : target.path;
  const QPainterPath theirs = other.infinite ? infinite_path() : other.path;
  switch (mode) {
    case CombineModeReplace:
      target = other;
      return;
    case CombineModeIntersect:
      if (target.infinite) {
        target = other;
        return;
      }
      target.path = other.infinite ? mine : mine.intersected(theirs);
      return;
    case CombineModeUnion:
      target.infinite = target.infinite || other.infinite;
      target.path = target.infinite ? QPainterPath() : mine.united(theirs);
      return;
    case CombineModeXor:
      target.path = mine.united(theirs).subtracted(mine.intersected(theirs));
      target.infinite = false;
      return;
    case CombineModeExclude:
      target.path = mine.subtracted(theirs);
      target.infinite = false;
      return;
    case CombineModeComplement:
      target.path = theirs.subtracted(mine);
      target.infinite = false;
      return;
  }
}

}  // namespace detail

namespace {
template <typename T>
Status make(T** out) {
  if (out == nullptr) return InvalidParameter;
  *out = nullptr;
  if (const Status s = creation_status(); s != Ok) return s;
  *out = new (std::nothrow) T;
  if (*out == nullptr) return OutOfMemory;
  note_created();
  return Ok;
}

template <typename T>
Status destroy(T* object) {
  if (object == nullptr) return InvalidParameter;
  delete object;
  note_deleted();
  return Ok;
}
}  // namespace

Status GdipCreateMatrix(GpMatrix** matrix) { return make(matrix); }

Status GdipCreateMatrix2(REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy, GpMatrix** matrix) {
  const Status s = make(matrix);
  if (s == Ok) (*matrix)->transform = QTransform(m11, m12, m21, m22, dx, dy);
  return s;
}

Status GdipCloneMatrix(GpMatrix* matrix, GpMatrix** clone) {
  if (matrix == nullptr) return InvalidParameter;
  const Status s = make(clone);
  if (s == Ok) (*clone)->transform = matrix->transform;
  return s;
}

Status GdipDeleteMatrix(GpMatrix* matrix) { return destroy(matrix); }

Status GdipSetMatrixElements(GpMatrix* matrix, REAL m11, REAL m12, REAL m21, REAL m22, REAL dx, REAL dy) {
  if (matrix == nullptr) return InvalidParameter;
  matrix->transform = QTransform(m11, m12, m21, m22, dx, dy);
  return Ok;
}

Status GdipGetMatrixElements(const GpMatrix* matrix, REAL* elements) {
  if (matrix == nullptr || elements == nullptr) return InvalidParameter;
  const QTransform& t = matrix->transform;
  const qreal values[6] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
  for (int i = 0; i < 6; ++i) elements[i] = static_cast<REAL>(values[i]);
  return Ok;
}

Status GdipIsMatrixIdentity(const GpMatrix* matrix, BOOL* result) {
  if (matrix == nullptr || result == nullptr) return InvalidParameter;
  *result = matrix->transform.isIdentity() ? 1 : 0;
  return Ok;
}

Status GdipCreatePath(FillMode mode, GpPath** path) {
  const Status s = make(path);
  if (s == Ok) (*path)->path.setFillRule(detail::fill_rule(mode));
  return s;
}

Status GdipDeletePath(GpPath* path) { return destroy(path); }

Status GdipAddPathLine(GpPath* path, REAL x1, REAL y1, REAL x2, REAL y2) {
  if (path == nullptr) return InvalidParameter;
  if (path->path.elementCount() == 0 || path->path.currentPosition() != QPointF(x1, y1)) path->path.moveTo(x1, y1);
  path->path.lineTo(x2, y2);
  return Ok;
}

Status GdipAddPathRectangle(GpPath* path, REAL x, REAL y, REAL width, REAL height) {
  if (path == nullptr) return InvalidParameter;
  path->path.addRect(QRectF(x, y, width, height));
  return Ok;
}

Status GdipAddPathEllipse(GpPath* path, REAL x, REAL y, REAL width, REAL height) {
  if (path == nullptr) return InvalidParameter;
  path->path.addEllipse(QRectF(x, y, width, height));
  return Ok;
}

Status GdipAddPathPolygon(GpPath* path, const PointF* points, INT count) {
  if (path == nullptr || points == nullptr || count < 3) return InvalidParameter;
  path->path.moveTo(points[0].X, points[0].Y);
  for (INT i = 1; i < count; ++i) path->path.lineTo(points[i].X, points[i].Y);
  path->path.closeSubpath();
  return Ok;
}

Status GdipClosePathFigure(GpPath* path) {
  if (path == nullptr) return InvalidParameter;
  path->path.closeSubpath();
  return Ok;
}

Status GdipGetPointCount(GpPath* path, INT* count) {
  if (path == nullptr || count == nullptr) return InvalidParameter;
  *count = path->path.elementCount();
  return Ok;
}

Status GdipGetPathWorldBounds(GpPath* path, RectF* bounds, const GpMatrix* matrix, const GpPen* pen) {
  (void)pen;  // the pen's width is not added to the bounds
  if (path == nullptr || bounds == nullptr) return InvalidParameter;
  const QRectF r = matrix != nullptr ? matrix->transform.map(path->path).boundingRect() : path->path.boundingRect();
  *bounds = RectF{static_cast<REAL>(r.x()), static_cast<REAL>(r.y()), static_cast<REAL>(r.width()),
                  static_cast<REAL>(r.height())};
  return Ok;
}

Status GdipCreateRegion(GpRegion** region) { return make(region); }

Status GdipCreateRegionRect(const RectF* rect, GpRegion** region) {
  if (rect == nullptr) return InvalidParameter;
  const Status s = make(region);
  if (s == Ok) {
    (*region)->infinite = false;
    (*region)->path.addRect(QRectF(rect->X, rect->Y, rect->Width, rect->Height));
  }
  return s;
}

Status GdipCreateRegionPath(GpPath* path, GpRegion** region) {
  if (path == nullptr) return InvalidParameter;
  const Status s = make(region);
  if (s == Ok) {
    (*region)->infinite = false;
    (*region)->path = path->path;
  }
  return s;
}

Status GdipDeleteRegion(GpRegion* region) { return destroy(region); }

Status GdipCombineRegionRect(GpRegion* region, const RectF* rect, CombineMode mode) {
  if (region == nullptr || rect == nullptr || mode < CombineModeReplace || mode > CombineModeComplement)
    return InvalidParameter;
  GpRegion other;
  other.infinite = false;
  other.path.addRect(QRectF(rect->X, rect->Y, rect->Width, rect->Height));
  detail::combine_regions(*region, other, mode);
  return Ok;
}

Status GdipGetRegionBounds(GpRegion* region, GpGraphics* graphics, RectF* bounds) {
  if (region == nullptr || graphics == nullptr || bounds == nullptr) return InvalidParameter;
  const QRectF r = region->infinite ? detail::infinite_path().boundingRect() : region->path.boundingRect();
  *bounds = RectF{static_cast<REAL>(r.x()), static_cast<REAL>(r.y()), static_cast<REAL>(r.width()),
                  static_cast<REAL>(r.height())};
  return Ok;
}

Status GdipIsEmptyRegion(GpRegion* region, GpGraphics* graphics, BOOL* result) {
  if (region == nullptr || graphics == nullptr || result == nullptr) return InvalidParameter;
  *result = !region->infinite && region->path.boundingRect().isEmpty() ? 1 : 0;
  return Ok;
}

Status GdipIsInfiniteRegion(GpRegion* region, GpGraphics* graphics, BOOL* result) {
  if (region == nullptr || graphics == nullptr || result == nullptr) return InvalidParameter;
  *result = region->infinite ? 1 : 0;
  return Ok;
}

HRGN CreateRectRgn(INT left, INT top, INT right, INT bottom) {
  auto* region = new (std::nothrow) GdiRegionObject;
  if (region != nullptr) region->region = QRegion(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
  return region;
}

BOOL DeleteRgn(HRGN region) {
  if (region == nullptr) return 0;
  delete region;
  return 1;
}

}  // namespace quill::gdiplus
