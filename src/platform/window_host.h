#pragma once
// How a toolkit gives its widgets to the window-message layer.
//
// The layer knows no kind of control. The toolkit registers every widget with
// create_window, handing over a WindowHost that supplies the widget's own
// behaviour (its default window procedure), the thread its messages run on and
// a way to show the window's backing image. The window's first procedure
// forwards to WindowHost::default_procedure, so a replacement procedure that
// passes a message on with CallWindowProcA reaches the widget's own behaviour.
//
// Threads: create_window, destroy_window and resize_backing_image run on the
// window's own thread (the thread of message_target()). The host must outlive
// its window.

#include <QObject>
#include <QSize>

#include "platform/win_types.h"

namespace quill::win {

class WindowHost {
 public:
  virtual ~WindowHost() = default;
  // The widget's own handling of a message; runs on the window's thread.
  virtual LRESULT default_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) = 0;
  // Messages are delivered on this object's thread.
  virtual QObject* message_target() = 0;
  // Any thread: the backing image changed; repaint from it soon.
  virtual void backing_changed() = 0;
};

// A new window handle for a widget, child of `parent` (nullptr for a top-level
// window). Its procedure is the host's default procedure; its backing image is
// empty until resize_backing_image.
HWND create_window(WindowHost* host, HWND parent);
// The handle becomes invalid; later calls with it fail (0 / FALSE / nullptr).
void destroy_window(HWND window);
// True while `window` is a live handle.
bool is_window(HWND window);
HWND parent_window(HWND window);
// The backing image is made `size` (client pixels); old pixels are kept where
// they fit.
void resize_backing_image(HWND window, QSize size);
// True once after TrackMouseEvent asked for TME_LEAVE on `window`: the toolkit
// calls this when the mouse leaves and then sends WM_MOUSELEAVE.
bool take_leave_request(HWND window);

}  // namespace quill::win
