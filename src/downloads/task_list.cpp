#include "downloads/task_list.h"

#include <atomic>
#include <limits>

#include "platform/toolkit.h"

namespace quill {
namespace {

constexpr std::string_view kDownloadList = "列表框";

std::atomic<RowPainter> row_painter{nullptr};

}  // namespace

std::vector<DownloadTask> download_tasks;
std::mutex task_list_lock;
std::mutex registration_lock;

void set_row_painter(RowPainter painter) { row_painter.store(painter); }

void register_download_task(std::int32_t position, bool insert, const std::string& title, const std::string& folder) {
  DownloadTask task{title, folder};
  {
    std::lock_guard lock(task_list_lock);
    if (!insert) {
      download_tasks.push_back(std::move(task));
    } else if (position >= 0 && static_cast<std::size_t>(position) <= download_tasks.size()) {
      download_tasks.insert(download_tasks.begin() + position, std::move(task));
    }
  }
  if (!insert) {
    toolkit::list_box_add(kDownloadList, "");
  } else {
    toolkit::list_box_insert(kDownloadList, position, "");
  }
}

void on_download_progress(std::int32_t download_number, std::int64_t total_bytes, std::int32_t percent,
                          std::int64_t elapsed_ms) {
  std::int64_t index = static_cast<std::int64_t>(download_number) - 1;
  std::string title;
  std::string folder;
  {
    std::lock_guard lock(task_list_lock);
    if (index < 0 || static_cast<std::size_t>(index) >= download_tasks.size()) return;
    title = download_tasks[index].title;
    folder = download_tasks[index].folder;
  }
  std::int64_t size_kb = std::min<std::int64_t>(total_bytes / 1024, std::numeric_limits<std::int32_t>::max());
  update_download_task(static_cast<std::int32_t>(index), title, folder, percent, static_cast<std::int32_t>(size_kb),
                       static_cast<std::int32_t>(static_cast<std::uint32_t>(elapsed_ms)));
}

void update_download_task(std::int32_t index, const std::string& title, const std::string& folder, std::int32_t percent,
                          std::int32_t size_kb, std::int32_t time_ms) {
  {
    std::lock_guard lock(task_list_lock);
    if (index < 0 || static_cast<std::size_t>(index) >= download_tasks.size()) return;
    DownloadTask& task = download_tasks[index];
    if (!title.empty()) task.title = title;
    if (!folder.empty()) task.folder = folder;
    task.percent = percent;
    task.size_kb = size_kb;
    task.time_ms = time_ms;
  }
  bool selected = toolkit::get_property(kDownloadList, toolkit::Property::current_selection) == index;
  if (RowPainter paint = row_painter.load()) paint(toolkit::control_handle(kDownloadList), index, selected);
}

void release_download_tasks() {
  std::lock_guard lock(task_list_lock);
  std::vector<DownloadTask>().swap(download_tasks);
}

}  // namespace quill
