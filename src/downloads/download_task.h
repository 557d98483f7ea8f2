#pragma once
// One download as the download list shows it. Texts are system text (GBK)
// owned by the task.

#include <cstdint>
#include <string>

namespace quill {

struct DownloadTask {
  std::string title;   // the book's name; first text line of the row
  std::string folder;  // the save folder; second text line of the row
  std::int32_t percent = 0;
  std::int32_t size_kb = 0;  // announced length in KiB, truncated
  std::int32_t time_ms = 0;  // milliseconds taken, as last reported
};

}  // namespace quill
