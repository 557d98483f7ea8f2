#pragma once
// A toolkit backend for scraper tests that runs without a window: it keeps
// the list view's rows, the properties and the label texts in memory and
// records every write, so tests can check what the window would have seen at
// each step. Thread-safe: the scraper writes from its own thread.

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/toolkit.h"

namespace quill::testing {

class RecordingToolkit final : public toolkit::Backend {
 public:
  struct Row {
    std::vector<std::string> cells = std::vector<std::string>(5);
    int ticked = 0;
  };
  // One write, for order checks: "disabled=1", "text:<gbk>", "clear", "insert@2", "cell 2,4".
  std::vector<std::string> log() const;
  // Texts set on a label (or edit box), in order.
  std::vector<std::string> texts_set(std::string_view control) const;
  // Whether the list was disabled at every row insertion.
  bool list_disabled_at_every_insert() const;
  void set_ticked(std::string_view control, int ticked);

  win::HWND control_handle(std::string_view) override { return nullptr; }
  int get_property(std::string_view control, toolkit::Property property) override;
  std::string get_text_property(std::string_view control) override;
  void set_property(std::string_view control, toolkit::Property property, int value) override;
  void set_text_property(std::string_view control, const std::string& text) override;
  win::LRESULT send_control_message(std::string_view, win::UINT, win::WPARAM, win::LPARAM) override { return 0; }
  void process_pending_events() override {}
  void close_windows() override {}
  int list_box_count(std::string_view) override { return 0; }
  int list_box_add(std::string_view, const std::string&) override { return -1; }
  int list_box_insert(std::string_view, int, const std::string&) override { return -1; }
  int list_view_count(std::string_view list_view) override;
  int list_view_insert_row(std::string_view list_view, int position, const std::string& text) override;
  void list_view_clear(std::string_view list_view) override;
  std::string cell_text(std::string_view list_view, int row, int column) override;
  void set_cell_text(std::string_view list_view, int row, int column, const std::string& text) override;
  int tick_state(std::string_view list_view, int row) override;
  void set_tick_state(std::string_view list_view, int row, int state) override;
  int client_width(std::string_view) override { return 0; }
  int client_height(std::string_view) override { return 0; }

 private:
  mutable std::mutex mutex_;
  std::vector<Row> rows_;  // of "列表"
  std::map<std::string, int, std::less<>> disabled_;
  std::map<std::string, int, std::less<>> ticked_;
  std::map<std::string, std::string, std::less<>> texts_;
  std::vector<std::string> log_;
  std::vector<std::pair<std::string, std::string>> text_writes_;
  bool disabled_at_every_insert_ = true;
};

}  // namespace quill::testing
