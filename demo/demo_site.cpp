#include "demo/demo_site.h"

#include <httplib.h>

#include <algorithm>
#include <charconv>
#include <optional>

#include "demo/demo_pages.h"
#include "platform/codepage.h"

namespace quill::demo {
namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr std::size_t kServerThreads = 64;

std::optional<std::uint64_t> parse_number(std::string_view text) {
  std::uint64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

bool strip(std::string_view& text, std::string_view prefix, std::string_view suffix) {
  if (text.size() < prefix.size() + suffix.size() || !text.starts_with(prefix) || !text.ends_with(suffix)) return false;
  text = text.substr(prefix.size(), text.size() - prefix.size() - suffix.size());
  return true;
}

struct CataloguePath {
  std::string code;
  int page = 1;
};

// "/class_<code>.html" is page 1; "/class_<code>_<n>.html" is page n.
std::optional<CataloguePath> parse_catalogue_path(std::string_view path) {
  if (!strip(path, "/class_", ".html")) return std::nullopt;
  CataloguePath result;
  auto underscore = path.find('_');
  result.code = std::string(path.substr(0, underscore));
  const auto& codes = category_codes();
  if (std::find(codes.begin(), codes.end(), result.code) == codes.end()) return std::nullopt;
  if (underscore != std::string_view::npos) {
    auto n = parse_number(path.substr(underscore + 1));
    if (!n || *n < 1 || *n > 1000000) return std::nullopt;
    result.page = static_cast<int>(*n);
  }
  return result;
}

// Serves `body` whole, chunked, or cut half way, as the fault asks.
void send_text(httplib::Response& res, std::string body, const std::string& type, std::optional<Fault> fault) {
  if (fault == Fault::missing_length) {
    auto shared = std::make_shared<std::string>(std::move(body));
    res.set_chunked_content_provider(type, [shared](std::size_t offset, httplib::DataSink& sink) {
      if (offset < shared->size()) {
        sink.write(shared->data() + offset, std::min(kChunk, shared->size() - offset));
      } else {
        sink.done();
      }
      return true;
    });
  } else if (fault == Fault::cut_half_way) {
    auto shared = std::make_shared<std::string>(std::move(body));
    std::size_t half = shared->size() / 2;
    res.set_content_provider(shared->size(), type,
                             [shared, half](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                               if (offset >= half) return false;  // closes the connection
                               sink.write(shared->data() + offset, std::min(length, half - offset));
                               return true;
                             });
  } else {
    res.set_content(std::move(body), type.c_str());
  }
}

}  // namespace

DemoSite::DemoSite(DemoOptions options) : options_(std::move(options)) {}

DemoSite::~DemoSite() { stop(); }

std::string DemoSite::base_url() const { return "http://" + options_.host + ":" + std::to_string(port_); }

bool DemoSite::start() {
  if (server_) return false;
  server_ = std::make_unique<httplib::Server>();
  install_routes();
  // Room for hundreds of simultaneous downloads: a worker per connection that
  // is freed right after its answer, and an accept queue that takes every
  // connection (the library's defaults are 8 workers, kept-alive connections
  // and a queue of 5).
  server_->new_task_queue = [] { return new httplib::ThreadPool(kServerThreads); };
  server_->set_keep_alive_max_count(1);
  int listening = -1;
  server_->set_socket_options([&listening](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    listening = sock;
  });
  if (options_.port == 0) {
    port_ = server_->bind_to_any_port(options_.host);
  } else {
    port_ = server_->bind_to_port(options_.host.c_str(), options_.port) ? options_.port : -1;
  }
  if (port_ <= 0) {
    server_.reset();
    return false;
  }
  ::listen(listening, SOMAXCONN);
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  // httplib's stop() does nothing until the accept loop runs, so wait for it.
  while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return true;
}

void DemoSite::stop() {
  if (!server_) return;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  stop_signal_.notify_all();
  server_->stop();
  if (thread_.joinable()) thread_.join();
  server_.reset();
}

std::vector<RecordedRequest> DemoSite::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<std::string> DemoSite::request_paths() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> paths;
  paths.reserve(requests_.size());
  for (const auto& r : requests_) paths.push_back(r.path);
  return paths;
}

void DemoSite::clear_requests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

void DemoSite::record(const std::string& method, const std::string& path) {
  std::lock_guard lock(mutex_);
  requests_.push_back({method, path});
}

void DemoSite::stall() {
  std::unique_lock lock(mutex_);
  stop_signal_.wait_for(lock, options_.stall, [this] { return stopping_; });
}

void DemoSite::install_routes() {
  server_->Get(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
    record(req.method, req.path);
    if (options_.on_request) options_.on_request({req.method, req.path});
    std::optional<Fault> fault;
    if (auto it = options_.faults.find(req.path); it != options_.faults.end()) fault = it->second;
    if (fault == Fault::stall) stall();
    if (fault == Fault::not_found) {
      res.status = 404;
      res.set_content("<html><body>404 Not Found</body></html>", "text/html");
      return;
    }
    if (auto it = options_.fixed.find(req.path); it != options_.fixed.end()) {
      send_text(res, it->second.body, it->second.content_type, fault);
      return;
    }

    std::string_view path = req.path;
    if (auto page = parse_catalogue_path(path); page && page->page <= options_.pages_per_category) {
      std::vector<DemoBook> books;
      books.reserve(static_cast<std::size_t>(std::max(0, options_.books_per_page)));
      for (int j = 1; j <= options_.books_per_page; ++j) {
        books.push_back(demo_book(book_id(page->code, page->page, j, options_.books_per_page)));
      }
      PageLayout layout;
      layout.with_listing_markers = fault != Fault::no_markers;
      send_text(res, catalogue_page(page->code, page->page, std::to_string(options_.pages_per_category), books, layout),
                "text/html", fault);
      return;
    }
    if (std::string_view id_text = path; strip(id_text, "/book.com/", ".html")) {
      if (auto id = parse_number(id_text)) {
        DemoBook book = demo_book(*id);
        send_text(res,
                  "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\"></head>"
                  "<body><h1>" +
                      book.name + "</h1><p>" + book.description + "</p><a href=\"/file/" + std::string(id_text) +
                      "_1.rar\">rar</a></body></html>\r\n",
                  "text/html", fault);
        return;
      }
    }
    if (std::string_view id_text = path; strip(id_text, "/file/", "_1.rar")) {
      if (auto id = parse_number(id_text)) {
        std::size_t size = archive_size(*id, options_.min_archive_size, options_.max_archive_size);
        if (fault == Fault::missing_length) {
          res.set_chunked_content_provider("application/octet-stream",
                                           [id = *id, size](std::size_t offset, httplib::DataSink& sink) {
                                             if (offset >= size) {
                                               sink.done();
                                               return true;
                                             }
                                             std::string chunk;
                                             archive_bytes(id, offset, std::min(kChunk, size - offset), chunk);
                                             sink.write(chunk.data(), chunk.size());
                                             return true;
                                           });
          return;
        }
        std::size_t limit = fault == Fault::cut_half_way ? size / 2 : size;
        res.set_content_provider(size, "application/octet-stream",
                                 [id = *id, limit](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                   if (offset >= limit) return false;  // closes the connection
                                   std::string chunk;
                                   archive_bytes(id, offset, std::min({length, kChunk, limit - offset}), chunk);
                                   sink.write(chunk.data(), chunk.size());
                                   return true;
                                 });
        return;
      }
    }
    res.status = 404;
    res.set_content("<html><body>404 Not Found</body></html>", "text/html");
  });
}

}  // namespace quill::demo
