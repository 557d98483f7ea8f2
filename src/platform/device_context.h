#pragma once
// A device context: a place to draw, backed by a QImage.
//
// Window device contexts draw onto the window's backing image, which the
// widget shows; memory device contexts draw onto an image their creator owns.
// Drawing may happen on any thread: hold `lock()` while touching the image,
// then call `changed()` (without the lock) so a window shows the new pixels.
// Never send a window message while holding `lock()`: the window's thread
// takes it to show the image.

#include <QImage>
#include <QPoint>
#include <mutex>

#include "platform/win_types.h"

namespace quill::win {

struct DeviceContext {
  virtual ~DeviceContext() = default;
  virtual QImage& image() = 0;  // guarded by lock()
  virtual std::mutex& lock() = 0;
  virtual QPoint origin() const = 0;  // client (0, 0) within image()
  virtual HWND window() const = 0;    // nullptr for a memory device context
  virtual void changed() = 0;         // pixels were drawn
};

// A device context over an image the caller owns (off-screen drawing, tests).
class ImageDeviceContext final : public DeviceContext {
 public:
  explicit ImageDeviceContext(QImage* target) : target_(target) {}
  QImage& image() override { return *target_; }
  std::mutex& lock() override { return mutex_; }
  QPoint origin() const override { return {0, 0}; }
  HWND window() const override { return nullptr; }
  void changed() override {}

 private:
  QImage* target_;
  std::mutex mutex_;
};

}  // namespace quill::win
