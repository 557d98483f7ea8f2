#pragma once
// The demo catalogue site and download mirror: a cpp-httplib server on a
// loopback port that serves
//   /class_<code>.html and /class_<code>_<n>.html   catalogue pages (GBK)
//   /book.com/<id>.html                              a book's detail page
//   /file/<id>_1.rar                                 the book's archive, with Content-Length
// for the eight category codes. Unknown paths and pages past the last give 404.
//
// Threads: start() and stop() belong to the owning thread; requests are served
// on the server's own threads; requests() may be called from any thread.
// The destructor stops the server. Not copyable.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace httplib {
class Server;
}

namespace quill::demo {

// A fault served in place of (or on top of) the normal answer for one path.
enum class Fault {
  stall,           // answer only after DemoOptions::stall (or when the server stops)
  missing_length,  // body sent chunked, without Content-Length
  not_found,       // 404
  cut_half_way,    // Content-Length of the whole body, then the connection is closed half way
  no_markers,      // a catalogue page without the listing area's markers
};

// A response the site serves verbatim for one path (tests' hand-made pages).
struct FixedResponse {
  std::string body;
  std::string content_type = "text/html";
};

// One request as received.
struct RecordedRequest {
  std::string method;
  std::string path;
};

struct DemoOptions {
  std::string host = "127.0.0.1";
  int port = 18080;  // 0: any free port (see DemoSite::port())
  int pages_per_category = 5;
  int books_per_page = 20;
  std::size_t min_archive_size = 4 * 1024;
  std::size_t max_archive_size = 3 * 1024 * 1024;
  std::chrono::milliseconds stall{30000};
  std::map<std::string, Fault> faults;         // by request path
  std::map<std::string, FixedResponse> fixed;  // by request path, before anything else
  // Called on the serving thread for every request, after it is recorded and
  // before it is answered (tests look at the client's state at that moment).
  std::function<void(const RecordedRequest&)> on_request;
};

class DemoSite final {
 public:
  explicit DemoSite(DemoOptions options);
  ~DemoSite();
  DemoSite(const DemoSite&) = delete;
  DemoSite& operator=(const DemoSite&) = delete;

  // Binds and starts serving on a thread of its own; false when the address
  // cannot be bound. Connections are accepted as soon as it returns true.
  bool start();
  // Ends stalled answers, stops the server and joins its thread. Idempotent.
  void stop();

  int port() const { return port_; }
  // "http://" + host + ":" + port, no trailing slash.
  std::string base_url() const;

  std::vector<RecordedRequest> requests() const;
  // Request paths only, in arrival order.
  std::vector<std::string> request_paths() const;
  void clear_requests();

 private:
  void install_routes();
  void record(const std::string& method, const std::string& path);
  // Waits up to the stall time; returns early when the server stops.
  void stall();

  DemoOptions options_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = -1;

  mutable std::mutex mutex_;  // guards requests_ and stopping_
  std::condition_variable stop_signal_;
  std::vector<RecordedRequest> requests_;
  bool stopping_ = false;
};

}  // namespace quill::demo
