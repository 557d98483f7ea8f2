#include "app/widget_host.h"

#include <QMetaObject>

namespace quill::app {

WidgetHost::WidgetHost(QWidget* widget, win::HWND parent)
    : widget_(widget), handle_(win::create_window(this, parent)) {}

WidgetHost::~WidgetHost() { win::destroy_window(handle_); }

win::LRESULT WidgetHost::default_procedure(win::HWND, win::UINT, win::WPARAM, win::LPARAM) { return 0; }

void WidgetHost::backing_changed() {
  // Runs only while the widget lives (it is the call's context).
  QWidget* widget = widget_;
  QMetaObject::invokeMethod(
      widget, [widget] { widget->update(); }, Qt::QueuedConnection);
}

}  // namespace quill::app
