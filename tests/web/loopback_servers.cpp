#include "web/loopback_servers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace quill::testing {
namespace {

int listen_on_loopback(int& port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(fd, 16);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  return fd;
}

// Reads a request head and the body its Content-Length announces; stops early
// when the peer goes quiet for 2 s or closes (a TLS hello has no head).
RawRequest read_request(int socket) {
  std::string data;
  RawRequest request;
  std::size_t wanted = std::string::npos;
  char buffer[65536];
  while (true) {
    const std::size_t head_end = data.find("\r\n\r\n");
    if (head_end != std::string::npos && wanted == std::string::npos) {
      request.head = data.substr(0, head_end + 2);
      const std::string length = request.header("Content-Length");
      wanted = head_end + 4 + (length.empty() ? 0 : std::stoul(length));
    }
    if (wanted != std::string::npos && data.size() >= wanted) break;
    pollfd p{socket, POLLIN, 0};
    if (poll(&p, 1, 2000) <= 0) break;
    const ssize_t got = recv(socket, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    data.append(buffer, static_cast<std::size_t>(got));
  }
  if (wanted == std::string::npos) {
    request.head = data;
  } else {
    request.body = data.substr(request.head.size() + 2);
  }
  return request;
}

}  // namespace

HttplibServer::HttplibServer() { port_ = server_.bind_to_any_port("127.0.0.1"); }

void HttplibServer::start() {
  thread_ = std::thread([this] { server_.listen_after_bind(); });
}

HttplibServer::~HttplibServer() {
  server_.stop();
  if (thread_.joinable()) thread_.join();
}

std::string RawRequest::request_line() const { return head.substr(0, head.find("\r\n")); }

std::string RawRequest::header(const std::string& name) const {
  std::size_t at = head.find("\r\n");
  while (at != std::string::npos && at + 2 < head.size()) {
    const std::size_t end = head.find("\r\n", at + 2);
    const std::string line = head.substr(at + 2, end - at - 2);
    if (line.size() > name.size() && line[name.size()] == ':' &&
        strncasecmp(line.c_str(), name.c_str(), name.size()) == 0) {
      const std::size_t value = line.find_first_not_of(' ', name.size() + 1);
      return value == std::string::npos ? std::string() : line.substr(value);
    }
    at = end;
  }
  return {};
}

RawServer::RawServer(Reply reply) : reply_(std::move(reply)) {
  listener_ = listen_on_loopback(port_);
  thread_ = std::thread([this] { run(); });
}

RawServer::~RawServer() {
  stopping_ = true;
  thread_.join();
  close(listener_);
}

void RawServer::run() {
  while (!stopping_) {
    pollfd p{listener_, POLLIN, 0};
    if (poll(&p, 1, 50) <= 0) continue;
    const int socket = accept(listener_, nullptr, nullptr);
    if (socket < 0) continue;
    ++connections_;
    RawRequest request = read_request(socket);
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(request);
    }
    reply_(socket, request);
    close(socket);
  }
}

std::vector<RawRequest> RawServer::requests() {
  std::lock_guard lock(mutex_);
  return requests_;
}

void RawServer::stall(int seconds) const {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!stopping_ && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void RawServer::send_all(int socket, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
}

int closed_port() {
  int port = 0;
  const int fd = listen_on_loopback(port);
  close(fd);
  return port;
}

}  // namespace quill::testing
