#pragma once
// An in-memory toolkit backend for the downloads' unit tests: the hidden
// edit boxes, the hint label, the catalogue rows of "列表" and the row count
// of "列表框", behind one lock. Installs itself while it lives. The real
// window is exercised by the end-to-end tests.

#include <array>
#include <mutex>
#include <string>
#include <vector>

#include "platform/toolkit.h"

namespace quill::test {

class FakeToolkit final : public toolkit::Backend {
 public:
  struct Row {
    std::array<std::string, 5> cells;
    int ticked = 0;
  };

  FakeToolkit() { toolkit::install_backend(this); }
  ~FakeToolkit() override { toolkit::install_backend(nullptr); }
  FakeToolkit(const FakeToolkit&) = delete;
  FakeToolkit& operator=(const FakeToolkit&) = delete;

  void add_row(const std::string& name, const std::string& detail, int ticked) {
    std::lock_guard lock(mutex_);
    Row row;
    row.cells[1] = name;
    row.cells[4] = detail;
    row.ticked = ticked;
    rows_.push_back(row);
  }
  std::vector<std::string> hints() {
    std::lock_guard lock(mutex_);
    return hints_;
  }
  int download_rows() {
    std::lock_guard lock(mutex_);
    return download_rows_;
  }

  win::HWND control_handle(std::string_view control) override {
    return control == "列表框" ? reinterpret_cast<win::HWND>(&download_rows_) : nullptr;
  }
  int get_property(std::string_view control, toolkit::Property property) override {
    std::lock_guard lock(mutex_);
    return control == "列表框" && property == toolkit::Property::current_selection ? selection_ : -1;
  }
  std::string get_text_property(std::string_view control) override {
    std::lock_guard lock(mutex_);
    if (control == "编辑框2") return next_row_;
    if (control == "编辑框3") return limit_;
    return control == "标签_提示" && !hints_.empty() ? hints_.back() : std::string();
  }
  void set_property(std::string_view control, toolkit::Property property, int value) override {
    std::lock_guard lock(mutex_);
    if (control == "列表框" && property == toolkit::Property::current_selection) selection_ = value;
  }
  void set_text_property(std::string_view control, const std::string& text) override {
    std::lock_guard lock(mutex_);
    if (control == "编辑框2") next_row_ = text;
    if (control == "编辑框3") limit_ = text;
    if (control == "标签_提示") hints_.push_back(text);
  }
  win::LRESULT send_control_message(std::string_view, win::UINT, win::WPARAM, win::LPARAM) override { return 0; }
  void process_pending_events() override {}
  void close_windows() override {}
  int list_box_count(std::string_view) override { return download_rows(); }
  int list_box_add(std::string_view control, const std::string&) override {
    std::lock_guard lock(mutex_);
    return control == "列表框" ? download_rows_++ : -1;
  }
  int list_box_insert(std::string_view control, int position, const std::string&) override {
    std::lock_guard lock(mutex_);
    if (control != "列表框" || position < 0 || position > download_rows_) return -1;
    ++download_rows_;
    return position;
  }
  int list_view_count(std::string_view control) override {
    std::lock_guard lock(mutex_);
    return control == "列表" ? static_cast<int>(rows_.size()) : -1;
  }
  int list_view_insert_row(std::string_view, int, const std::string&) override { return -1; }
  void list_view_clear(std::string_view) override {}
  std::string cell_text(std::string_view control, int row, int column) override {
    std::lock_guard lock(mutex_);
    if (control != "列表" || row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column > 4) return {};
    return rows_[row].cells[column];
  }
  void set_cell_text(std::string_view, int, int, const std::string&) override {}
  int tick_state(std::string_view control, int row) override {
    std::lock_guard lock(mutex_);
    if (control != "列表" || row < 0 || row >= static_cast<int>(rows_.size())) return -1;
    return rows_[row].ticked;
  }
  void set_tick_state(std::string_view, int, int) override {}
  int client_width(std::string_view) override { return -1; }
  int client_height(std::string_view) override { return -1; }

 private:
  std::mutex mutex_;
  std::vector<Row> rows_;
  std::string next_row_ = "1";
  std::string limit_ = "5";
  std::vector<std::string> hints_;
  int download_rows_ = 0;
  int selection_ = -1;
};

}  // namespace quill::test
