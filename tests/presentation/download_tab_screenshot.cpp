// download_tab_screenshot FILE: runs a real batch against the demo site on the
// configured endpoint (started in-process) and writes a PNG of the window
// with the download tab in front while some transfers have finished, some
// were cut half way and some stall, one row selected. Not a test: a tool for
// looking at the painted rows.
#include <QApplication>
#include <QTabWidget>
#include <chrono>
#include <cstdio>
#include <thread>

#include "app/handlers.h"
#include "app/qt_toolkit.h"
#include "app/startup.h"
#include "demo/demo_pages.h"
#include "demo/demo_site.h"
#include "downloads/task_list.h"
#include "platform/toolkit.h"

using namespace quill;

namespace {

constexpr int kBooks = 8;

void pump_for(int milliseconds) {
  for (int i = 0; i < milliseconds / 10; ++i) {
    toolkit::process_pending_events();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

template <typename Done>
bool pump_until(Done done, int milliseconds) {
  for (int i = 0; i < milliseconds / 10 && !done(); ++i) pump_for(10);
  return done();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: download_tab_screenshot FILE\n");
    return 2;
  }
  demo::DemoOptions options;
  options.pages_per_category = 1;
  options.books_per_page = kBooks;
  options.min_archive_size = 256 * 1024;
  options.max_archive_size = 3 * 1024 * 1024;
  const std::string code = demo::category_codes().front();
  auto archive = [&](int index) { return "/file/" + std::to_string(demo::book_id(code, 1, index, kBooks)) + "_1.rar"; };
  options.faults[archive(2)] = demo::Fault::cut_half_way;
  options.faults[archive(4)] = demo::Fault::stall;
  options.faults[archive(7)] = demo::Fault::cut_half_way;
  demo::DemoSite site(options);
  if (!site.start()) {
    std::fprintf(stderr, "download_tab_screenshot: cannot bind the demo site's port\n");
    return 1;
  }

  app::start_up();
  toolkit::set_property("单选框_玄幻", toolkit::Property::ticked, 1);
  app::start_catalogue_fetch();
  if (!pump_until([] { return toolkit::list_view_count("列表") == kBooks; }, 10000)) {
    std::fprintf(stderr, "download_tab_screenshot: the catalogue did not arrive\n");
    toolkit::exit_process(1);
  }
  for (int row = 0; row < kBooks; ++row) toolkit::set_tick_state("列表", row, 1);
  app::start_batch_download();
  auto settled = [] {
    std::lock_guard hold(task_list_lock);
    int finished = 0;
    for (const DownloadTask& task : download_tasks) finished += task.percent == 100 ? 1 : 0;
    return download_tasks.size() == kBooks && finished >= kBooks - 3;
  };
  pump_until(settled, 15000);
  pump_for(500);  // the cut transfers end with their last report
  app::QtToolkit* toolkit = app::installed_toolkit();
  qobject_cast<QTabWidget*>(toolkit->widget("高级选择夹1"))->setCurrentIndex(1);
  toolkit::set_property("列表框", toolkit::Property::current_selection, 2);
  pump_for(300);
  {
    std::lock_guard hold(task_list_lock);
    for (const DownloadTask& task : download_tasks)
      std::printf("row: %d%% %d KB %d ms\n", task.percent, task.size_kb, task.time_ms);
  }
  const bool saved = toolkit->widget(toolkit::kMainWindow)->grab().save(QString::fromLocal8Bit(argv[1]));
  std::fflush(stdout);
  site.stop();
  toolkit::exit_process(saved ? 0 : 1);
}
