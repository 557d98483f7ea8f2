// A batch of 300 ticked books of 512 KiB each: the real program's window
// (offscreen) scrapes the catalogue once, then each iteration clicks
// "一键下载" and runs the event loop until every archive is complete (every
// task at 100 %, every worker and transfer ended). The peer, measured in the
// same run, is `curl --parallel --parallel-max 300` fetching the same 300
// URLs into files. The demo site runs as a process of its own, so that the
// memory reported is the program's. Also reported: the peak resident memory
// of this process and the UI thread's longest event-loop stall during a
// batch.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/startup.h"
#include "catalogue/catalogue_scraper.h"
#include "catalogue/text_extraction.h"
#include "downloads/dispatcher.h"
#include "downloads/download_file.h"
#include "downloads/download_worker.h"
#include "downloads/task_list.h"
#include "platform/toolkit.h"
#include "support/ratio_reporter.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kBooks = 300;
constexpr int kBooksPerPage = 20;
constexpr std::size_t kArchive = 512 * 1024;

std::string base_url;
std::string work_folder;
std::vector<std::string> archive_urls;
double longest_stall_ms = 0;

// Starts quill_demo_site on a free port and reads the port it prints.
pid_t start_demo_site() {
  int out[2];
  if (pipe(out) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::string pages = std::to_string(kBooks / kBooksPerPage);
  std::string books = std::to_string(kBooksPerPage);
  std::string size = std::to_string(kArchive);
  std::vector<std::string> args = {QUILL_DEMO_SITE, "--port",     "0",  "--pages",    pages, "--books",
                                   books,           "--min-size", size, "--max-size", size};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, QUILL_DEMO_SITE, &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  std::string line;
  char c;
  while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
  close(out[0]);
  auto colon = line.rfind(':');
  if (pid <= 0 || colon == std::string::npos) return -1;
  int port = std::atoi(line.c_str() + colon + 1);
  base_url = "http://127.0.0.1:" + std::to_string(port);
  return port > 0 ? pid : -1;
}

void clear_folder(const std::string& folder) {
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  fs::create_directories(folder, ignored);
}

bool batch_complete(std::size_t first) {
  if (!quill::batch_lock.try_lock()) return false;
  quill::batch_lock.unlock();
  if (quill::active_workers.load() != 0 || quill::downloads::unsettled_transfers() != 0) return false;
  std::lock_guard lock(quill::task_list_lock);
  if (quill::download_tasks.size() < first + kBooks) return false;
  for (std::size_t i = first; i < first + kBooks; ++i) {
    if (quill::download_tasks[i].percent != 100) return false;
  }
  return true;
}

void BM_BatchOf300(benchmark::State& state) {
  const std::string folder = work_folder + "/program/";
  quill::downloads::set_download_folder(folder);
  auto* button = qobject_cast<QAbstractButton*>(quill::app::installed_toolkit()->widget("按钮2"));
  for (auto _ : state) {
    state.PauseTiming();
    clear_folder(folder);
    std::size_t first = quill::download_tasks.size();
    QEventLoop loop;
    QTimer done_check;
    QObject::connect(&done_check, &QTimer::timeout, [&] {
      if (batch_complete(first)) loop.quit();
    });
    // The event loop's stalls: the longest gap between two runs of a 1 ms
    // timer, less its interval.
    QTimer heartbeat;
    auto last_beat = Clock::now();
    double stall = 0;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
      auto now = Clock::now();
      stall = std::max(stall, std::chrono::duration<double, std::milli>(now - last_beat).count() - 1.0);
      last_beat = now;
    });
    state.ResumeTiming();
    auto start = Clock::now();
    button->click();
    done_check.start(2);
    heartbeat.start(1);
    last_beat = Clock::now();
    loop.exec();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    longest_stall_ms = std::max(longest_stall_ms, stall);
    for (std::size_t i = first; i < first + kBooks; i += 97) {
      if (quill::download_tasks[i].size_kb != static_cast<int>(kArchive / 1024)) state.SkipWithError("wrong size");
    }
  }
}

void BM_CurlParallel300(benchmark::State& state) {
  const std::string folder = work_folder + "/curl/";
  const std::string config = work_folder + "/curl.config";
  {
    std::ofstream out(config);
    for (std::size_t i = 0; i < archive_urls.size(); ++i) {
      out << "url = \"" << archive_urls[i] << "\"\noutput = \"" << folder << i << ".rar\"\n";
    }
  }
  std::vector<std::string> args = {"curl", "--parallel", "--parallel-max", "300", "--no-progress-meter", "-f",
                                   "-K",   config};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (auto _ : state) {
    state.PauseTiming();
    clear_folder(folder);
    state.ResumeTiming();
    auto start = Clock::now();
    pid_t pid = -1;
    int status = 0;
    if (posix_spawnp(&pid, "curl", nullptr, nullptr, argv.data(), environ) != 0 || waitpid(pid, &status, 0) != pid ||
        !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("curl failed");
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
}

BENCHMARK(BM_BatchOf300)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();
BENCHMARK(BM_CurlParallel300)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);

  pid_t site = start_demo_site();
  if (site <= 0) {
    std::fprintf(stderr, "downloads bench: cannot start the demo site\n");
    return 1;
  }
  char pattern[] = "/tmp/quill-bench-XXXXXX";
  work_folder = mkdtemp(pattern) ? pattern : "";

  quill::app::start_up();
  quill::downloads::set_mirror_base(base_url);
  // The catalogue once, untimed, every row ticked.
  std::thread scraper([] { quill::scrape_catalogue(base_url); });
  while (quill::toolkit::list_view_count("列表") < kBooks || quill::catalogue_run_in_progress()) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  scraper.join();
  for (int row = 0; row < kBooks; ++row) {
    quill::toolkit::set_tick_state("列表", row, 1);
    std::string id = quill::text_between(quill::toolkit::cell_text("列表", row, 4), "com/", ".html");
    archive_urls.push_back(base_url + "/file/" + id + "_1.rar");
  }

  quill::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  double ours = reporter.real("BM_BatchOf300");
  double curl = reporter.real("BM_CurlParallel300");
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  if (ours > 0 && curl > 0) std::printf("batch of 300 / curl --parallel: %.2fx (goal <= 1.5)\n", ours / curl);
  std::printf("peak resident memory: %.1f MiB (goal < 150)\n", usage.ru_maxrss / 1024.0);
  std::printf("longest UI event-loop stall during a batch: %.1f ms (goal < 100)\n", longest_stall_ms);

  std::error_code ignored;
  fs::remove_all(work_folder, ignored);
  kill(site, SIGTERM);
  waitpid(site, nullptr, 0);
  std::fflush(stdout);
  _exit(0);  // as the program itself ends: detached threads are not waited for
}
