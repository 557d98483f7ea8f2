#pragma once
// The real main window on the offscreen platform: the toolkit installed, the
// process-wide objects created and the window loaded with the real
// creation-finished handler. A close request is only counted.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#include "app/main_window.h"
#include "app/process_objects.h"
#include "app/qt_toolkit.h"
#include "app/startup.h"
#include "platform/toolkit.h"

namespace quill::app {

class AppWindowTest : public ::testing::Test {
 protected:
  static inline int close_requests = 0;
  static void count_close_request() { ++close_requests; }

  void SetUp() override {
    toolkit::install_backend(&toolkit_);
    create_process_objects();
    window_ = std::make_unique<MainWindow>(toolkit_, WindowEvents{&handle_window_created, &count_close_request});
    window_->load();
  }
  void TearDown() override {
    release_process_objects();
    window_.reset();
    toolkit::install_backend(nullptr);
  }

  // Applies every queued widget update and handles pending events.
  void pump() { toolkit::process_pending_events(); }
  QWidget* widget(std::string_view name) { return toolkit_.widget(name); }

  QtToolkit toolkit_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace quill::app
