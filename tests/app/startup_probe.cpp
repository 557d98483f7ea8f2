// Starts Quillmere as its entry does, keeps a detached thread busy with the
// window (list rows and synchronous messages), then closes the window as the
// user would. Reports on stdout, line by line, what it saw; the last line
// comes from an exit routine that runs after the program's own.
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <string>
#include <thread>

#include "app/process_objects.h"
#include "app/startup.h"
#include "platform/toolkit.h"
#include "platform/window_messages.h"

namespace {

std::atomic<int> busy_rounds{0};

void say(const std::string& line) {
  const std::string text = line + "\n";
  (void)!::write(STDOUT_FILENO, text.data(), text.size());
}

// Registered before start-up, so it runs after release_process_objects.
void report_exit() {
  const bool released =
      quill::app::main_window_subclass() == nullptr && quill::app::download_list_subclass() == nullptr;
  say(std::string("exit_routine released=") + (released ? "1" : "0"));
}

void keep_busy() {
  for (;;) {
    quill::toolkit::list_view_insert_row("列表", "busy");
    quill::toolkit::list_box_add("列表框", "busy");
    quill::win::RECT rect;
    quill::toolkit::send_control_message("列表框", quill::win::LB_GETITEMRECT, 0,
                                         reinterpret_cast<quill::win::LPARAM>(&rect));
    ++busy_rounds;
  }
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  quill::toolkit::register_exit_routine(&report_exit);
  quill::app::start_up();
  namespace fs = std::filesystem;
  say("visible=" +
      std::to_string(quill::toolkit::get_property(quill::toolkit::kMainWindow, quill::toolkit::Property::visible)));
  say(std::string("download_folder=") + (fs::is_directory(quill::toolkit::program_folder() + "/Download") ? "1" : "0"));
  std::thread(&keep_busy).detach();
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [] {
    if (busy_rounds < 20) return;
    say("closing");
    quill::app::installed_toolkit()->widget(quill::toolkit::kMainWindow)->close();
  });
  poll.start(1);
  quill::app::run_message_loop();
}
