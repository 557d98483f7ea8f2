#pragma once
// The window-message layer: native handles, window procedures and messages.
//
// Every window and control of the program has a WindowObject (its HWND) with a
// current window procedure. The toolkit registers each widget with a
// WindowHost (window_host.h) that supplies the control's own behaviour (its
// default procedure) and its thread. Calls with a null or destroyed handle
// fail: 0, or nullptr for GetDC. Messages go through the current procedure; a replaced
// procedure forwards what it does not handle with CallWindowProcA.
//
// Threads: SendMessageA may be called from any thread; it runs the procedure
// on the window's own thread and waits for the result. No lock of the caller
// may be held across it that the window's thread could be waiting for.
// Not supported: posted messages, hooks, non-client messages.

#include <functional>

#include "platform/win_types.h"

namespace quill::win {

LONG_PTR SetWindowLongA(HWND window, int index, LONG_PTR value);  // only GWL_WNDPROC; 0 on failure
LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
BOOL TrackMouseEvent(TRACKMOUSEEVENT* request);

// Runs on a window's thread just before a message sent from another thread is
// delivered, so that the toolkit can first apply the widget updates it still
// holds from writes made before the send. Empty to remove it.
void set_before_sent_message(std::function<void()> hook);

// GDI: a solid brush and a rectangle fill on a device context.
HBRUSH CreateSolidBrush(COLORREF colour);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL DeleteObject(HGDIOBJ object);

// A window's device context draws onto the window's backing image (see
// device_context.h). Any thread may draw; the widget shows the result on its
// next repaint.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);

}  // namespace quill::win
