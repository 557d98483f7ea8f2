#pragma once
// The process-wide objects: created once at start-up before the main window
// exists, released by the exit routine. UI thread (the exit routine runs on
// the thread that ends the process).

#include "native/window_subclass.h"

namespace quill::app {

// nullptr before create_process_objects and after release_process_objects.
native::WindowSubclass* main_window_subclass();
native::WindowSubclass* download_list_subclass();

void create_process_objects();
// The exit routine: destroys main_window_subclass, then download_list_subclass
// (each destruction detaches it).
void release_process_objects();

}  // namespace quill::app
