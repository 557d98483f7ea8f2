#include "app/startup.h"

#include <QApplication>

#include "app/handlers.h"
#include "app/main_window.h"
#include "app/process_objects.h"
#include "app/skin_look.h"
#include "app/window_procedures.h"
#include "native/skin_engine.h"
#include "platform/gdiplus/startup.h"
#include "platform/toolkit.h"
#include "platform/window_messages.h"
#include "presentation/download_item_painter.h"
#include "presentation/list_box_procedure.h"

namespace quill::app {
namespace {

constexpr const char* kDownloadList = "列表框";
constexpr win::LPARAM kDownloadRowHeight = 40;

// Live until the process ends: it ends through exit_process, which runs no
// destructors, and the widgets must not outlive the QApplication.
QtToolkit* toolkit_instance = nullptr;
MainWindow* main_window_instance = nullptr;
// The drawing layer's start-up token; nothing reads it.
gdiplus::ULONG_PTR gdiplus_token = 0;

}  // namespace

QtToolkit* installed_toolkit() { return toolkit_instance; }

void start_up() {
  // 1. The window toolkit.
  toolkit_instance = new QtToolkit();
  toolkit::install_backend(toolkit_instance);
  // 2, 3. The process-wide objects and the exit routine that releases them.
  create_process_objects();
  toolkit::register_exit_routine(&release_process_objects);
  // 4. The skin engine, mapped before any window exists; the applier styles
  // the main window when the engine attaches the skin.
  install_skin_applier();
  if (native::MemoryModule* module = skin_module()) native::load_skin_engine(*module);
  // 5. The main window; handle_window_created runs while it is loaded.
  main_window_instance = new MainWindow(*toolkit_instance, {&handle_window_created, &handle_close_request});
  main_window_instance->load();
}

void run_message_loop() {
  QApplication::exec();
  // The loop only ends by quitting the application; end the process the
  // same way a close does.
  toolkit::exit_process(0);
}

void handle_window_created() {
  // 1. The skin, before anything else.
  if (native::MemoryModule* module = skin_module()) native::apply_skin(*module);
  // 2. Hidden until the window procedures and the row height are in place.
  toolkit::set_property(toolkit::kMainWindow, toolkit::Property::visible, 0);
  // 3. The drawing layer, once; its status is not examined (rows then stay
  // unpainted). It is never shut down.
  if (gdiplus_token == 0) {
    gdiplus::GdiplusStartupInput input;
    input.GdiplusVersion = 1;
    gdiplus::GdiplusStartup(&gdiplus_token, &input, nullptr);
  }
  // 4, 5. The program's window procedures.
  connect_presentation();
  if (native::WindowSubclass* subclass = main_window_subclass()) {
    subclass->attach(toolkit::control_handle(toolkit::kMainWindow), &presentation::main_window_procedure);
  }
  if (native::WindowSubclass* subclass = download_list_subclass()) {
    subclass->attach(toolkit::control_handle(kDownloadList), &presentation::list_box_procedure);
  }
  // 6. Download rows are 40 pixels high.
  toolkit::send_control_message(kDownloadList, win::LB_SETITEMHEIGHT, 0, kDownloadRowHeight);
  // 7. The list is empty, so this leaves no row selected.
  toolkit::set_property(kDownloadList, toolkit::Property::current_selection, 0);
  // 8.
  toolkit::set_property(toolkit::kMainWindow, toolkit::Property::visible, 1);
  // 9. The result does not matter: an existing folder is fine, a missing one
  // only makes downloads write nothing.
  create_download_folder(toolkit::program_folder());
}

void handle_close_request() { toolkit::exit_process(0); }

bool create_download_folder(const std::string& program_folder) {
  return toolkit::create_folder(program_folder + "/Download");
}

}  // namespace quill::app
