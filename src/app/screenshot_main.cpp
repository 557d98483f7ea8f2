// quillmere_screenshot FOLDER: starts Quillmere as usual (on whatever Qt
// platform is chosen, normally offscreen), writes a PNG of the window with
// each tab shown into FOLDER, prints each file's path and ends the process
// like a close does. Used by scripts/run.sh where no display is available.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <cstdio>

#include "app/startup.h"
#include "platform/toolkit.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: quillmere_screenshot FOLDER\n");
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!folder.mkpath(QStringLiteral("."))) {
    std::fprintf(stderr, "quillmere_screenshot: cannot create %s\n", argv[1]);
    return 1;
  }
  quill::app::start_up();
  quill::app::QtToolkit* toolkit = quill::app::installed_toolkit();
  QWidget* window = toolkit->widget(quill::toolkit::kMainWindow);
  auto* tabs = qobject_cast<QTabWidget*>(toolkit->widget("高级选择夹1"));
  int status = 0;
  for (int tab = 0; tab < tabs->count(); ++tab) {
    tabs->setCurrentIndex(tab);
    quill::toolkit::process_pending_events();
    const QString path = folder.absoluteFilePath(QStringLiteral("quillmere-tab%1.png").arg(tab + 1));
    if (window->grab().save(path)) {
      std::printf("%s\n", path.toLocal8Bit().constData());
    } else {
      std::fprintf(stderr, "quillmere_screenshot: cannot write %s\n", path.toLocal8Bit().constData());
      status = 1;
    }
  }
  std::fflush(stdout);
  quill::toolkit::exit_process(status);
}
