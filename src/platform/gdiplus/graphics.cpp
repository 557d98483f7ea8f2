#include "platform/gdiplus/graphics.h"

#include <new>

#include "platform/gdiplus/gdiplus_private.h"
#include "platform/gdiplus/geometry_private.h"
#include "platform/gdiplus/graphics_private.h"
#include "platform/gdiplus/image_private.h"

namespace quill::gdiplus {

using detail::creation_status;
using detail::note_created;
using detail::note_deleted;

namespace detail {

REAL graphics_dpi(const GpGraphics&) { return 96.0f; }

QRect target_bounds(GpGraphics& graphics) {
  if (graphics.image != nullptr) return current_frame(*graphics.image).rect();
  std::lock_guard hold(graphics.dc->lock());
  const QImage& image = graphics.dc->image();
  const QPoint origin = graphics.dc->origin();
  return QRect(QPoint(0, 0), image.size() - QSize(origin.x(), origin.y()));
}

Canvas::Canvas(GpGraphics& graphics) : graphics_(graphics) {
  if (graphics.dc_out) {
    status_ = ObjectBusy;
    return;
  }
  QImage* target = nullptr;
  QPoint origin(0, 0);
  if (graphics.image != nullptr) {
    target = &current_frame(*graphics.image);
  } else {
    lock_ = std::unique_lock(graphics.dc->lock());
    target = &graphics.dc->image();
    origin = graphics.dc->origin();
  }
  if (target->isNull() || target->format() == QImage::Format_Indexed8 || !painter_.begin(target)) {
    status_ = target->format() == QImage::Format_Indexed8 ? InvalidParameter : GenericError;
    return;
  }
  bounds_ = QRect(QPoint(0, 0), target->size() - QSize(origin.x(), origin.y()));
  const QTransform device = QTransform::fromTranslate(origin.x(), origin.y());
  painter_.setTransform(device);
  painter_.setClipRect(bounds_);
  if (graphics.clipped) painter_.setClipPath(graphics.clip, Qt::IntersectClip);
  painter_.setTransform(graphics.world * device);
  const bool smooth = graphics.smoothing == SmoothingModeAntiAlias || graphics.smoothing == SmoothingModeHighQuality ||
                      graphics.smoothing == SmoothingModeAntiAlias8x4 ||
                      graphics.smoothing == SmoothingModeAntiAlias8x8;
  painter_.setRenderHint(QPainter::Antialiasing, smooth);
  const bool aliased_text = graphics.text_hint == TextRenderingHintSingleBitPerPixelGridFit ||
                            graphics.text_hint == TextRenderingHintSingleBitPerPixel;
  painter_.setRenderHint(QPainter::TextAntialiasing, !aliased_text);
  painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

Canvas::~Canvas() {
  if (painter_.isActive()) painter_.end();
  if (lock_.owns_lock()) {
    lock_.unlock();
    graphics_.dc->changed();
  }
}

}  // namespace detail

namespace {

Status make(GpGraphics** out) {
  if (out == nullptr) return InvalidParameter;
  *out = nullptr;
  if (const Status s = creation_status(); s != Ok) return s;
  *out = new (std::nothrow) GpGraphics;
  if (*out == nullptr) return OutOfMemory;
  note_created();
  return Ok;
}

bool valid_combine(CombineMode mode) { return mode >= CombineModeReplace && mode <= CombineModeComplement; }

GpRegion region_of(const GpGraphics& g) {
  GpRegion region;
  region.infinite = !g.clipped;
  region.path = g.clip;
  return region;
}

void set_region(GpGraphics& g, const GpRegion& region) {
  g.clipped = !region.infinite;
  g.clip = region.infinite ? QPainterPath() : region.path;
}

// Combines the device-space `path` into the clip.
Status combine_clip(GpGraphics* g, const QPainterPath& path, bool infinite, CombineMode mode) {
  if (g == nullptr || !valid_combine(mode)) return InvalidParameter;
  GpRegion current = region_of(*g);
  GpRegion other;
  other.infinite = infinite;
  other.path = path;
  detail::combine_regions(current, other, mode);
  set_region(*g, current);
  return Ok;
}

RectF to_rectf(const QRectF& r) {
  return RectF{static_cast<REAL>(r.x()), static_cast<REAL>(r.y()), static_cast<REAL>(r.width()),
               static_cast<REAL>(r.height())};
}

// The visible area in device coordinates: clip within the target.
QPainterPath visible_area(GpGraphics& g) {
  QPainterPath area;
  area.addRect(detail::target_bounds(g));
  return g.clipped ? area.intersected(g.clip) : area;
}

Status transform_world(GpGraphics* g, const QTransform& t, MatrixOrder order) {
  if (g == nullptr || (order != MatrixOrderPrepend && order != MatrixOrderAppend)) return InvalidParameter;
  QTransform next = g->world;
  detail::combine(next, t, order);
  if (!next.isInvertible()) return InvalidParameter;
  g->world = next;
  return Ok;
}

}  // namespace

Status GdipCreateFromHDC(win::HDC dc, GpGraphics** graphics) {
  if (graphics != nullptr) *graphics = nullptr;
  if (dc == nullptr) return OutOfMemory;  // GDI+'s answer for a null device context
  const Status s = make(graphics);
  if (s == Ok) (*graphics)->dc = dc;
  return s;
}

Status GdipDeleteGraphics(GpGraphics* graphics) {
  if (graphics == nullptr) return InvalidParameter;
  if (graphics->release != nullptr) graphics->release(*graphics);
  delete graphics;
  note_deleted();
  return Ok;
}

Status GdipGetImageGraphicsContext(GpImage* image, GpGraphics** graphics) {
  if (graphics != nullptr) *graphics = nullptr;
  if (image == nullptr || graphics == nullptr) return InvalidParameter;
  if (detail::current_frame(*image).format() == QImage::Format_Indexed8) return OutOfMemory;  // as GDI+ for indexed
  const Status s = make(graphics);
  if (s == Ok) (*graphics)->image = image;
  return s;
}

Status GdipSetSmoothingMode(GpGraphics* graphics, SmoothingMode mode) {
  if (graphics == nullptr || mode < SmoothingModeDefault || mode > SmoothingModeAntiAlias8x8) return InvalidParameter;
  graphics->smoothing = mode == SmoothingModeDefault || mode == SmoothingModeHighSpeed ? SmoothingModeNone
                        : mode == SmoothingModeHighQuality                             ? SmoothingModeAntiAlias
                                                                                       : mode;
  return Ok;
}

Status GdipGetSmoothingMode(GpGraphics* graphics, SmoothingMode* mode) {
  if (graphics == nullptr || mode == nullptr) return InvalidParameter;
  *mode = graphics->smoothing;
  return Ok;
}

Status GdipSetTextRenderingHint(GpGraphics* graphics, TextRenderingHint hint) {
  if (graphics == nullptr || hint < TextRenderingHintSystemDefault || hint > TextRenderingHintClearTypeGridFit)
    return InvalidParameter;
  graphics->text_hint = hint;
  return Ok;
}

Status GdipGetTextRenderingHint(GpGraphics* graphics, TextRenderingHint* hint) {
  if (graphics == nullptr || hint == nullptr) return InvalidParameter;
  *hint = graphics->text_hint;
  return Ok;
}

Status GdipGetDC(GpGraphics* graphics, win::HDC* dc) {
  if (graphics == nullptr || dc == nullptr) return InvalidParameter;
  if (graphics->dc_out) return ObjectBusy;
  if (graphics->image != nullptr) {
    graphics->image_dc = std::make_unique<win::ImageDeviceContext>(&detail::current_frame(*graphics->image));
    *dc = graphics->image_dc.get();
  } else {
    *dc = graphics->dc;
  }
  graphics->dc_out = true;
  return Ok;
}

Status GdipReleaseDC(GpGraphics* graphics, win::HDC dc) {
  if (graphics == nullptr || dc == nullptr || !graphics->dc_out) return InvalidParameter;
  const win::HDC mine = graphics->image != nullptr ? graphics->image_dc.get() : graphics->dc;
  if (dc != mine) return InvalidParameter;
  graphics->image_dc.reset();
  graphics->dc_out = false;
  return Ok;
}

Status GdipSetClipGraphics(GpGraphics* graphics, GpGraphics* source, CombineMode mode) {
  if (source == nullptr) return InvalidParameter;
  return combine_clip(graphics, source->clip, !source->clipped, mode);
}

Status GdipSetClipRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height, CombineMode mode) {
  if (graphics == nullptr) return InvalidParameter;
  QPainterPath path;
  path.addRect(QRectF(x, y, width, height).normalized());
  return combine_clip(graphics, graphics->world.map(path), false, mode);
}

Status GdipSetClipPath(GpGraphics* graphics, GpPath* path, CombineMode mode) {
  if (graphics == nullptr || path == nullptr) return InvalidParameter;
  return combine_clip(graphics, graphics->world.map(path->path), false, mode);
}

Status GdipSetClipRegion(GpGraphics* graphics, GpRegion* region, CombineMode mode) {
  if (graphics == nullptr || region == nullptr) return InvalidParameter;
  return combine_clip(graphics, graphics->world.map(region->path), region->infinite, mode);
}

Status GdipSetClipHrgn(GpGraphics* graphics, HRGN region, CombineMode mode) {
  if (graphics == nullptr || region == nullptr) return InvalidParameter;
  QPainterPath path;
  path.addRegion(region->region);  // device coordinates already
  return combine_clip(graphics, path, false, mode);
}

Status GdipResetClip(GpGraphics* graphics) {
  if (graphics == nullptr) return InvalidParameter;
  graphics->clipped = false;
  graphics->clip = QPainterPath();
  return Ok;
}

Status GdipTranslateClip(GpGraphics* graphics, REAL dx, REAL dy) {
  if (graphics == nullptr) return InvalidParameter;
  if (graphics->clipped) {
    const QPointF shift = graphics->world.map(QPointF(dx, dy)) - graphics->world.map(QPointF(0, 0));
    graphics->clip.translate(shift);
  }
  return Ok;
}

Status GdipGetClip(GpGraphics* graphics, GpRegion* region) {
  if (graphics == nullptr || region == nullptr) return InvalidParameter;
  region->infinite = !graphics->clipped;
  region->path = graphics->clipped ? graphics->world.inverted().map(graphics->clip) : QPainterPath();
  return Ok;
}

Status GdipGetClipBounds(GpGraphics* graphics, RectF* bounds) {
  if (graphics == nullptr || bounds == nullptr) return InvalidParameter;
  const QPainterPath device = graphics->clipped ? graphics->clip : detail::infinite_path();
  *bounds = to_rectf(graphics->world.inverted().map(device).boundingRect());
  return Ok;
}

Status GdipIsClipEmpty(GpGraphics* graphics, BOOL* result) {
  if (result != nullptr) *result = 0;
  if (graphics == nullptr || result == nullptr) return InvalidParameter;
  *result = graphics->clipped && graphics->clip.boundingRect().isEmpty() ? 1 : 0;
  return Ok;
}

Status GdipGetVisibleClipBounds(GpGraphics* graphics, RectF* bounds) {
  if (graphics == nullptr || bounds == nullptr) return InvalidParameter;
  *bounds = to_rectf(graphics->world.inverted().map(visible_area(*graphics)).boundingRect());
  return Ok;
}

Status GdipIsVisibleClipEmpty(GpGraphics* graphics, BOOL* result) {
  if (result != nullptr) *result = 0;
  if (graphics == nullptr || result == nullptr) return InvalidParameter;
  *result = visible_area(*graphics).boundingRect().isEmpty() ? 1 : 0;
  return Ok;
}

Status GdipIsVisiblePoint(GpGraphics* graphics, REAL x, REAL y, BOOL* result) {
  if (result != nullptr) *result = 0;
  if (graphics == nullptr || result == nullptr) return InvalidParameter;
  *result = visible_area(*graphics).contains(graphics->world.map(QPointF(x, y))) ? 1 : 0;
  return Ok;
}

Status GdipIsVisibleRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height, BOOL* result) {
  if (result != nullptr) *result = 0;
  if (graphics == nullptr || result == nullptr) return InvalidParameter;
  QPainterPath rect;
  rect.addRect(QRectF(x, y, width, height));
  *result = visible_area(*graphics).intersects(graphics->world.map(rect)) ? 1 : 0;
  return Ok;
}

