#include "app/process_objects.h"

#include <memory>

#include "downloads/task_list.h"

namespace quill::app {
namespace {

std::unique_ptr<native::MemoryModule> skin_module_object;
std::unique_ptr<native::WindowSubclass> main_window_subclass_object;
std::unique_ptr<native::WindowSubclass> download_list_subclass_object;

}  // namespace

native::MemoryModule* skin_module() { return skin_module_object.get(); }
native::WindowSubclass* main_window_subclass() { return main_window_subclass_object.get(); }
native::WindowSubclass* download_list_subclass() { return download_list_subclass_object.get(); }

void create_process_objects() {
  skin_module_object = std::make_unique<native::MemoryModule>();
  main_window_subclass_object = std::make_unique<native::WindowSubclass>();
  download_list_subclass_object = std::make_unique<native::WindowSubclass>();
  // download_tasks, task_list_lock, registration_lock, batch_lock and
  // active_workers are the downloads' own static objects, ready before main.
}

void release_process_objects() {
  // 1. skin_module: destruction leaves the skin engine mapped and attached.
  skin_module_object.reset();
  // 2. The subclasses, main window first; destruction detaches.
  main_window_subclass_object.reset();
  download_list_subclass_object.reset();
  // 3. download_tasks under task_list_lock, left empty for late reports.
  release_download_tasks();
  // 4. the scraper's category text.
}

}  // namespace quill::app
