#pragma once
// The click handlers of the main window. UI thread; each returns at once.

namespace quill::app {

// Click of 选择框1: ticks (or unticks) every row of 列表 that exists now, as
// the box is ticked (or not).
void toggle_all_rows();
// Click of 按钮1: starts a detached thread running run_catalogue_thread.
void start_catalogue_fetch();
// Click of 按钮2: starts a detached thread running run_dispatch_thread.
void start_batch_download();

// The bodies of those threads.
void run_catalogue_thread();
void run_dispatch_thread();

}  // namespace quill::app
