#include "platform/window_messages.h"

#include <QPainter>
#include <QThread>
#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_set>

#include "platform/device_context.h"
#include "platform/window_host.h"

namespace quill::win {

LRESULT default_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// A window's device context: the backing image of the window's client area.
class WindowDeviceContext final : public DeviceContext {
 public:
  WindowDeviceContext(HWND window, WindowHost* host) : window_(window), host_(host) {}
  QImage& image() override { return image_; }
  std::mutex& lock() override { return mutex_; }
  QPoint origin() const override { return {0, 0}; }
  HWND window() const override { return window_; }
  void changed() override;

 private:
  HWND window_;
  WindowHost* host_;
  QImage image_;
  std::mutex mutex_;
};

}  // namespace quill::win

struct quill::win::WindowObject {
  WindowObject(WindowHost* h, HWND p) : host(h), parent(p), dc(this, h) {}
  WindowHost* host;
  HWND parent;
  std::atomic<WNDPROC> procedure{&default_window_procedure};
  std::atomic<bool> leave_requested{false};
  WindowDeviceContext dc;
};

struct quill::win::GdiObject {
  COLORREF colour = 0;
};

namespace quill::win {
namespace {

// Live handles. Checked by every call, so a stale or null handle fails
// instead of touching freed memory.
std::mutex registry_mutex;
std::unordered_set<HWND>& windows() {
  static std::unordered_set<HWND> set;
  return set;
}
std::unordered_set<HGDIOBJ>& gdi_objects() {
  static std::unordered_set<HGDIOBJ> set;
  return set;
}

bool alive(HWND window) {
  std::lock_guard lock(registry_mutex);
  return window != nullptr && windows().count(window) != 0;
}

bool alive_brush(HGDIOBJ object) {
  std::lock_guard lock(registry_mutex);
  return object != nullptr && gdi_objects().count(object) != 0;
}

}  // namespace

void WindowDeviceContext::changed() {
  if (alive(window_)) host_->backing_changed();
}

LRESULT default_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (!alive(window)) return 0;
  return window->host->default_procedure(window, message, wparam, lparam);
}

HWND create_window(WindowHost* host, HWND parent) {
  if (host == nullptr) return nullptr;
  auto* window = new WindowObject(host, parent);
  std::lock_guard lock(registry_mutex);
  windows().insert(window);
  return window;
}

void destroy_window(HWND window) {
  {
    std::lock_guard lock(registry_mutex);
    if (windows().erase(window) == 0) return;
  }
  // The device context may be in use on another thread; wait for it.
  { std::lock_guard dc_lock(window->dc.lock()); }
  delete window;
}

bool is_window(HWND window) { return alive(window); }

HWND parent_window(HWND window) { return alive(window) ? window->parent : nullptr; }

void resize_backing_image(HWND window, QSize size) {
  if (!alive(window)) return;
  std::lock_guard lock(window->dc.lock());
  QImage& image = window->dc.image();
  if (image.size() == size) return;
  QImage resized(size.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
  resized.fill(Qt::white);
  if (!image.isNull()) {
    QPainter painter(&resized);
    painter.drawImage(0, 0, image);
  }
  image = std::move(resized);
}

bool take_leave_request(HWND window) { return alive(window) && window->leave_requested.exchange(false); }

LONG_PTR SetWindowLongA(HWND window, int index, LONG_PTR value) {
  if (index != GWL_WNDPROC || value == 0 || !alive(window)) return 0;
  return reinterpret_cast<LONG_PTR>(window->procedure.exchange(reinterpret_cast<WNDPROC>(value)));
}

LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return procedure ? procedure(window, message, wparam, lparam) : 0;
}

std::function<void()>& before_sent_message() {
  static std::function<void()> hook;
  return hook;
}

void set_before_sent_message(std::function<void()> hook) {
  std::lock_guard lock(registry_mutex);
  before_sent_message() = std::move(hook);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  QObject* target = nullptr;
  std::function<void()> before;
  {
    std::lock_guard lock(registry_mutex);
    if (window == nullptr || windows().count(window) == 0) return 0;
    target = window->host->message_target();
    before = before_sent_message();
  }
  if (target == nullptr) return 0;
  if (QThread::currentThread() == target->thread()) {
    return window->procedure.load()(window, message, wparam, lparam);
  }
  // Run on the window's thread and wait. The window may be destroyed before
  // the call arrives (its handle is checked again there); if the target object
  // goes away first, Qt drops the call and releases the wait.
  LRESULT result = 0;
  QMetaObject::invokeMethod(
      target,
      [&] {
        if (before) before();
        if (alive(window)) result = window->procedure.load()(window, message, wparam, lparam);
      },
      Qt::BlockingQueuedConnection);
  return result;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* request) {
  if (request == nullptr || request->cbSize < 16 || !alive(request->hwndTrack)) return 0;
  if (request->dwFlags & TME_LEAVE) request->hwndTrack->leave_requested.store(true);
  return 1;
}

HBRUSH CreateSolidBrush(COLORREF colour) {
  auto* brush = new GdiObject{colour & 0x00FFFFFFu};
  std::lock_guard lock(registry_mutex);
  gdi_objects().insert(brush);
  return brush;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  if (dc == nullptr || rect == nullptr || !alive_brush(brush)) return 0;
  const COLORREF c = brush->colour;
  const QColor colour(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  if (rect->right > rect->left && rect->bottom > rect->top) {
    std::lock_guard lock(dc->lock());
    if (dc->image().isNull()) return 1;
    QPainter painter(&dc->image());
    const QPoint o = dc->origin();
    painter.fillRect(QRect(rect->left + o.x(), rect->top + o.y(), rect->right - rect->left, rect->bottom - rect->top),
                     colour);
  }
  dc->changed();
  return 1;
}

BOOL DeleteObject(HGDIOBJ object) {
  {
    std::lock_guard lock(registry_mutex);
    if (object == nullptr || gdi_objects().erase(object) == 0) return 0;
  }
  delete object;
  return 1;
}

HDC GetDC(HWND window) { return alive(window) ? &window->dc : nullptr; }

int ReleaseDC(HWND window, HDC dc) { return alive(window) && dc == &window->dc ? 1 : 0; }

}  // namespace quill::win
