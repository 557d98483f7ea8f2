#include "web/http_client.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "platform/codepage.h"
#include "platform/com.h"
#include "web/loopback_servers.h"

namespace quill {
namespace {

using testing::HttplibServer;
using testing::RawRequest;
using testing::RawServer;

constexpr const char* untouched = "untouched";

// One call with every parameter named; outputs start as "untouched" so that
// tests see which ones the call wrote.
struct Fetch {
  std::string url{};
  int method = 0;
  std::string body{};
  std::optional<std::string> cookies{};
  std::string extra_headers{};
  bool no_redirect = false;
  std::string user_name{};
  std::string password{};
  std::string proxy{};
  std::string proxy_user_name{};
  std::string proxy_password{};
  int timeout_seconds = 0;

  std::string returned_cookies = untouched, returned_headers = untouched, redirect_location = untouched,
              status_text = untouched, body_bytes = untouched;
  std::string result{};
  int com_before = 0, com_after = 0;

  Fetch& run() {
    com_before = platform::com_init_count();
    result = http_fetch(url, method, body, cookies ? &*cookies : nullptr, &returned_cookies, extra_headers,
                        &returned_headers, no_redirect, user_name, password, proxy, proxy_user_name, proxy_password,
                        timeout_seconds, &redirect_location, &status_text, &body_bytes);
    com_after = platform::com_init_count();
    return *this;
  }
};

std::string reply(std::string_view status, std::string_view headers, std::string_view body) {
  return "HTTP/1.1 " + std::string(status) + "\r\n" + std::string(headers) +
         "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + std::string(body);
}

RawServer::Reply answer(std::string response) {
  return [response](int socket, const RawRequest&) { RawServer::send_all(socket, response); };
}

int header_count(const RawRequest& request, const std::string& name) {
  int count = 0;
  for (std::size_t at = request.head.find("\r\n"); at != std::string::npos; at = request.head.find("\r\n", at + 2)) {
    if (strncasecmp(request.head.c_str() + at + 2, (name + ":").c_str(), name.size() + 1) == 0) ++count;
  }
  return count;
}

TEST(HttpFetch, PlainGetSendsDefaultHeadersAndReturnsTheResponse) {
  HttplibServer server;
  httplib::Headers seen;
  server.routes().Get("/page", [&](const httplib::Request& request, httplib::Response& response) {
    seen = request.headers;
    response.set_content("<html>hello</html>", "text/html");
  });
  server.start();
  Fetch fetch{.url = server.base() + "/page"};
  fetch.run();

  EXPECT_EQ(fetch.result, "<html>hello</html>");
  EXPECT_EQ(fetch.body_bytes, "<html>hello</html>");
  EXPECT_EQ(fetch.status_text, "200 OK");
  EXPECT_TRUE(fetch.returned_headers.starts_with("HTTP/1.1 200 OK\r\n")) << fetch.returned_headers;
  EXPECT_TRUE(fetch.returned_headers.ends_with("\r\n\r\n")) << fetch.returned_headers;
  EXPECT_EQ(fetch.returned_cookies, "");
  EXPECT_EQ(fetch.redirect_location, untouched);
  EXPECT_EQ(fetch.com_after, fetch.com_before);

  const std::pair<const char*, const char*> expected[] = {
      {"User-Agent", "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)"},
      {"Accept", "text/html, application/xhtml+xml, */*"},
      {"Accept-Encoding", "gbk, GB2312"},
      {"Accept-Language", "zh-cn"},
      {"Content-Type", "application/x-www-form-urlencoded"},
      {"Cache-Control", "no-cache"},
  };
  for (const auto& [name, value] : expected) {
    EXPECT_EQ(seen.count(name), 1u) << name;
    auto it = seen.find(name);
    EXPECT_EQ(it == seen.end() ? "" : it->second, value) << name;
  }
  EXPECT_EQ(seen.count("Cookie"), 0u);
  EXPECT_EQ(seen.count("Authorization"), 0u);
}

TEST(HttpFetch, CallerHeadersAgainstDefaultNeedles) {
  struct Case {
    const char* extra;
    const char* name;
    const char* value;  // the one line of that name the server receives
  };
  const Case cases[] = {
      {"user-agent: X", "User-Agent", "X"},  // folded needle: no default line
      {"ACCEPT: a/b\r\nX-One: 1", "Accept", "a/b"},
      {"ACCEPT: a/b\r\nX-One: 1", "X-One", "1"},
      {"Content-Type: text/plain", "Content-Type", "text/plain"},
      // Exact needle: the default line is added after the caller's and wins.
      {"content-type: text/plain", "Content-Type", "application/x-www-form-urlencoded"},
      {"Cache-Control: max-age=0", "Cache-Control", "max-age=0"},
  };
  RawServer server(answer(reply("200 OK", "", "ok")));
  for (const Case& c : cases) {
    Fetch fetch{.url = server.base() + "/", .extra_headers = c.extra};
    EXPECT_EQ(fetch.run().result, "ok") << c.extra;
    const RawRequest request = server.requests().back();
    EXPECT_EQ(header_count(request, c.name), 1) << c.extra << "\n" << request.head;
    EXPECT_EQ(request.header(c.name), c.value) << c.extra;
  }
  Fetch broken{.url = server.base() + "/", .extra_headers = "no colon here"};
  EXPECT_EQ(broken.run().result, "");
  EXPECT_EQ(broken.status_text, gbk("710 设置协议头失败!"));
  EXPECT_EQ(broken.com_after, broken.com_before);
}

TEST(HttpFetch, CookieLine) {
  struct Case {
    const char* name;
    std::optional<std::string> cookies;
    const char* extra;
    const char* sent;  // nullptr: no Cookie line
  };
  const Case cases[] = {
      {"cookies alone", "a=1", "", "a=1"},
      {"caller's Cookie line wins", "a=1", "Cookie: b=2", "b=2"},
      {"lower-case caller line", "a=1", "cookie: b=2", "b=2"},
      {"empty variable", std::string(), "", nullptr},
      {"no variable", std::nullopt, "", nullptr},
  };
  RawServer server(answer(reply("200 OK", "", "ok")));
  for (const Case& c : cases) {
    Fetch fetch{.url = server.base() + "/", .cookies = c.cookies, .extra_headers = c.extra};
    fetch.run();
    const RawRequest request = server.requests().back();
    EXPECT_EQ(header_count(request, "Cookie"), c.sent ? 1 : 0) << c.name;
    if (c.sent) {
      EXPECT_EQ(request.header("Cookie"), c.sent) << c.name;
    }
  }
}

TEST(HttpFetch, SetCookieLines) {
  RawServer server(answer(reply("200 OK", "set-cookie: sid=abc; path=/\r\nSet-Cookie: t=1\r\n", "ok")));
  Fetch plain{.url = server.base() + "/"};
  plain.run();
  EXPECT_EQ(plain.returned_cookies, "sid=abc; t=1");
  EXPECT_NE(plain.returned_headers.find("Set-Cookie: sid=abc; path=/\r\n"), std::string::npos);
  EXPECT_NE(plain.returned_headers.find("Set-Cookie: t=1\r\n"), std::string::npos);
  EXPECT_EQ(plain.returned_headers.find("set-cookie"), std::string::npos);

  // A supplied variable receives the merge, which strips the spaces of
  // returned_cookies as a side effect.
  Fetch merged{.url = server.base() + "/", .cookies = "t=0; x=5"};
  merged.run();
  EXPECT_EQ(merged.cookies, "sid=abc; t=1; x=5");
  EXPECT_EQ(merged.returned_cookies, "sid=abc;t=1");

  RawServer bare(answer(reply("200 OK", "", "ok")));
  Fetch none{.url = bare.base() + "/", .cookies = "k=v"};
  none.returned_cookies = "old=1";
  none.run();
  EXPECT_EQ(none.returned_cookies, "");
  EXPECT_EQ(none.cookies, "k=v");
}

class Redirects : public ::testing::Test {
 protected:
  void SetUp() override {
    server.routes().Get("/from", [](const httplib::Request&, httplib::Response& response) {
      response.status = 302;
      response.set_header("Location", "/to");
      response.set_header("Set-Cookie", "r=1; path=/");
      response.set_content("moved", "text/plain");
    });
    server.routes().Get("/to", [this](const httplib::Request& request, httplib::Response& response) {
      cookie_at_target = request.get_header_value("Cookie");
      response.set_content("arrived", "text/plain");
    });
    server.start();
  }
  HttplibServer server;
  std::string cookie_at_target = "never asked";
};

TEST_F(Redirects, NoRedirectReturnsThe302) {
  Fetch fetch{.url = server.base() + "/from", .no_redirect = true};
  fetch.run();
  EXPECT_EQ(fetch.status_text, "302 Found");
  EXPECT_EQ(fetch.redirect_location, "/to");
  EXPECT_EQ(fetch.result, "moved");
  EXPECT_EQ(fetch.returned_cookies, "r=1");
  EXPECT_EQ(cookie_at_target, "never asked");
}

TEST_F(Redirects, FollowedWithoutCookieEngineUnlessAVariableIsSupplied) {
  Fetch plain{.url = server.base() + "/from"};
  plain.run();
  EXPECT_EQ(plain.result, "arrived");
  EXPECT_EQ(plain.status_text, "200 OK");
  EXPECT_EQ(plain.redirect_location, untouched);  // the final response has no Location
  EXPECT_EQ(cookie_at_target, "");

  Fetch with_cookies{.url = server.base() + "/from", .cookies = std::string()};
  with_cookies.run();
  EXPECT_EQ(with_cookies.result, "arrived");
  EXPECT_EQ(cookie_at_target, "r=1");
}

TEST(HttpFetch, BasicCredentials) {
  HttplibServer server;
  std::string authorization;
  server.routes().Get("/", [&](const httplib::Request& request, httplib::Response& response) {
    authorization = request.get_header_value("Authorization");
    response.set_content("ok", "text/plain");
  });
  server.start();
  Fetch both{.url = server.base() + "/", .user_name = "alice", .password = "secret"};
  EXPECT_EQ(both.run().result, "ok");
  EXPECT_EQ(authorization, "Basic YWxpY2U6c2VjcmV0");
  Fetch half{.url = server.base() + "/", .user_name = "alice"};
  EXPECT_EQ(half.run().result, "ok");
  EXPECT_EQ(authorization, "");
}

TEST(HttpFetch, ProxyServesHttpAndTunnelsHttps) {
  RawServer proxy([](int socket, const RawRequest& request) {
    if (request.request_line().starts_with("CONNECT")) {
      RawServer::send_all(socket, "HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n");
    } else {
      RawServer::send_all(socket, reply("200 OK", "", "from proxy"));
    }
  });
  const std::string address = "127.0.0.1:" + std::to_string(proxy.port());
  Fetch http{
      .url = "http://books.invalid/list?page=2", .proxy = address, .proxy_user_name = "pu", .proxy_password = "pp"};
  EXPECT_EQ(http.run().result, "from proxy");
  ASSERT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(proxy.requests()[0].request_line(), "GET http://books.invalid/list?page=2 HTTP/1.1");
  EXPECT_EQ(proxy.requests()[0].header("Proxy-Authorization"), "Basic cHU6cHA=");

  Fetch https{.url = "https://books.invalid/", .proxy = address, .proxy_user_name = "pu", .proxy_password = "pp"};
  EXPECT_EQ(https.run().result, "");
  EXPECT_EQ(https.status_text, gbk("711 发送请求失败!"));
  ASSERT_EQ(proxy.requests().size(), 2u);
  EXPECT_EQ(proxy.requests()[1].request_line(), "CONNECT books.invalid:443 HTTP/1.1");
  EXPECT_EQ(proxy.requests()[1].header("Proxy-Authorization"), "Basic cHU6cHA=");
}

TEST(HttpFetch, HttpProxyDoesNotServeAnHttpsRedirect) {
  RawServer tls_target([](int, const RawRequest&) {});  // records the hello, answers nothing
  const std::string target = "https://127.0.0.1:" + std::to_string(tls_target.port()) + "/";
  RawServer proxy(answer(reply("302 Found", "Location: " + target + "\r\n", "")));
  Fetch fetch{
      .url = "http://books.invalid/", .proxy = "127.0.0.1:" + std::to_string(proxy.port()), .timeout_seconds = 2};
  EXPECT_EQ(fetch.run().result, "");
  EXPECT_EQ(fetch.status_text, gbk("711 发送请求失败!"));
  EXPECT_EQ(proxy.requests().size(), 1u);
  EXPECT_EQ(tls_target.connections(), 1);  // reached directly
}

TEST(HttpFetch, FailuresBeforeTheResponse) {
  RawServer garbage(answer("hello there\r\n"));
  RawServer hang_up([](int, const RawRequest&) {});
  HttplibServer plain;
  plain.start();
  // The stalled server keeps the connection open until it stops.
  RawServer* stall_ptr = nullptr;
  RawServer staller([&](int, const RawRequest&) {
    if (stall_ptr) stall_ptr->stall(10);
  });
  stall_ptr = &staller;

  struct Case {
    std::string name, url;
    const char* message;
    int timeout;
  };
  const std::string port = std::to_string(testing::closed_port());
  const Case cases[] = {
      {"refused port", "http://127.0.0.1:" + port + "/", "711 发送请求失败!", 0},
      {"TLS to a plain server", "https" + plain.base().substr(4) + "/", "711 发送请求失败!", 0},
      {"stalled before headers", staller.base() + "/", "712 服务器未响应!", 1},
      {"not HTTP", garbage.base() + "/", "712 服务器未响应!", 0},
      {"closed without answer", hang_up.base() + "/", "712 服务器未响应!", 0},
      {"bare path", "/index.html", "701 解析URL地址失败!", 0},
      {"no scheme", "127.0.0.1/index.html", "701 解析URL地址失败!", 0},
      {"other scheme", "ftp://127.0.0.1/", "701 解析URL地址失败!", 0},
      {"no host", "http:///x", "701 解析URL地址失败!", 0},
      {"nothing after scheme", "http://", "701 解析URL地址失败!", 0},
      {"empty", "", "701 解析URL地址失败!", 0},
      {"bad port", "http://127.0.0.1:99999/", "701 解析URL地址失败!", 0},
  };
  for (const Case& c : cases) {
    Fetch fetch{.url = c.url, .cookies = "a=1", .timeout_seconds = c.timeout};
    fetch.run();
    EXPECT_EQ(fetch.result, "") << c.name;
    EXPECT_EQ(fetch.status_text, gbk(c.message)) << c.name;
    EXPECT_EQ(fetch.returned_headers, untouched) << c.name;
    EXPECT_EQ(fetch.returned_cookies, untouched) << c.name;
    EXPECT_EQ(fetch.body_bytes, untouched) << c.name;
    EXPECT_EQ(fetch.cookies, "a=1") << c.name;
    EXPECT_EQ(fetch.com_after, fetch.com_before) << c.name;
  }
}

TEST(HttpFetch, BodyBrokenHalfWayIsReturnedWithTheStatus) {
  const std::string half(5000, 'x');
  RawServer closes(answer("HTTP/1.1 200 OK\r\nContent-Length: 10000\r\n\r\n" + half));
  RawServer* stall_ptr = nullptr;
  RawServer stalls([&](int socket, const RawRequest&) {
    RawServer::send_all(socket, "HTTP/1.1 200 OK\r\nContent-Length: 10000\r\n\r\n" + half);
    if (stall_ptr) stall_ptr->stall(10);
  });
  stall_ptr = &stalls;
  for (RawServer* server : {&closes, &stalls}) {
    Fetch fetch{.url = server->base() + "/", .timeout_seconds = 1};
    fetch.run();
    EXPECT_EQ(fetch.result, half);
    EXPECT_EQ(fetch.body_bytes, half);
    EXPECT_EQ(fetch.status_text, "200 OK");
    EXPECT_TRUE(fetch.returned_headers.starts_with("HTTP/1.1 200 OK\r\n"));
  }
}

TEST(HttpFetch, RequestTargetAndMethod) {
  RawServer server(answer(reply("200 OK", "", "ok")));
  struct Case {
    std::string url_tail;
    int method;
    std::string body;
    std::string request_line;
  };
  const Case cases[] = {
      {"?x=1", 0, "", "GET / HTTP/1.1"},  // no path: "/" and the query dropped
      {"/p?x=1", 0, "", "GET /p?x=1 HTTP/1.1"}, {"/p#part", 0, "", "GET /p HTTP/1.1"},
      {"/m", 1, "k=v", "POST /m HTTP/1.1"},     {"/m", 2, "", "HEAD /m HTTP/1.1"},
      {"/m", 3, "k=v", "PUT /m HTTP/1.1"},      {"/m", 7, "", "GET /m HTTP/1.1"},
      {"/m", 0, "k=v", "GET /m HTTP/1.1"},  // a body goes with any verb
  };
  for (const Case& c : cases) {
    Fetch fetch{.url = server.base() + c.url_tail, .method = c.method, .body = c.body};
    fetch.run();
    EXPECT_EQ(fetch.status_text, "200 OK") << c.request_line;
    const RawRequest request = server.requests().back();
    EXPECT_EQ(request.request_line(), c.request_line);
    EXPECT_EQ(request.body, c.body) << c.request_line;
    EXPECT_EQ(header_count(request, "Expect"), 0) << c.request_line;
  }
}

TEST(HttpFetch, ErrorStatusesComeBackAsBodies) {
  HttplibServer server;
  server.routes().Get("/missing", [](const httplib::Request&, httplib::Response& response) {
    response.status = 404;
    response.set_content("no such page", "text/html");
  });
  server.routes().Get("/broken", [](const httplib::Request&, httplib::Response& response) {
    response.status = 500;
    response.set_content("server trouble", "text/html");
  });
  server.start();
  Fetch missing{.url = server.base() + "/missing"};
  EXPECT_EQ(missing.run().result, "no such page");
  EXPECT_EQ(missing.status_text, "404 Not Found");
  Fetch broken{.url = server.base() + "/broken"};
  EXPECT_EQ(broken.run().result, "server trouble");
  EXPECT_EQ(broken.status_text, "500 Internal Server Error");
}

TEST(HttpFetch, LargeHeaderBlocks) {
  auto filler = [](int lines) {
    std::string headers;
    for (int i = 0; i < lines; ++i) headers += "X-Filler-" + std::to_string(i) + ": " + std::string(1000, 'f') + "\r\n";
    return headers + "Location: /elsewhere\r\n";
  };
  // 200 KiB of headers are read whole; a 1 MiB block is refused like a
  // response that never came.
  RawServer large(answer(reply("200 OK", filler(200), "body after headers")));
  Fetch fetch{.url = large.base() + "/"};
  fetch.run();
  EXPECT_EQ(fetch.result, "body after headers");
  EXPECT_EQ(fetch.status_text, "200 OK");
  EXPECT_GT(fetch.returned_headers.size(), 200u * 1000u);
  EXPECT_EQ(fetch.redirect_location, "/elsewhere");

  RawServer huge(answer(reply("200 OK", filler(1024), "body after headers")));
  Fetch refused{.url = huge.base() + "/"};
  refused.run();
  EXPECT_EQ(refused.result, "");
  EXPECT_EQ(refused.status_text, gbk("712 服务器未响应!"));
  EXPECT_EQ(refused.returned_headers, untouched);
  EXPECT_EQ(refused.redirect_location, untouched);
}

TEST(HttpFetch, LargeBody) {
  const std::string page(20u << 20, 'q');
  HttplibServer server;
  server.routes().Get("/big", [&](const httplib::Request&, httplib::Response& response) {
    response.set_content(page, "application/octet-stream");
  });
  server.start();
  Fetch fetch{.url = server.base() + "/big"};
  fetch.run();
  EXPECT_EQ(fetch.result.size(), page.size());
  EXPECT_TRUE(fetch.result == page);
  EXPECT_TRUE(fetch.body_bytes == page);
  // Without a body_bytes variable the text is the received buffer itself.
  EXPECT_TRUE(http_fetch(server.base() + "/big") == page);
}

TEST(HttpFetch, ThreadsBalanceTheirOwnComCounts) {
  HttplibServer server;
  server.routes().Get(
      "/", [](const httplib::Request&, httplib::Response& response) { response.set_content("ok", "text/plain"); });
  server.start();
  std::vector<std::thread> threads;
  std::atomic<int> good{0};
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back([&] {
      platform::CoInitialize();  // a thread that already holds one
      Fetch fetch{.url = server.base() + "/"};
      fetch.run();
      if (fetch.result == "ok" && fetch.com_before == 1 && fetch.com_after == 1) ++good;
      platform::CoUninitialize();
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(good, 4);
}

}  // namespace
}  // namespace quill
