#pragma once
// Records the progress reports of download_file by the call that started
// them, and waits for the operation to settle.

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "downloads/download_file.h"

namespace quill::test {

struct Report {
  std::int32_t number;
  std::int64_t total;
  std::int32_t percent;
  std::int64_t elapsed;
  std::thread::id thread;
};

class ReportLog final {
 public:
  // The routine for the call with index `call`.
  ProgressRoutine routine(int call) {
    return [this, call](std::int32_t number, std::int64_t total, std::int32_t percent, std::int64_t elapsed) {
      std::lock_guard lock(mutex_);
      reports_[call].push_back({number, total, percent, elapsed, std::this_thread::get_id()});
    };
  }
  std::vector<Report> of(int call) {
    std::lock_guard lock(mutex_);
    return reports_[call];
  }

 private:
  std::mutex mutex_;
  std::map<int, std::vector<Report>> reports_;
};

// Waits until every transfer has ended and had its last report.
inline void wait_until_settled() {
  auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (downloads::unsettled_transfers() > 0 && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_EQ(downloads::unsettled_transfers(), 0) << "transfers never settled";
}

}  // namespace quill::test
