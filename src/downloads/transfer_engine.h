#pragma once
// The inner working of download_file: one transfer thread drives a libcurl
// multi handle that carries every transfer, and one reporting clock thread
// looks at every running transfer each 10 ms and calls its progress routine.
// Both threads start with the first transfer and live until the process ends;
// the engine is never destroyed, so a transfer still running at exit is cut
// with the process. Idle, both threads sleep.

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "downloads/archive_file.h"
#include "downloads/download_file.h"

namespace quill::downloads {

// One transfer. The transfer thread owns the file and the libcurl handle; the
// clock thread owns the report fields; the atomics are shared.
struct Transfer final {
  enum class State { running, finished, failed };

  std::int32_t number = 0;
  std::string url;
  std::string folder;
  std::string file_name;
  ProgressRoutine progress;
  std::chrono::steady_clock::time_point setup;
  long time_out_ms = 10000;

  struct EasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
  };
  std::unique_ptr<CURL, EasyCleanup> easy;  // transfer thread
  ArchiveFile file;                         // transfer thread

  std::atomic<std::int64_t> total{0};
  std::atomic<std::int64_t> received{0};
  std::atomic<State> state{State::running};

  std::int64_t last_seen = 0;     // clock thread
  std::int64_t last_elapsed = 0;  // clock thread
};

class TransferEngine final {
 public:
  // The process's engine, created with its threads on first use.
  static TransferEngine& instance();

  TransferEngine(const TransferEngine&) = delete;
  TransferEngine& operator=(const TransferEngine&) = delete;

  void start(std::shared_ptr<Transfer> transfer);
  // Transfers started and not yet settled (ended and, when complete, given
  // their final report).
  std::int64_t unsettled() const { return unsettled_.load(); }

 private:
  TransferEngine();
  void run_transfers();
  // Transfer thread: hands the pending transfers to the multi handle.
  void add_pending();
  // Transfer thread: a transfer that libcurl has finished with.
  void finish(CURL* easy, CURLcode result);
  void run_clock();
  // Clock thread: one look at one transfer; false once it needs no more looks.
  static bool look_at(Transfer& transfer);

  struct MultiCleanup {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
  };
  // Used by the transfer thread; curl_multi_wakeup from any thread.
  std::unique_ptr<CURLM, MultiCleanup> multi_;

  std::mutex pending_mutex_;
  std::vector<std::shared_ptr<Transfer>> pending_;

  std::mutex clock_mutex_;
  std::condition_variable clock_wake_;
  std::vector<std::shared_ptr<Transfer>> watched_;
  std::atomic<std::int64_t> unsettled_{0};
};

}  // namespace quill::downloads
