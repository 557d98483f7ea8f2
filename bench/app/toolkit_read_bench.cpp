// Reading a catalogue cell from a worker thread while the UI thread runs its
// event loop: the toolkit answers from its own state; the peer asks the UI
// thread for the widget's text with a blocking queued call, as a toolkit
// without that state would. Prints the peer's time over the toolkit's.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeView>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/main_window.h"
#include "app/qt_toolkit.h"
#include "platform/codepage.h"
#include "platform/toolkit.h"
#include "support/ratio_reporter.h"

namespace {

constexpr int kRows = 200;
QTreeView* catalogue = nullptr;

void BM_ToolkitCellText(benchmark::State& state) {
  int row = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(quill::toolkit::cell_text("列表", row, 1));
    row = (row + 1) % kRows;
  }
}
BENCHMARK(BM_ToolkitCellText)->MinTime(0.2)->UseRealTime();

void BM_UiThreadRoundTrip(benchmark::State& state) {
  int row = 0;
  for (auto _ : state) {
    std::string text;
    QMetaObject::invokeMethod(
        catalogue,
        [&] {
          const QString shown = catalogue->model()->index(row, 1).data().toString();
          text = quill::platform::utf16_to_gbk(shown.toStdU16String());
        },
        Qt::BlockingQueuedConnection);
    benchmark::DoNotOptimize(text);
    row = (row + 1) % kRows;
  }
}
BENCHMARK(BM_UiThreadRoundTrip)->MinTime(0.2)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  quill::app::QtToolkit toolkit;
  quill::toolkit::install_backend(&toolkit);
  quill::app::MainWindow window(toolkit, {});
  window.load();
  for (int row = 0; row < kRows; ++row) {
    quill::toolkit::list_view_insert_row("列表", "");
    quill::toolkit::set_cell_text("列表", row, 1, quill::gbk("书名") + std::to_string(row));
  }
  quill::toolkit::process_pending_events();
  catalogue = static_cast<QTreeView*>(toolkit.widget("列表"));

  quill::bench::RatioReporter reporter;
  std::thread runner([&] {
    benchmark::RunSpecifiedBenchmarks(&reporter);
    QMetaObject::invokeMethod(&application, &QApplication::quit, Qt::QueuedConnection);
  });
  QApplication::exec();
  runner.join();
  const double ratio = reporter.ratio("BM_UiThreadRoundTrip", "BM_ToolkitCellText");
  if (ratio > 0) std::printf("ratio: UI-thread round trip / toolkit read = %.1f\n", ratio);
  quill::toolkit::install_backend(nullptr);
  return 0;
}
