#pragma once
// The program's one window, built from its form: every control with its kind,
// container, place, size, caption and initial state, each registered with the
// toolkit under its form name and given a window handle.
//
// load() is the toolkit's load_window: it builds the controls, runs the
// creation-finished handler, then shows the window unless the handler left it
// hidden, and returns. Closing the window runs the close-request handler.
// UI thread only. The toolkit must outlive the window.

#include <memory>
#include <vector>

#include "app/qt_toolkit.h"

namespace quill::app {

class WidgetHost;

// Outer frame 504 x 575 at 50, 50: a 4-pixel border on each side and a
// 26-pixel caption around a 496 x 545 client area, in which the form places
// its controls.
inline constexpr int kWindowX = 50;
inline constexpr int kWindowY = 50;
inline constexpr int kClientWidth = 496;
inline constexpr int kClientHeight = 545;

struct WindowEvents {
  void (*created)() = nullptr;        // creation finished (controls exist)
  void (*close_request)() = nullptr;  // the user asked to close the window
};

class MainWindow final {
 public:
  MainWindow(QtToolkit& toolkit, WindowEvents events);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  void load();
  // The top-level widget; nullptr before load().
  QWidget* widget() const { return frame_.get(); }

 private:
  QtToolkit& toolkit_;
  WindowEvents events_;
  std::unique_ptr<QWidget> frame_;
  std::vector<std::unique_ptr<WidgetHost>> hosts_;
};

}  // namespace quill::app
