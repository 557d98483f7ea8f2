#pragma once
// A window for message-layer tests: its own behaviour records every message
// it gets and answers with a fixed result; its messages run on the thread that
// created it.

#include <QObject>
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/window_host.h"

namespace quill::test {

class TestWindowHost final : public win::WindowHost {
 public:
  struct Message {
    win::UINT message;
    win::WPARAM wparam;
  };

  explicit TestWindowHost(win::LRESULT result = 0, win::HWND parent = nullptr)
      : result_(result), handle_(win::create_window(this, parent)) {}
  ~TestWindowHost() override { win::destroy_window(handle_); }
  TestWindowHost(const TestWindowHost&) = delete;
  TestWindowHost& operator=(const TestWindowHost&) = delete;

  win::HWND handle() const { return handle_; }
  std::vector<Message> received() {
    std::lock_guard lock(mutex_);
    return received_;
  }
  int changes() const { return changes_; }
  // Called for every message the window's own behaviour gets (its thread).
  std::function<void(win::UINT, win::WPARAM)> on_message;

  win::LRESULT default_procedure(win::HWND, win::UINT message, win::WPARAM wparam, win::LPARAM) override {
    if (on_message) on_message(message, wparam);
    std::lock_guard lock(mutex_);
    received_.push_back({message, wparam});
    return result_;
  }
  QObject* message_target() override { return &target_; }
  void backing_changed() override { ++changes_; }

 private:
  win::LRESULT result_;
  QObject target_;
  win::HWND handle_;
  std::mutex mutex_;
  std::vector<Message> received_;
  std::atomic<int> changes_{0};
};

}  // namespace quill::test
