#pragma once
// Process start-up and shutdown.
//
// start_up runs the process entry up to the loaded window: the toolkit is
// installed, the process-wide objects are created, the exit routine
// (release_process_objects) is registered, and the main window is loaded,
// running handle_window_created. run_message_loop then runs until the process
// ends; it never returns. A QApplication must exist before start_up. Both run
// on the UI thread, once per process.

#include <string>

#include "app/qt_toolkit.h"

namespace quill::app {

void start_up();
[[noreturn]] void run_message_loop();

// The toolkit start_up installed; nullptr before.
QtToolkit* installed_toolkit();

// Creation-finished event of the main window: hides it, attaches the two
// subclasses, sets the download list's rows to 40 pixels, clears its
// selection, shows the window and creates the "Download" folder.
void handle_window_created();
// Close request: ends the process at once with code 0, running the exit
// routines, whatever other threads are doing.
[[noreturn]] void handle_close_request();

// Creates `program_folder` + "/Download". False when it cannot be created or
// already exists (neither is an error for the caller).
bool create_download_folder(const std::string& program_folder);

}  // namespace quill::app
