#include "app/window_procedures.h"

#include "app/process_objects.h"

namespace quill::app {

win::LRESULT main_window_procedure(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam) {
  native::WindowSubclass* subclass = main_window_subclass();
  return subclass ? subclass->call_previous(window, message, wparam, lparam) : 0;
}

win::LRESULT list_box_procedure(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam) {
  native::WindowSubclass* subclass = download_list_subclass();
  return subclass ? subclass->call_previous(window, message, wparam, lparam) : 0;
}

}  // namespace quill::app
