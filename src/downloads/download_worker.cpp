#include "downloads/download_worker.h"

#include <mutex>

#include "catalogue/text_extraction.h"
#include "downloads/dispatcher.h"
#include "downloads/download_file.h"
#include "downloads/task_list.h"
#include "platform/codepage.h"
#include "platform/com.h"
#include "platform/toolkit.h"
#include "quill_config.h"

namespace quill::downloads {
namespace {

std::mutex settings_mutex;
std::string mirror_override;
std::string folder_override;

bool usable_book_name(const std::string& utf8_name) {
  return !utf8_name.empty() && utf8_name != "." && utf8_name != ".." &&
         utf8_name.find_first_of("/\\") == std::string::npos;
}

}  // namespace

void set_mirror_base(const std::string& base) {
  std::lock_guard lock(settings_mutex);
  mirror_override = base;
}

std::string mirror_base() {
  std::lock_guard lock(settings_mutex);
  return mirror_override.empty() ? std::string(config::mirror_base) : mirror_override;
}

void set_download_folder(const std::string& folder) {
  std::lock_guard lock(settings_mutex);
  folder_override = folder;
}

std::string download_folder() {
  {
    std::lock_guard lock(settings_mutex);
    if (!folder_override.empty()) return folder_override;
  }
  return toolkit::program_folder() + "/Download/";
}

}  // namespace quill::downloads

namespace quill {

void download_row(std::int32_t row) {
  platform::ComScope com;
  constexpr std::string_view kCatalogue = "列表";
  std::string name = toolkit::cell_text(kCatalogue, row, 1);
  std::string detail = toolkit::cell_text(kCatalogue, row, 4);
  std::string id = text_between(detail, "com/", ".html");
  std::string url = downloads::mirror_base() + "/file/" + id + "_1.rar";
  if (toolkit::tick_state(kCatalogue, row) == 1) begin_download(url, name);
  downloads::worker_ended();
}

void begin_download(const std::string& url, const std::string& name) {
  std::string folder = downloads::download_folder();
  std::string utf8_name = platform::gbk_to_utf8(name);
  // An empty file name makes download_file take its number and write nothing.
  std::string file_name = downloads::usable_book_name(utf8_name) ? utf8_name + ".rar" : std::string();
  std::lock_guard lock(registration_lock);
  register_download_task(0, false, name, platform::utf8_to_gbk(folder));
  download_file(url, folder, file_name, on_download_progress);
}

}  // namespace quill
