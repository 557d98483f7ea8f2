// Quillmere: process entry. The program reads no command line of its own.
#include <QApplication>

#include "app/startup.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  quill::app::start_up();
  quill::app::run_message_loop();
}
