#include "app/window_procedures.h"

#include "app/process_objects.h"
#include "downloads/task_list.h"
#include "presentation/download_item_painter.h"
#include "presentation/list_box_procedure.h"

namespace quill::app {

win::LRESULT call_main_window_previous(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam) {
  native::WindowSubclass* subclass = main_window_subclass();
  return subclass ? subclass->call_previous(window, message, wparam, lparam) : 0;
}

win::LRESULT call_download_list_previous(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam) {
  native::WindowSubclass* subclass = download_list_subclass();
  return subclass ? subclass->call_previous(window, message, wparam, lparam) : 0;
}

void connect_presentation() {
  presentation::set_main_window_forward(&call_main_window_previous);
  presentation::set_list_box_forward(&call_download_list_previous);
  set_row_painter(&presentation::paint_download_item);
}

}  // namespace quill::app
