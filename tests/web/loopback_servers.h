#pragma once
// Servers on 127.0.0.1 for the web tests: cpp-httplib for well-behaved
// endpoints, and a raw socket server whose handler writes whatever bytes a
// misbehaving server (or a proxy) would. Both record what they received,
// bind port 0, and stop and join in their destructors.

#include <httplib.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quill::testing {

class HttplibServer final {
 public:
  HttplibServer();
  ~HttplibServer();
  HttplibServer(const HttplibServer&) = delete;
  HttplibServer& operator=(const HttplibServer&) = delete;

  // Register routes before the first request.
  httplib::Server& routes() { return server_; }
  // Starts serving; call after registering routes.
  void start();
  std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }

 private:
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

// One received request: its head (request line and header lines, as sent)
// and its body (by Content-Length).
struct RawRequest {
  std::string head;
  std::string body;
  std::string request_line() const;
  // Value of the first header of that name (ASCII case folded), or "".
  std::string header(const std::string& name) const;
};

class RawServer final {
 public:
  // `reply` gets the connection socket and the request read from it, and
  // writes the answer; the connection is closed when it returns. It may wait
  // on `stopping()` to stall.
  using Reply = std::function<void(int socket, const RawRequest& request)>;
  explicit RawServer(Reply reply);
  ~RawServer();
  RawServer(const RawServer&) = delete;
  RawServer& operator=(const RawServer&) = delete;

  int port() const { return port_; }
  std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::vector<RawRequest> requests();
  // Connections accepted so far, counted before their request is read.
  int connections() const { return connections_; }
  bool stopping() const { return stopping_; }
  // Sleeps until the server stops, at most `seconds`.
  void stall(int seconds) const;

  static void send_all(int socket, std::string_view bytes);

 private:
  void run();

  Reply reply_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  std::mutex mutex_;
  std::vector<RawRequest> requests_;
  std::thread thread_;
};

// A loopback port that nothing listens on.
int closed_port();

}  // namespace quill::testing
