#include "native/window_subclass.h"

#include "platform/window_messages.h"

namespace quill::native {

WindowSubclass::~WindowSubclass() { detach(); }

win::LONG_PTR WindowSubclass::detach() {
  // No test of window_: on a never-attached object the call fails on handle 0.
  const win::LONG_PTR installed = win::SetWindowLongA(window_, win::GWL_WNDPROC, previous_procedure_);
  window_ = nullptr;
  return installed;
}

win::LONG_PTR WindowSubclass::attach(win::HWND window, win::WNDPROC procedure) {
  window_ = window;
  previous_procedure_ = win::SetWindowLongA(window, win::GWL_WNDPROC, reinterpret_cast<win::LONG_PTR>(procedure));
  return previous_procedure_;
}

win::LRESULT WindowSubclass::call_previous(win::HWND window, win::UINT message, win::WPARAM wparam,
                                           win::LPARAM lparam) {
  return win::CallWindowProcA(reinterpret_cast<win::WNDPROC>(previous_procedure_), window, message, wparam, lparam);
}

}  // namespace quill::native
