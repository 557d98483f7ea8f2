#include "downloads/dispatcher.h"

#include <algorithm>
#include <limits>
#include <string>
#include <system_error>
#include <thread>

#include "downloads/download_worker.h"
#include "platform/codepage.h"
#include "platform/com.h"
#include "platform/toolkit.h"

namespace quill {

std::mutex batch_lock;
std::atomic<std::int32_t> active_workers{0};

}  // namespace quill

namespace quill::downloads {

void worker_ended() {
  active_workers.fetch_sub(1);
  active_workers.notify_all();
}

std::int32_t decimal_value(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > std::numeric_limits<std::int32_t>::max()) break;
  }
  if (negative) value = -value;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

}  // namespace quill::downloads

namespace quill {

void dispatch_downloads() {
  using downloads::decimal_value;
  constexpr std::string_view kNextRow = "编辑框2";
  constexpr std::string_view kLimit = "编辑框3";
  constexpr std::string_view kCatalogue = "列表";
  constexpr std::string_view kHint = "标签_提示";

  std::lock_guard batch(batch_lock);
  platform::ComScope com;
  for (;;) {
    std::int32_t n = decimal_value(toolkit::get_text_property(kNextRow));
    if (n > toolkit::list_view_count(kCatalogue)) break;
    // A limit below 1 would wait for ever for a worker that never started.
    std::int32_t limit = std::max(1, decimal_value(toolkit::get_text_property(kLimit)));
    std::int32_t alive = active_workers.load();
    if (alive >= limit) {
      // Sleeps until a worker ends, then checks everything again.
      active_workers.wait(alive);
      continue;
    }
    n = decimal_value(toolkit::get_text_property(kNextRow));
    bool started = true;
    try {
      std::thread(download_row, n - 1).detach();
    } catch (const std::system_error&) {
      started = false;
    }
    toolkit::set_text_property(
        kHint, gbk("提示： 正在批量添加下载... 执行第 ") + toolkit::get_text_property(kNextRow) + gbk(" 个书籍."));
    toolkit::set_text_property(kNextRow,
                               std::to_string(std::int64_t{decimal_value(toolkit::get_text_property(kNextRow))} + 1));
    if (started) active_workers.fetch_add(1);
  }
  toolkit::set_text_property(kNextRow, "1");
  toolkit::set_text_property(kHint, gbk("提示： 软件批量完毕，请继续操作!"));
}

}  // namespace quill
