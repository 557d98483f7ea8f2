#pragma once
// The batch dispatcher behind "一键下载": walks the rows of "列表" from the
// 1-based number in the hidden edit box "编辑框2" to the last row and starts
// one detached worker (download_row) per row, never more at once than the
// number in "编辑框3". Reports in "标签_提示"; writes "1" back to "编辑框2"
// when done.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string_view>

namespace quill {

// Held by a dispatcher for its whole batch; a second dispatcher waits for it.
extern std::mutex batch_lock;
// Workers started and not yet ended.
extern std::atomic<std::int32_t> active_workers;

// Thread body of one click of "一键下载". While the limit is reached it sleeps
// until a worker ends; it holds no lock but batch_lock.
void dispatch_downloads();

}  // namespace quill

namespace quill::downloads {

// A worker's last act: decrements active_workers and wakes the dispatcher.
void worker_ended();

// The decimal value of a counter text: optional spaces and sign, then digits;
// 0 without digits, clamped to the 32-bit range.
std::int32_t decimal_value(std::string_view text);

}  // namespace quill::downloads
