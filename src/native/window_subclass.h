#pragma once
// WindowSubclass: puts a program window procedure in front of a window's
// existing one and forwards unhandled messages to the procedure it replaced.
//
// The object holds only the replaced procedure and the window. Each subclassed
// window has its own ordinary window procedure that knows its (program-wide)
// WindowSubclass statically; there is no per-object routing.
//
// Threads: used only on the thread that owns the window; no locking.
// Failures are not reported: a failed attach leaves previous_procedure 0 (the
// window keeps its procedure); a failed detach returns 0.

#include "platform/win_types.h"

namespace quill::native {

class WindowSubclass final {
 public:
  WindowSubclass() = default;
  // Duplicates both fields (the program never copies one).
  WindowSubclass(const WindowSubclass&) = default;
  WindowSubclass& operator=(const WindowSubclass&) = delete;
  // Runs detach.
  virtual ~WindowSubclass();

  // Puts `previous_procedure` back on `window`, then clears `window`. Returns
  // the procedure installed until then, or 0 when the call failed (for example
  // on an object that was never attached). `previous_procedure` is kept.
  virtual win::LONG_PTR detach();
  // Stores `window`, installs `procedure` on it and keeps the procedure it
  // replaced, which is also returned (0 when the window has none to replace).
  virtual win::LONG_PTR attach(win::HWND window, win::WNDPROC procedure);
  // Forwards one message, unchanged, to the replaced procedure; its result.
  virtual win::LRESULT call_previous(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam);

  win::LONG_PTR previous_procedure() const { return previous_procedure_; }
  win::HWND window() const { return window_; }

 private:
  win::LONG_PTR previous_procedure_ = 0;
  win::HWND window_ = nullptr;
};

}  // namespace quill::native
