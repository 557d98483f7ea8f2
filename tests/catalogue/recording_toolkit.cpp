#include "catalogue/recording_toolkit.h"

namespace quill::testing {
namespace {
constexpr std::string_view kList = "列表";
}

std::vector<std::string> RecordingToolkit::log() const {
  std::lock_guard lock(mutex_);
  return log_;
}

std::vector<std::string> RecordingToolkit::texts_set(std::string_view control) const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> texts;
  for (const auto& [name, text] : text_writes_) {
    if (name == control) texts.push_back(text);
  }
  return texts;
}

bool RecordingToolkit::list_disabled_at_every_insert() const {
  std::lock_guard lock(mutex_);
  return disabled_at_every_insert_;
}

void RecordingToolkit::set_ticked(std::string_view control, int ticked) {
  std::lock_guard lock(mutex_);
  ticked_[std::string(control)] = ticked;
}

int RecordingToolkit::get_property(std::string_view control, toolkit::Property property) {
  std::lock_guard lock(mutex_);
  const auto& map = property == toolkit::Property::ticked ? ticked_ : disabled_;
  if (property != toolkit::Property::ticked && property != toolkit::Property::disabled) return -1;
  auto it = map.find(control);
  return it == map.end() ? 0 : it->second;
}

std::string RecordingToolkit::get_text_property(std::string_view control) {
  std::lock_guard lock(mutex_);
  auto it = texts_.find(control);
  return it == texts_.end() ? std::string() : it->second;
}

void RecordingToolkit::set_property(std::string_view control, toolkit::Property property, int value) {
  std::lock_guard lock(mutex_);
  if (property == toolkit::Property::disabled) disabled_[std::string(control)] = value;
  if (property == toolkit::Property::ticked) ticked_[std::string(control)] = value;
  log_.push_back(std::string(control) + (property == toolkit::Property::disabled ? " disabled=" : " ticked=") +
                 std::to_string(value));
}

void RecordingToolkit::set_text_property(std::string_view control, const std::string& text) {
  std::lock_guard lock(mutex_);
  texts_[std::string(control)] = text;
  text_writes_.emplace_back(std::string(control), text);
  log_.push_back(std::string(control) + " text");
}

int RecordingToolkit::list_view_count(std::string_view list_view) {
  std::lock_guard lock(mutex_);
  return list_view == kList ? static_cast<int>(rows_.size()) : -1;
}

int RecordingToolkit::list_view_insert_row(std::string_view list_view, int position, const std::string& text) {
  std::lock_guard lock(mutex_);
  if (list_view != kList) return -1;
  if (position < 0 || position > static_cast<int>(rows_.size())) position = static_cast<int>(rows_.size());
  Row row;
  row.cells[0] = text;
  rows_.insert(rows_.begin() + position, row);
  auto it = disabled_.find(kList);
  if (it == disabled_.end() || it->second != 1) disabled_at_every_insert_ = false;
  log_.push_back("insert@" + std::to_string(position));
  return position;
}

void RecordingToolkit::list_view_clear(std::string_view list_view) {
  std::lock_guard lock(mutex_);
  if (list_view != kList) return;
  rows_.clear();
  log_.push_back("clear");
}

std::string RecordingToolkit::cell_text(std::string_view list_view, int row, int column) {
  std::lock_guard lock(mutex_);
  if (list_view != kList || row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column > 4) return {};
  return rows_[row].cells[column];
}

void RecordingToolkit::set_cell_text(std::string_view list_view, int row, int column, const std::string& text) {
  std::lock_guard lock(mutex_);
  if (list_view != kList || row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column > 4) return;
  rows_[row].cells[column] = text;
  log_.push_back("cell " + std::to_string(row) + "," + std::to_string(column));
}

int RecordingToolkit::tick_state(std::string_view list_view, int row) {
  std::lock_guard lock(mutex_);
  if (list_view != kList || row < 0 || row >= static_cast<int>(rows_.size())) return -1;
  return rows_[row].ticked;
}

void RecordingToolkit::set_tick_state(std::string_view list_view, int row, int state) {
  std::lock_guard lock(mutex_);
  if (list_view != kList || row < 0 || row >= static_cast<int>(rows_.size())) return;
  rows_[row].ticked = state;
}

}  // namespace quill::testing
