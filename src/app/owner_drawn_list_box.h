#pragma once
// A list box whose rows the program paints, on the window-message layer.
//
// Each repaint erases the background through the list's own window procedure
// (WM_ERASEBKGND with the list's device context) and asks the parent window's
// procedure to draw every visible row (WM_DRAWITEM with a DRAWITEMSTRUCT of
// type ODT_LISTBOX); the result is the list's backing image, which is what the
// widget shows. Mouse, wheel and key input reaches the widget as window
// messages (WM_MOUSEMOVE, WM_LBUTTONDOWN, ..., WM_KEYDOWN) through the current
// procedure; a message passed on to the default procedure gets the list's own
// behaviour (selection, scrolling). WM_MOUSELEAVE follows a TrackMouseEvent
// request when the mouse leaves. LB_SETITEMHEIGHT and LB_GETITEMRECT are
// answered by the default procedure.
//
// Threads: the widget and its procedures belong to the UI thread; messages
// from other threads are carried there by SendMessageA. The backing image may
// be drawn on from any thread (GetDC); it shows on the next repaint.

#include <QListWidget>
#include <atomic>

#include "platform/window_host.h"

namespace quill::app {

class OwnerDrawnListBox final : public QListWidget, public win::WindowHost {
 public:
  OwnerDrawnListBox(QWidget* parent, win::HWND parent_window, win::UINT control_id);
  ~OwnerDrawnListBox() override;
  OwnerDrawnListBox(const OwnerDrawnListBox&) = delete;
  OwnerDrawnListBox& operator=(const OwnerDrawnListBox&) = delete;

  win::HWND handle() const { return handle_; }
  int item_height() const { return item_height_; }
  // The client area: the rows' area inside the frame, without a shown
  // scroll bar. Right also before the list was first shown.
  QSize client_size() const;

  win::LRESULT default_procedure(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam) override;
  QObject* message_target() override { return this; }
  void backing_changed() override;

 protected:
  bool viewportEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Sends `message` for a Qt input event; the default procedure lets the list
  // handle `event` as usual. True when the event was consumed either way.
  bool route_input(win::UINT message, win::WPARAM wparam, win::LPARAM lparam, QEvent* event);
  win::RECT item_rect(int row) const;

  win::HWND parent_window_;
  win::UINT control_id_;
  win::HWND handle_;
  int item_height_ = 16;
  // The input event being routed as a message, and its message (UI thread).
  QEvent* routed_event_ = nullptr;
  win::UINT routed_message_ = 0;
  bool painting_ = false;
  std::atomic<bool> update_queued_{false};
};

}  // namespace quill::app
