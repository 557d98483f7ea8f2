// http_fetch against a bare libcurl loop (a new easy handle per request, body
// into a string) fetching the same 100 KiB page from a loopback cpp-httplib
// server, 500 sequential requests per run.
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <httplib.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/codepage.h"
#include "support/ratio_reporter.h"
#include "web/http_client.h"

namespace {

constexpr int requests_per_run = 500;

const std::string& page() {
  static const std::string text = [] {
    std::string p = quill::gbk(
        "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">"
        "<title>小说下载</title></head><body>\r\n");
    while (p.size() < 100 * 1024 - 64) p += quill::gbk("<li><a href=\"/book/1.html\">斗破苍穹</a></li>\r\n");
    p += "</body></html>";
    return p;
  }();
  return text;
}

class PageServer final {
 public:
  PageServer() {
    server_.Get("/page", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(page(), "text/html");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~PageServer() {
    server_.stop();
    thread_.join();
  }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/page"; }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

PageServer* server = nullptr;

// The peer reserves the announced length as http_fetch does; without that,
// growing the string dominates its time.
struct Transfer {
  CURL* easy = nullptr;
  std::string body;
};

size_t append(char* data, size_t size, size_t count, void* user) {
  auto& transfer = *static_cast<Transfer*>(user);
  if (transfer.body.empty()) {
    curl_off_t length = -1;
    curl_easy_getinfo(transfer.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    if (length > 0) transfer.body.reserve(static_cast<size_t>(length));
  }
  transfer.body.append(data, size * count);
  return size * count;
}

std::string bare_curl_get(const std::string& url) {
  Transfer transfer;
  CURL* easy = curl_easy_init();
  transfer.easy = easy;
  curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy, CURLOPT_PROXY, "");
  curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, append);
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
  curl_easy_perform(easy);
  curl_easy_cleanup(easy);
  return std::move(transfer.body);
}

void BM_HttpFetch(benchmark::State& state) {
  const std::string url = server->url();
  for (auto _ : state) {
    for (int i = 0; i < requests_per_run; ++i) benchmark::DoNotOptimize(quill::http_fetch(url));
  }
}

void BM_BareCurl(benchmark::State& state) {
  const std::string url = server->url();
  for (auto _ : state) {
    for (int i = 0; i < requests_per_run; ++i) benchmark::DoNotOptimize(bare_curl_get(url));
  }
}

// Repetitions of the two run interleaved in random order (see main), so that
// the load of a shared machine weighs on both alike; the fastest repetition is
// the one least disturbed by it.
void web_runs(benchmark::internal::Benchmark* benchmark) {
  quill::bench::repeated(benchmark->Unit(benchmark::kMillisecond)->Iterations(1), 5);
}
BENCHMARK(BM_HttpFetch)->Apply(web_runs);
BENCHMARK(BM_BareCurl)->Apply(web_runs);

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args = quill::bench::interleaved_arguments(argc, argv);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  curl_global_init(CURL_GLOBAL_DEFAULT);
  PageServer page_server;
  server = &page_server;
  if (quill::http_fetch(page_server.url()) != page() || bare_curl_get(page_server.url()) != page()) {
    std::fprintf(stderr, "the page did not come back whole\n");
    return 1;
  }
  quill::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf(
      "%d requests of %zu bytes; http_fetch / bare libcurl = %.3f (median real time), %.3f (fastest run), %.3f "
      "(median CPU time of the calling thread)\n",
      requests_per_run, page().size(), reporter.ratio("BM_HttpFetch/median", "BM_BareCurl/median"),
      reporter.ratio("BM_HttpFetch/min", "BM_BareCurl/min"),
      reporter.cpu_ratio("BM_HttpFetch/median", "BM_BareCurl/median"));
  benchmark::Shutdown();
  curl_global_cleanup();
}
