#pragma once
// The process-wide list of download tasks and its progress routine.
//
// Task i is shown by row i of the download list "列表框"; both grow together
// and never shrink while the program runs. task_list_lock guards
// download_tasks and every task's fields; it is held only for short stretches
// and never while a window message is sent or a row is painted. Readers (the
// row painter) take it, copy the fields they need and release it before they
// draw. registration_lock is taken before task_list_lock when both are held.
//
// Any thread may call these routines.

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "downloads/download_task.h"
#include "platform/win_types.h"

namespace quill {

extern std::vector<DownloadTask> download_tasks;
extern std::mutex task_list_lock;
extern std::mutex registration_lock;

// Repaints one row of the download list: (list box handle, row, selected).
using RowPainter = void (*)(win::HWND list_box, int row, bool selected);

// Installs the routine update_download_task repaints with (the application
// installs the download item painter). Without one nothing is painted.
void set_row_painter(RowPainter painter);

// Adds a task with copies of the texts and all numbers 0, and a row with empty
// text to "列表框": appended when `insert` is false; otherwise inserted at
// `position` when 0 <= position <= the task count, and nothing is added for
// any other position.
void register_download_task(std::int32_t position, bool insert, const std::string& title, const std::string& folder);

// The progress routine handed to download_file: updates task
// download_number - 1 with size_kb = total_bytes / 1024 (at most INT32_MAX)
// and time_ms = the low 32 bits of elapsed_ms. A number that names no task is
// ignored.
void on_download_progress(std::int32_t download_number, std::int64_t total_bytes, std::int32_t percent,
                          std::int64_t elapsed_ms);

// Sets the numbers of task `index` (and its texts where they are not empty),
// then repaints its row, selected when it is the current selection of
// "列表框". An index that names no task changes and paints nothing.
void update_download_task(std::int32_t index, const std::string& title, const std::string& folder, std::int32_t percent,
                          std::int32_t size_kb, std::int32_t time_ms);

// The exit routine's part: under task_list_lock, frees every task and leaves
// the list empty, so that late reports find nothing.
void release_download_tasks();

}  // namespace quill
