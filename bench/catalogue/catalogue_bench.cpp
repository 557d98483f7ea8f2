// Scraping one category of 50 pages x 30 books from the in-process demo site
// into the real main window (offscreen), against a plain sequential libcurl
// loop fetching the same 51 URLs, measured side by side. Both open a fresh
// connection per request (the HTTP client does so by contract), so the ratio
// shows what parsing the pages and inserting 1,500 rows add to the network.
// Fifteen repetitions of each run interleaved in random order, so that the load
// of a shared machine weighs on each alike; ratios are taken of the medians.
// Every timed run, of either side, starts after the same untimed pause with
// the event loop running, as a click starts after the program has idled: a
// run that follows an idle spell is markedly slower than one that follows
// another at once, on either side.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <thread>

#include "app/main_window.h"
#include "app/qt_toolkit.h"
#include "catalogue/catalogue_scraper.h"
#include "demo/demo_site.h"
#include "platform/toolkit.h"
#include "support/ratio_reporter.h"
#include "web/http_client.h"

namespace {

constexpr int kPages = 50;
constexpr int kBooks = 30;

quill::demo::DemoSite* site = nullptr;
quill::toolkit::Backend* window_toolkit = nullptr;

size_t discard(char* data, size_t size, size_t count, void* sink) {
  static_cast<std::string*>(sink)->append(data, size * count);
  return size * count;
}

// Lets the UI thread apply and paint whatever is left, so that no run's
// widget work spills into the next measurement.
void settle() {
  QEventLoop loop;
  QTimer::singleShot(40, &loop, &QEventLoop::quit);
  loop.exec();
}

// Times each iteration's run by the clock, after an untimed settle, until the
// time the run returns as its end.
template <typename Run>
void timed_after_a_pause(benchmark::State& state, Run run) {
  for (auto _ : state) {
    state.PauseTiming();
    settle();
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    const std::chrono::steady_clock::time_point end = run();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
  }
}

// As above, for a run that ends when it returns.
template <typename Run>
void after_a_pause(benchmark::State& state, Run run) {
  timed_after_a_pause(state, [&] {
    run();
    return std::chrono::steady_clock::now();
  });
}

// Scrapes on a worker thread, as a click does, while the UI thread runs its
// event loop applying the widget updates; the time scrape_catalogue returned.
std::chrono::steady_clock::time_point scrape_as_a_click() {
  QEventLoop loop;
  std::chrono::steady_clock::time_point returned;
  std::thread run([&] {
    quill::scrape_catalogue(site->base_url());
    returned = std::chrono::steady_clock::now();
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  run.join();
  return returned;
}

// One run as a click starts it. "run" times the scrape from its start until
// scrape_catalogue returns (every row is in the list as the toolkit reports
// it); "shown" times until the widgets show every row as well (the UI thread
// applies what is still queued at once and handles the paint events).
void scrape(benchmark::State& state, bool until_shown) {
  timed_after_a_pause(state, [&] {
    const auto returned = scrape_as_a_click();
    quill::toolkit::process_pending_events();
    const auto end = until_shown ? std::chrono::steady_clock::now() : returned;
    if (quill::toolkit::list_view_count("列表") != kPages * kBooks) state.SkipWithError("wrong row count");
    return end;
  });
}

void BM_ScrapeCategory(benchmark::State& state) { scrape(state, false); }
void BM_ScrapeCategoryUntilShown(benchmark::State& state) { scrape(state, true); }

// The same scrape with no window to fill (toolkit calls do nothing; the
// category code stays that of the warm-up run), for reference: fetching and
// parsing alone.
void BM_ScrapeWithoutWindow(benchmark::State& state) {
  quill::toolkit::install_backend(nullptr);
  after_a_pause(state, [] { quill::scrape_catalogue(site->base_url()); });
  quill::toolkit::install_backend(window_toolkit);
}

void BM_PlainCurlLoop(benchmark::State& state) {
  std::vector<std::string> urls = {site->base_url() + "/class_12.html"};
  for (int n = 1; n <= kPages; ++n) urls.push_back(site->base_url() + "/class_12_" + std::to_string(n) + ".html");
  std::string body;
  after_a_pause(state, [&] {
    std::size_t bytes = 0;
    for (const std::string& url : urls) {
      CURL* curl = curl_easy_init();
      body.clear();
      curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
      curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
      curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &discard);
      curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
      if (curl_easy_perform(curl) != CURLE_OK) state.SkipWithError("request failed");
      bytes += body.size();
      curl_easy_cleanup(curl);
    }
    benchmark::DoNotOptimize(bytes);
  });
}

// The same 51 requests through the system's HTTP client, for reference.
void BM_HttpFetchLoop(benchmark::State& state) {
  std::vector<std::string> urls = {site->base_url() + "/class_12.html"};
  for (int n = 1; n <= kPages; ++n) urls.push_back(site->base_url() + "/class_12_" + std::to_string(n) + ".html");
  after_a_pause(state, [&] {
    for (const std::string& url : urls) benchmark::DoNotOptimize(quill::http_fetch(url));
  });
}
void catalogue_runs(benchmark::internal::Benchmark* benchmark) {
  quill::bench::repeated(benchmark->Unit(benchmark::kMillisecond)->MinTime(0.2)->MeasureProcessCPUTime(), 15);
}
BENCHMARK(BM_ScrapeCategory)->Apply(catalogue_runs)->UseManualTime();
BENCHMARK(BM_ScrapeCategoryUntilShown)->Apply(catalogue_runs)->UseManualTime();
BENCHMARK(BM_PlainCurlLoop)->Apply(catalogue_runs)->UseManualTime();
BENCHMARK(BM_HttpFetchLoop)->Apply(catalogue_runs)->UseManualTime();
BENCHMARK(BM_ScrapeWithoutWindow)->Apply(catalogue_runs)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  std::vector<char*> args = quill::bench::interleaved_arguments(argc, argv);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  curl_global_init(CURL_GLOBAL_DEFAULT);

  quill::demo::DemoOptions options;
  options.port = 0;
  options.pages_per_category = kPages;
  options.books_per_page = kBooks;
  quill::demo::DemoSite demo_site(options);
  if (!demo_site.start()) {
    std::fprintf(stderr, "catalogue bench: cannot start the demo site\n");
    return 1;
  }
  site = &demo_site;

  auto* toolkit = new quill::app::QtToolkit();
  quill::toolkit::install_backend(toolkit);
  window_toolkit = toolkit;
  auto* window = new quill::app::MainWindow(*toolkit, {});
  window->load();
  quill::toolkit::set_property("单选框_穿越", quill::toolkit::Property::ticked, 1);

  // Warm-up: connections, fonts and the category code.
  scrape_as_a_click();
  settle();

  quill::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto ratio = [&](const std::string& name) { return reporter.ratio(name + "/median", "BM_PlainCurlLoop/median"); };
  std::printf("%d pages x %d books; medians against the plain libcurl loop:\n", kPages, kBooks);
  std::printf("  scrape into the window: %.2f (goal <= 1.30)\n", ratio("BM_ScrapeCategory"));
  std::printf("  scrape until the widgets show every row: %.2f\n", ratio("BM_ScrapeCategoryUntilShown"));
  std::printf("  scrape without a window: %.2f\n", ratio("BM_ScrapeWithoutWindow"));
  std::printf("  http_fetch loop: %.2f\n", ratio("BM_HttpFetchLoop"));
  // Client, demo site and UI thread share the machine's cores.
  std::printf("CPU time of the whole process, scrape into the window / plain loop: %.2f\n",
              reporter.cpu_ratio("BM_ScrapeCategory/median", "BM_PlainCurlLoop/median"));

  delete window;
  quill::toolkit::install_backend(nullptr);
  delete toolkit;
  demo_site.stop();
  curl_global_cleanup();
  return 0;
}
