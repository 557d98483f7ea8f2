#pragma once
// The window handle of an ordinary control or of the main window: a widget
// whose own behaviour handles no window message (its default procedure returns
// 0). Owned by the form; the handle dies with this object. UI thread only.

#include <QWidget>

#include "platform/window_host.h"

namespace quill::app {

class WidgetHost final : public win::WindowHost {
 public:
  WidgetHost(QWidget* widget, win::HWND parent);
  ~WidgetHost() override;
  WidgetHost(const WidgetHost&) = delete;
  WidgetHost& operator=(const WidgetHost&) = delete;

  win::HWND handle() const { return handle_; }

  win::LRESULT default_procedure(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam) override;
  QObject* message_target() override { return widget_; }
  void backing_changed() override;

 private:
  QWidget* widget_;
  win::HWND handle_;
};

}  // namespace quill::app
