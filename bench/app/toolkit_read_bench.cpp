// Reading a catalogue cell from a worker thread while the UI thread runs its
// event loop: the toolkit answers from its own state; the peer asks the UI
// thread for the widget's text with a blocking queued call, as a toolkit
// without that state would. Prints the peer's time over the toolkit's.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>

#include "app/main_window.h"
#include "app/qt_toolkit.h"
#include "platform/codepage.h"
#include "platform/toolkit.h"

namespace {

constexpr int kRows = 200;
QTreeWidget* catalogue = nullptr;

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
        [&] { text = quill::platform::utf16_to_gbk(catalogue->topLevelItem(row)->text(1).toStdU16String()); },
        Qt::BlockingQueuedConnection);
    benchmark::DoNotOptimize(text);
    row = (row + 1) % kRows;
  }
}
BENCHMARK(BM_UiThreadRoundTrip)->MinTime(0.2)->UseRealTime();

class RatioReporter final : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) times[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> times;
};

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
  catalogue = static_cast<QTreeWidget*>(toolkit.widget("列表"));

  RatioReporter reporter;
  std::thread runner([&] {
    benchmark::RunSpecifiedBenchmarks(&reporter);
    QMetaObject::invokeMethod(&application, &QApplication::quit, Qt::QueuedConnection);
  });
  QApplication::exec();
  runner.join();
  const double own = reporter.times["BM_ToolkitCellText/min_time:0.200/real_time"];
  const double peer = reporter.times["BM_UiThreadRoundTrip/min_time:0.200/real_time"];
  if (own > 0 && peer > 0) std::printf("ratio: UI-thread round trip / toolkit read = %.1f\n", peer / own);
  quill::toolkit::install_backend(nullptr);
  return 0;
}
