#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <memory>
#include <mutex>

#include "platform/device_context.h"
#include "platform/gdiplus/status.h"
#include "platform/gdiplus/types.h"

namespace quill::gdiplus {

struct GpGraphics {
  GpImage* image = nullptr;                // drawing into an image, or
  win::HDC dc = nullptr;                   // onto a device context
  win::HWND window = nullptr;              // whose device context this graphics took
  void (*release)(GpGraphics&) = nullptr;  // gives the window's device context back
  SmoothingMode smoothing = SmoothingModeNone;
  TextRenderingHint text_hint = TextRenderingHintSystemDefault;
  QTransform world;
  bool clipped = false;                               // else the clip is infinite
  QPainterPath clip;                                  // device coordinates
  std::unique_ptr<win::ImageDeviceContext> image_dc;  // handed out by GdipGetDC
  bool dc_out = false;
};

namespace detail {

REAL graphics_dpi(const GpGraphics& graphics);

// One painting session on a graphics' target: locks a device context, begins
// a painter with the graphics' transform, clip and hints, and on destruction
// ends it and tells the device context that pixels changed.
class Canvas final {
 public:
  explicit Canvas(GpGraphics& graphics);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // Ok, or why nothing can be painted (ObjectBusy while a DC is out).
  Status status() const { return status_; }
  QPainter& painter() { return painter_; }
  // The target's device rectangle.
  QRect bounds() const { return bounds_; }

 private:
  GpGraphics& graphics_;
  std::unique_lock<std::mutex> lock_;
  QPainter painter_;
  QRect bounds_;
  Status status_ = Ok;
};

// The target's size in device pixels.
QRect target_bounds(GpGraphics& graphics);

}  // namespace detail
}  // namespace quill::gdiplus
