// quill_demo_site: serves the demo catalogue site and download mirror until
// SIGINT or SIGTERM.
//   --host H          address to bind (127.0.0.1)
//   --port N          port (18080; 0 picks a free one, printed on start)
//   --pages N         pages per category (5)
//   --books N         books per page (20)
//   --min-size B      smallest archive in bytes (4096)
//   --max-size B      largest archive in bytes (3145728)
//   --stall-ms N      how long a stalled answer waits (30000)
//   --fault PATH=KIND KIND is stall, missing-length, not-found, cut, no-markers
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "demo/demo_site.h"

namespace {

bool parse_fault(const std::string& kind, quill::demo::Fault& fault) {
  using quill::demo::Fault;
  if (kind == "stall")
    fault = Fault::stall;
  else if (kind == "missing-length")
    fault = Fault::missing_length;
  else if (kind == "not-found")
    fault = Fault::not_found;
  else if (kind == "cut")
    fault = Fault::cut_half_way;
  else if (kind == "no-markers")
    fault = Fault::no_markers;
  else
    return false;
  return true;
}

int usage() {
  std::fprintf(
      stderr,
      "usage: quill_demo_site [--host H] [--port N] [--pages N] [--books N] [--min-size B] [--max-size B]\n"
      "                       [--stall-ms N] [--fault PATH=stall|missing-length|not-found|cut|no-markers]...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  quill::demo::DemoOptions options;
  for (int i = 1; i < argc; ++i) {
    std::string flag = argv[i];
    if (flag == "--help" || i + 1 >= argc) return usage();
    std::string value = argv[++i];
    char* end = nullptr;
    long long number = std::strtoll(value.c_str(), &end, 10);
    bool numeric = end && *end == '\0' && !value.empty() && number >= 0;
    if (flag == "--host")
      options.host = value;
    else if (flag == "--port" && numeric && number < 65536)
      options.port = static_cast<int>(number);
    else if (flag == "--pages" && numeric && number <= 100000)
      options.pages_per_category = static_cast<int>(number);
    else if (flag == "--books" && numeric && number <= 10000)
      options.books_per_page = static_cast<int>(number);
    else if (flag == "--min-size" && numeric)
      options.min_archive_size = static_cast<std::size_t>(number);
    else if (flag == "--max-size" && numeric)
      options.max_archive_size = static_cast<std::size_t>(number);
    else if (flag == "--stall-ms" && numeric)
      options.stall = std::chrono::milliseconds(number);
    else if (flag == "--fault" && value.find('=') != std::string::npos) {
      quill::demo::Fault fault;
      if (!parse_fault(value.substr(value.find('=') + 1), fault)) return usage();
      options.faults[value.substr(0, value.find('='))] = fault;
    } else {
      return usage();
    }
  }

  // Block the stop signals before any thread starts, so that only sigwait sees them.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  quill::demo::DemoSite site(options);
  if (!site.start()) {
    std::fprintf(stderr, "quill_demo_site: cannot bind %s:%d\n", options.host.c_str(), options.port);
    return 1;
  }
  std::printf("quill_demo_site: serving %s\n", site.base_url().c_str());
  std::fflush(stdout);
  int signal_number = 0;
  sigwait(&stop_signals, &signal_number);
  site.stop();
  return 0;
}
