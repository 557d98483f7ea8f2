#pragma once
// A loopback HTTP server for the download tests: serves bodies of a chosen
// size, and the faults a mirror can show. Binds 127.0.0.1 on a free port,
// records every requested path and stops in its destructor.

#include <httplib.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quill::test {

// The byte at `offset` of every served body; bodies are reproducible.
inline char body_byte(std::size_t offset) { return static_cast<char>((offset * 131 + offset / 251) & 0xFF); }
inline std::string body_of(std::size_t size) {
  std::string body(size, '\0');
  for (std::size_t i = 0; i < size; ++i) body[i] = body_byte(i);
  return body;
}

// Routes:
//   /size/<n>      n bytes with Content-Length
//   /chunked/<n>   n bytes without Content-Length
//   /missing       404 with a body
//   /cut/<n>       announces n bytes, sends half, closes the connection
//   /stall/<n>     announces n bytes, sends half, then sends nothing for
//                  `stall_ms` before closing
//   /excess/<n>    announces n bytes, sends 2n
//   /slow/<n>      n bytes with Content-Length, 8 KiB every 4 ms
//   /huge          announces 3 GiB, sends 64 KiB, closes
//   /file/<id>_1.rar  id's body: 1000 + id length * 777 bytes; with
//                  `stall_files`, only its first half, then a stall of
//                  `stall_ms` before the connection closes
class TestServer final {
 public:
  explicit TestServer(int stall_ms = 0, bool stall_files = false) : stall_ms_(stall_ms) {
    using httplib::Request;
    using httplib::Response;
    server_.set_logger([this](const Request& req, const Response&) {
      std::lock_guard lock(mutex_);
      paths_.push_back(req.path);
    });
    server_.Get(R"(/size/(\d+))", [](const Request& req, Response& res) {
      res.set_content(body_of(std::stoul(req.matches[1])), "application/octet-stream");
    });
    server_.Get(R"(/chunked/(\d+))", [](const Request& req, Response& res) {
      auto body = std::make_shared<std::string>(body_of(std::stoul(req.matches[1])));
      res.set_chunked_content_provider("application/octet-stream", [body](size_t offset, httplib::DataSink& sink) {
        if (offset < body->size()) sink.write(body->data() + offset, body->size() - offset);
        if (offset >= body->size()) sink.done();
        return true;
      });
    });
    server_.Get("/missing", [](const Request&, Response& res) {
      res.status = 404;
      res.set_content(body_of(3000), "text/html");
    });
    server_.Get(R"(/cut/(\d+))",
                [](const Request& req, Response& res) { serve_half(std::stoul(req.matches[1]), res, 0); });
    server_.Get(R"(/stall/(\d+))",
                [this](const Request& req, Response& res) { serve_half(std::stoul(req.matches[1]), res, stall_ms_); });
    server_.Get(R"(/excess/(\d+))", [](const Request& req, Response& res) {
      std::size_t n = std::stoul(req.matches[1]);
      res.set_content_provider(n, "application/octet-stream", [n](size_t offset, size_t, httplib::DataSink& sink) {
        if (offset == 0) {
          std::string twice = body_of(2 * n);
          sink.write(twice.data(), twice.size());
        }
        return true;
      });
    });
    server_.Get(R"(/slow/(\d+))", [](const Request& req, Response& res) {
      std::size_t n = std::stoul(req.matches[1]);
      res.set_content_provider(n, "application/octet-stream", [n](size_t offset, size_t, httplib::DataSink& sink) {
        std::this_thread::sleep_for(std::chrono::milliseconds(4));
        std::string piece = body_of(n).substr(offset, 8192);
        sink.write(piece.data(), piece.size());
        return true;
      });
    });
    server_.Get("/huge", [](const Request&, Response& res) {
      res.set_content_provider(std::size_t{3} << 30, "application/octet-stream",
                               [](size_t offset, size_t, httplib::DataSink& sink) {
                                 if (offset > 0) return false;
                                 std::string piece = body_of(64 * 1024);
                                 sink.write(piece.data(), piece.size());
                                 return true;
                               });
    });
    server_.Get(R"(/file/(.*)_1\.rar)", [this, stall_files](const Request& req, Response& res) {
      std::size_t size = 1000 + req.matches[1].length() * 777;
      if (stall_files) {
        serve_half(size, res, stall_ms_);
      } else {
        res.set_content(body_of(size), "application/octet-stream");
      }
    });
    // One request per connection, so that stopping never waits for an idle
    // kept-alive connection.
    server_.set_keep_alive_max_count(1);
    // Enough workers and a long enough accept queue for many transfers at
    // once (the library's defaults are 8 workers and a queue of 5).
    server_.new_task_queue = [] { return new httplib::ThreadPool(64); };
    server_.set_socket_options([this](int sock) {
      int yes = 1;
      setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
      listening_socket_ = sock;
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    ::listen(listening_socket_, SOMAXCONN);
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~TestServer() {
    server_.stop();
    thread_.join();
  }
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::vector<std::string> paths() {
    std::lock_guard lock(mutex_);
    return paths_;
  }

 private:
  static void serve_half(std::size_t n, httplib::Response& res, int stall_ms) {
    res.set_content_provider(n, "application/octet-stream",
                             [n, stall_ms](size_t offset, size_t, httplib::DataSink& sink) {
                               if (offset > 0) {
                                 std::this_thread::sleep_for(std::chrono::milliseconds(stall_ms));
                                 return false;
                               }
                               std::string half = body_of(n / 2);
                               sink.write(half.data(), half.size());
                               return true;
                             });
  }

  int stall_ms_;
  httplib::Server server_;
  int port_ = 0;
  int listening_socket_ = -1;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> paths_;
};

}  // namespace quill::test