Status GdipSetWorldTransform(GpGraphics* graphics, GpMatrix* matrix) {
  if (graphics == nullptr || matrix == nullptr || !matrix->transform.isInvertible()) return InvalidParameter;
  graphics->world = matrix->transform;
  return Ok;
}

Status GdipGetWorldTransform(GpGraphics* graphics, GpMatrix* matrix) {
  if (graphics == nullptr || matrix == nullptr) return InvalidParameter;
  matrix->transform = graphics->world;
  return Ok;
}

Status GdipResetWorldTransform(GpGraphics* graphics) {
  if (graphics == nullptr) return InvalidParameter;
  graphics->world.reset();
  return Ok;
}

Status GdipTranslateWorldTransform(GpGraphics* graphics, REAL dx, REAL dy, MatrixOrder order) {
  return transform_world(graphics, QTransform::fromTranslate(dx, dy), order);
}

Status GdipScaleWorldTransform(GpGraphics* graphics, REAL sx, REAL sy, MatrixOrder order) {
  return transform_world(graphics, QTransform::fromScale(sx, sy), order);
}

Status GdipRotateWorldTransform(GpGraphics* graphics, REAL angle, MatrixOrder order) {
  return transform_world(graphics, QTransform().rotate(angle), order);
}

Status GdipMultiplyWorldTransform(GpGraphics* graphics, const GpMatrix* matrix, MatrixOrder order) {
  if (matrix == nullptr) return InvalidParameter;
  return transform_world(graphics, matrix->transform, order);
}

Status GdipGetDpiX(GpGraphics* graphics, REAL* dpi) {
  if (graphics == nullptr || dpi == nullptr) return InvalidParameter;
  *dpi = detail::graphics_dpi(*graphics);
  return Ok;
}

Status GdipGetDpiY(GpGraphics* graphics, REAL* dpi) {
  if (graphics == nullptr || dpi == nullptr) return InvalidParameter;
  *dpi = detail::graphics_dpi(*graphics);
  return Ok;
}

}  // namespace quill::gdiplus
