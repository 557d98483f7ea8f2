#pragma once
// The real main window with the download tab in front and the download list
// 600 x 400, its rows painted by the real procedures; tasks added through the
// task list; pixels read from the list's backing image.

#include <QListWidget>
#include <QTabWidget>
#include <string>

#include "app/app_window_fixture.h"
#include "downloads/task_list.h"
#include "platform/device_context.h"
#include "platform/toolkit.h"
#include "platform/window_host.h"
#include "platform/window_messages.h"

namespace quill::test {

class DownloadRowTest : public app::AppWindowTest {
 protected:
  void SetUp() override {
    AppWindowTest::SetUp();
    static_cast<QTabWidget*>(widget("高级选择夹1"))->setCurrentIndex(1);
    list_widget_ = static_cast<QListWidget*>(widget("列表框"));
    resize_list(600, 400);
    list_ = toolkit::control_handle("列表框");
  }

  void resize_list(int width, int height) {
    list_widget_->resize(width, height);
    pump();
    win::resize_backing_image(toolkit::control_handle("列表框"), list_widget_->viewport()->size());
  }

  void add_task(const std::string& title, const std::string& folder, int percent = 0, int size_kb = 0,
                int time_ms = 0) {
    const int index = toolkit::list_box_count("列表框");
    register_download_task(0, false, title, folder);
    update_download_task(index, "", "", percent, size_kb, time_ms);
  }

  win::RECT item_rect(int row) {
    win::RECT rect;
    win::SendMessageA(list_, win::LB_GETITEMRECT, static_cast<win::WPARAM>(row), reinterpret_cast<win::LPARAM>(&rect));
    return rect;
  }

  // The list's backing image, as last drawn.
  QImage backing() {
    win::HDC dc = win::GetDC(list_);
    std::lock_guard hold(dc->lock());
    return dc->image().copy();
  }

  void fill_backing(QRgb colour) {
    win::HDC dc = win::GetDC(list_);
    std::lock_guard hold(dc->lock());
    dc->image().fill(colour);
  }

  QListWidget* list_widget_ = nullptr;
  win::HWND list_ = nullptr;
};

}  // namespace quill::test
