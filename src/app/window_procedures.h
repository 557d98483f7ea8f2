#pragma once
// The procedures handle_window_created puts in front of the main window and of
// the download list. Until the download rows are painted and the list's own
// behaviour is added, both pass every message on to the procedure they
// replaced, through their (program-wide) subclass object. UI thread.

#include "platform/win_types.h"

namespace quill::app {

win::LRESULT main_window_procedure(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam);
win::LRESULT list_box_procedure(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam);

}  // namespace quill::app
