#pragma once
// The download list box's own window behaviour: leave tracking on mouse
// movement, mouse movement and leaving swallowed, and the area below the last
// row painted white on erase (the rows themselves are painted by
// paint_download_item). Every other message goes to the previous procedure
// through the forwarding routine (0 without one). UI thread of the list box.

#include "platform/win_types.h"

namespace quill::presentation {

win::LRESULT list_box_procedure(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam);
void set_list_box_forward(win::WNDPROC forward);

}  // namespace quill::presentation
