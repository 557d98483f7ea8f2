#pragma once
// Connects the download list presentation to the process-wide objects: the
// window procedures of presentation/ pass the messages they do not handle to
// the procedures that main_window_subclass and download_list_subclass
// replaced, and the task list repaints rows with paint_download_item.

#include "platform/win_types.h"

namespace quill::app {

// The replaced procedure of each subclass, through its call_previous (0 when
// the process-wide object does not exist).
win::LRESULT call_main_window_previous(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam);
win::LRESULT call_download_list_previous(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam);

// Installs the two forwarding routines and the row painter. UI thread, before
// the subclasses are attached.
void connect_presentation();

}  // namespace quill::app
