// Paints per second of one download row: paint_download_item (drawing layer,
// nothing cached between paints) against the same row composed with plain
// QPainter calls (the icon decoded and the font made anew each time too),
// both copied onto the real list box's backing image. Prints the ratio.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "app/process_objects.h"
#include "app/qt_toolkit.h"
#include "app/startup.h"
#include "downloads/task_list.h"
#include "platform/codepage.h"
#include "platform/device_context.h"
#include "platform/toolkit.h"
#include "platform/window_host.h"
#include "platform/window_messages.h"
#include "presentation/download_item_painter.h"
#include "presentation/row_icon.h"

namespace {

using namespace quill;

win::HWND list_box = nullptr;
constexpr int kRow = 1;  // an odd row: border and gradient drawn

void plain_qpainter_row(win::HWND list, int row) {
  win::RECT rect;
  win::SendMessageA(list, win::LB_GETITEMRECT, static_cast<win::WPARAM>(row), reinterpret_cast<win::LPARAM>(&rect));
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  DownloadTask task;
  {
    std::lock_guard hold(task_list_lock);
    task = download_tasks[static_cast<std::size_t>(row)];
  }
  QImage image(w, h, QImage::Format_RGB32);
  {
    QPainter p(&image);
    p.fillRect(QRectF(0, 0, w, h), QColor(0xFFFFFFFF));
    p.setPen(QPen(QColor::fromRgba(0xFFD7F3FF), 1));
    p.drawRect(QRectF(0, 0, w - 1, h - 1));
    QLinearGradient gradient(0, 0, 0, h - 2);
    gradient.setColorAt(0, QColor::fromRgba(0xFFF2FBFF));
    gradient.setColorAt(1, QColor::fromRgba(0xFFEAF9FF));
    gradient.setSpread(QGradient::RepeatSpread);
    p.fillRect(QRectF(2, 2, w - 4, h - 4), gradient);
    const std::string_view icon_bytes = presentation::row_icon();
    const QImage icon =
        QImage::fromData(reinterpret_cast<const uchar*>(icon_bytes.data()), static_cast<int>(icon_bytes.size()), "ICO");
    p.drawImage(10, 4, icon);
    QFont font(QStringLiteral("WenQuanYi Zen Hei"));
    font.setPixelSize(12);
    p.setFont(font);
    p.setRenderHint(QPainter::TextAntialiasing);
    auto text = [&](const std::string& gbk_text, int x, int y, int tw, int th, QRgb colour) {
      p.save();
      p.setClipRect(QRectF(x, y, tw, th));
      p.setPen(QColor::fromRgba(colour));
      p.drawText(QRectF(x, y, tw, th), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                 QString::fromStdU16String(platform::gbk_to_utf16(gbk_text)));
      p.restore();
    };
    text(task.title, 52, 6, w - 200, 12, 0xFF000000);
    text(task.folder, 52, 22, w - 200, 12, 0xFF808080);
    p.setPen(QPen(QColor::fromRgba(0xFFA4DF9A), 1));
    p.drawRect(QRectF(310, 5, 120, 13));
    const double bar = task.percent * 12.0 / 10.0 - 3.0;
    if (bar > 0) p.fillRect(QRectF(312, 7, bar, 10), QColor::fromRgba(0xFFBECD10));
    text(presentation::size_and_time_text(task.size_kb, task.time_ms), 310, 22, 170, 12, 0xFF808080);
  }
  win::HDC dc = win::GetDC(list);
  {
    std::lock_guard hold(dc->lock());
    QPainter target(&dc->image());
    target.drawImage(rect.left, rect.top, image);
  }
  dc->changed();
}

void BM_paint_download_item(benchmark::State& state) {
  for (auto _ : state) presentation::paint_download_item(list_box, kRow, false);
  state.counters["paints_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_plain_qpainter_row(benchmark::State& state) {
  for (auto _ : state) plain_qpainter_row(list_box, kRow);
  state.counters["paints_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_paint_download_item)->MinTime(1.0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_plain_qpainter_row)->MinTime(1.0)->Unit(benchmark::kMicrosecond);

// Keeps each run's paints per second to print the ratio at the end.
class RatioReporter final : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const auto found = run.counters.find("paints_per_second");
      if (found != run.counters.end()) rates[run.run_name.function_name] = found->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> rates;
};

// Longest gap between the ticks of a 5 ms timer on the UI thread, running
// its event loop, while `transfers` downloads report progress the way the
// file download operation does: one reporting thread visits every running
// transfer each 10 ms and calls its progress routine, which repaints the row
// on that thread (asking the list for the row's rectangle).
double longest_ui_stall_ms(int transfers, int rounds) {
  const int first = toolkit::list_box_count("列表框");
  for (int i = 0; i < transfers; ++i) register_download_task(0, false, gbk("并发书"), "/tmp/");
  // The new rows are laid out before the measurement starts.
  for (int i = 0; i < 20; ++i) {
    toolkit::process_pending_events();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::atomic<int> running{1};
  std::thread clock([&] {
    for (int tick = 1; tick <= rounds; ++tick) {
      const auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(10);
      for (int i = 0; i < transfers; ++i)
        on_download_progress(first + i + 1, 1024LL * 1024 * tick, tick * 100 / rounds, tick * 10LL);
      std::this_thread::sleep_until(next);
    }
    running = 0;
  });
  using Clock = std::chrono::steady_clock;
  double longest = 0;
  Clock::time_point last = Clock::now();
  QEventLoop loop;
  QTimer ticks;
  QObject::connect(&ticks, &QTimer::timeout, [&] {
    const Clock::time_point now = Clock::now();
    longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
    last = now;
    if (running == 0) loop.quit();
  });
  ticks.start(5);
  loop.exec();
  clock.join();
  return longest;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  app::QtToolkit toolkit;
  toolkit::install_backend(&toolkit);
  app::create_process_objects();
  auto window = std::make_unique<app::MainWindow>(toolkit, app::WindowEvents{&app::handle_window_created, [] {}});
  window->load();
  static_cast<QTabWidget*>(toolkit.widget("高级选择夹1"))->setCurrentIndex(1);
  auto* list = static_cast<QListWidget*>(toolkit.widget("列表框"));
  list->resize(600, 400);
  toolkit::process_pending_events();
  list_box = toolkit::control_handle("列表框");
  win::resize_backing_image(list_box, list->viewport()->size());
  register_download_task(0, false, gbk("测试书名 一本很长的书"), toolkit::program_folder() + "/Download/");
  register_download_task(0, false, gbk("第二本书 The Second Book"), toolkit::program_folder() + "/Download/");
  update_download_task(kRow, "", "", 57, 1536, 61500);

  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double ours = reporter.rates["BM_paint_download_item"];
  const double plain = reporter.rates["BM_plain_qpainter_row"];
  if (ours > 0 && plain > 0)
    std::printf("paint_download_item: %.0f paints/s, plain QPainter: %.0f paints/s, ratio %.2f (goal >= 0.5)\n", ours,
                plain, ours / plain);
  std::printf("longest UI-thread stall with 300 transfers reporting: %.1f ms (goal <= 100)\n",
              longest_ui_stall_ms(300, 10));
  app::release_process_objects();
  window.reset();
  toolkit::install_backend(nullptr);
  return 0;
}
