// quillmere_screenshot FOLDER: starts Quillmere as usual (on whatever Qt
// platform is chosen, normally offscreen), presses "获取资源" and waits until
// the catalogue run has ended (at most 30 seconds), writes a PNG of the
// window with each tab shown into FOLDER, prints each file's path and ends
// the process like a close does. Used by scripts/run.sh where no display is
// available; the catalogue comes from the configured catalogue site.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTabWidget>
#include <chrono>
#include <cstdio>
#include <thread>

#include "app/startup.h"
#include "catalogue/catalogue_scraper.h"
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

  // Press "获取资源" as a user would. The run rewrites the hint before it does
  // anything else, so a changed hint and no run in progress mean it has ended.
  const std::string first_hint = quill::toolkit::get_text_property("标签_提示");
  qobject_cast<QAbstractButton*>(toolkit->widget("按钮1"))->click();
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 30000 &&
         (quill::toolkit::get_text_property("标签_提示") == first_hint || quill::catalogue_run_in_progress())) {
    quill::toolkit::process_pending_events();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  quill::toolkit::process_pending_events();
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
