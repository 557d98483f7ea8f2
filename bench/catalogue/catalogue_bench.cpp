// Scraping one category of 50 pages x 30 books from the in-process demo site
// into the real main window (offscreen), against a plain sequential libcurl
// loop fetching the same 51 URLs, measured side by side. Both open a fresh
// connection per request (the HTTP client does so by contract), so the ratio
// shows what parsing the pages and inserting 1,500 rows add to the network.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <QApplication>
#include <QEventLoop>
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

size_t discard(char* data, size_t size, size_t count, void* sink) {
  static_cast<std::string*>(sink)->append(data, size * count);
  return size * count;
}

// One run as a click starts it, with the UI thread in its event loop applying
// the widget updates meanwhile. "run" times the scrape from its start until
// scrape_catalogue returns (every row is in the list as the toolkit reports
// it); "shown" times until the widgets show every row as well.
void scrape(benchmark::State& state, bool until_shown) {
  for (auto _ : state) {
    QEventLoop loop;
    const auto start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point returned;
    std::thread run([&] {
      quill::scrape_catalogue(site->base_url());
      returned = std::chrono::steady_clock::now();
      QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    run.join();
    QCoreApplication::processEvents();
    const auto end = until_shown ? std::chrono::steady_clock::now() : returned;
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    if (quill::toolkit::list_view_count("列表") != kPages * kBooks) state.SkipWithError("wrong row count");
  }
}

void BM_ScrapeCategory(benchmark::State& state) { scrape(state, false); }
void BM_ScrapeCategoryUntilShown(benchmark::State& state) { scrape(state, true); }

void BM_PlainCurlLoop(benchmark::State& state) {
  std::vector<std::string> urls = {site->base_url() + "/class_12.html"};
  for (int n = 1; n <= kPages; ++n) urls.push_back(site->base_url() + "/class_12_" + std::to_string(n) + ".html");
  std::string body;
  for (auto _ : state) {
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
  }
}

// The same 51 requests through the system's HTTP client, for reference.
void BM_HttpFetchLoop(benchmark::State& state) {
  std::vector<std::string> urls = {site->base_url() + "/class_12.html"};
  for (int n = 1; n <= kPages; ++n) urls.push_back(site->base_url() + "/class_12_" + std::to_string(n) + ".html");
  for (auto _ : state) {
    for (const std::string& url : urls) benchmark::DoNotOptimize(quill::http_fetch(url));
  }
}
BENCHMARK(BM_ScrapeCategory)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseManualTime();
BENCHMARK(BM_ScrapeCategoryUntilShown)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseManualTime();
BENCHMARK(BM_PlainCurlLoop)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_HttpFetchLoop)->Unit(benchmark::kMillisecond)->MinTime(0.5);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
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
  auto* window = new quill::app::MainWindow(*toolkit, {});
  window->load();
  quill::toolkit::set_property("单选框_穿越", quill::toolkit::Property::ticked, 1);

  quill::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  if (reporter.real("BM_ScrapeCategory") > 0 && reporter.real("BM_PlainCurlLoop") > 0) {
    std::printf("scrape / plain libcurl loop (%d pages x %d books): %.2f (goal <= 1.30)\n", kPages, kBooks,
                reporter.real("BM_ScrapeCategory") / reporter.real("BM_PlainCurlLoop"));
    if (reporter.real("BM_ScrapeCategoryUntilShown") > 0) {
      std::printf("scrape until the widgets show every row / plain libcurl loop: %.2f\n",
                  reporter.real("BM_ScrapeCategoryUntilShown") / reporter.real("BM_PlainCurlLoop"));
    }
    if (reporter.real("BM_HttpFetchLoop") > 0) {
      std::printf("http_fetch loop / plain libcurl loop: %.2f\n",
                  reporter.real("BM_HttpFetchLoop") / reporter.real("BM_PlainCurlLoop"));
    }
  }

  delete window;
  quill::toolkit::install_backend(nullptr);
  delete toolkit;
  demo_site.stop();
  curl_global_cleanup();
  return 0;
}
