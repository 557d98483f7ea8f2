#include "platform/toolkit.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <mutex>
#include <vector>

namespace quill::toolkit {
namespace {

std::atomic<Backend*> installed{nullptr};

Backend* backend() { return installed.load(std::memory_order_acquire); }

std::mutex exit_mutex;
std::vector<void (*)()>& exit_routines() {
  static std::vector<void (*)()> routines;
  return routines;
}

}  // namespace

void install_backend(Backend* b) { installed.store(b, std::memory_order_release); }

win::HWND control_handle(std::string_view control) {
  auto* b = backend();
  return b ? b->control_handle(control) : nullptr;
}

int get_property(std::string_view control, Property property) {
  auto* b = backend();
  return b && property != Property::text ? b->get_property(control, property) : -1;
}

std::string get_text_property(std::string_view control) {
  auto* b = backend();
  return b ? b->get_text_property(control) : std::string();
}

void set_property(std::string_view control, Property property, int value) {
  if (auto* b = backend(); b && property != Property::text) b->set_property(control, property, value);
}

void set_text_property(std::string_view control, const std::string& text) {
  if (auto* b = backend()) b->set_text_property(control, text);
}

win::LRESULT send_control_message(std::string_view control, win::UINT message, win::WPARAM wparam, win::LPARAM lparam) {
  auto* b = backend();
  return b ? b->send_control_message(control, message, wparam, lparam) : 0;
}

void process_pending_events() {
  if (auto* b = backend()) b->process_pending_events();
}

std::string program_folder() {
  char path[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return ".";
  std::string folder(path, static_cast<size_t>(n));
  auto slash = folder.rfind('/');
  return slash == std::string::npos || slash == 0 ? folder.substr(0, slash == 0 ? 1 : 0) : folder.substr(0, slash);
}

bool create_folder(const std::string& path) { return !path.empty() && mkdir(path.c_str(), 0777) == 0; }

void register_exit_routine(void (*routine)()) {
  std::lock_guard lock(exit_mutex);
  exit_routines().push_back(routine);
}

void exit_process(int code) {
  // Only the first caller runs the exit sequence; any other waits for the end.
  static std::atomic<bool> exiting{false};
  if (exiting.exchange(true)) {
    for (;;) pause();
  }
  if (auto* b = backend()) b->close_windows();
  std::vector<void (*)()> routines;
  {
    std::lock_guard lock(exit_mutex);
    routines = exit_routines();
  }
  for (auto it = routines.rbegin(); it != routines.rend(); ++it) (*it)();
  _exit(code);
}

int list_box_count(std::string_view list_box) {
  auto* b = backend();
  return b ? b->list_box_count(list_box) : -1;
}

int list_box_add(std::string_view list_box, const std::string& text) {
  auto* b = backend();
  return b ? b->list_box_add(list_box, text) : -1;
}

int list_box_insert(std::string_view list_box, int position, const std::string& text) {
  auto* b = backend();
  return b ? b->list_box_insert(list_box, position, text) : -1;
}

int list_view_count(std::string_view list_view) {
  auto* b = backend();
  return b ? b->list_view_count(list_view) : -1;
}

int list_view_insert_row(std::string_view list_view, const std::string& text, int position) {
  auto* b = backend();
  return b ? b->list_view_insert_row(list_view, position, text) : -1;
}

void list_view_clear(std::string_view list_view) {
  if (auto* b = backend()) b->list_view_clear(list_view);
}

std::string cell_text(std::string_view list_view, int row, int column) {
  auto* b = backend();
  return b ? b->cell_text(list_view, row, column) : std::string();
}

void set_cell_text(std::string_view list_view, int row, int column, const std::string& text) {
  if (auto* b = backend()) b->set_cell_text(list_view, row, column, text);
}

int tick_state(std::string_view list_view, int row) {
  auto* b = backend();
  return b ? b->tick_state(list_view, row) : -1;
}

void set_tick_state(std::string_view list_view, int row, int state) {
  if (auto* b = backend()) b->set_tick_state(list_view, row, state);
}

int client_width(std::string_view control) {
  auto* b = backend();
  return b ? b->client_width(control) : -1;
}

int client_height(std::string_view control) {
  auto* b = backend();
  return b ? b->client_height(control) : -1;
}

}  // namespace quill::toolkit
