#include "web/http_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "catalogue/text_extraction.h"
#include "catalogue/text_rules.h"
#include "platform/codepage.h"
#include "platform/toolkit.h"
#include "web/cookie_merging.h"
#include "web/regex_matcher.h"
#include "web/request_headers.h"
#include "web/response_decoding.h"

namespace quill {
namespace {

enum class FetchError {
  no_http_service,
  bad_url,
  session,
  connection,
  request,
  timeouts,
  credentials,
  cookie_option,
  redirect_option,
  headers,
  sending,
  no_response,
  reading,
};

std::string message(FetchError error) {
  switch (error) {
    case FetchError::no_http_service:
      return gbk("700 当前系统不支持WinHttp服务!");
    case FetchError::bad_url:
      return gbk("701 解析URL地址失败!");
    case FetchError::session:
      return gbk("702 创建WinHttp会话失败!");
    case FetchError::connection:
      return gbk("703 创建WinHttp连接失败!");
    case FetchError::request:
      return gbk("704 创建WinHttp请求失败!");
    case FetchError::timeouts:
      return gbk("705 设置超时时间失败!");
    case FetchError::credentials:
      return gbk("707 设置代理凭证失败!");
    case FetchError::cookie_option:
      return gbk("708 禁止自动设置Cookies失败!");
    case FetchError::redirect_option:
      return gbk("709 重定向设置失败!");
    case FetchError::headers:
      return gbk("710 设置协议头失败!");
    case FetchError::sending:
      return gbk("711 发送请求失败!");
    case FetchError::no_response:
      return gbk("712 服务器未响应!");
    case FetchError::reading:
      return gbk("713 读取数据失败!");
  }
  return {};
}

struct EasyFree {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListFree {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct UrlFree {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlText {
  void operator()(char* text) const { curl_free(text); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlFree>;

// libcurl's global state, set up once, before the first request of any thread.
bool curl_ready() {
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
}

template <typename T>
bool set(CURL* easy, CURLoption option, T value) {
  return curl_easy_setopt(easy, option, value) == CURLE_OK;
}

std::string url_part(CURLU* url, CURLUPart part, unsigned flags = 0) {
  char* raw = nullptr;
  if (curl_url_get(url, part, &raw, flags) != CURLUE_OK) return {};
  std::unique_ptr<char, CurlText> owned(raw);
  return raw;
}

bool starts_with_folded(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && locate(text.substr(0, prefix.size()), prefix, 1, true) == 1;
}

bool is_secure(std::string_view url) { return starts_with_folded(url, "https://"); }

// The request target of a URL: absolute "http://" or "https://" URL with a
// host; an empty path asks for "/" and drops the query. The fragment and any
// user information are not sent.
struct Target {
  std::string url;
  std::string origin;  // host:port, where server credentials may go
  bool secure = false;
};

bool split_url(const std::string& text, Target& target) {
  const std::size_t scheme_end = text.find("://");
  if (scheme_end == std::string::npos) return false;
  if (!starts_with_folded(text, "http://") && !starts_with_folded(text, "https://")) return false;
  UrlHandle url(curl_url());
  if (!url || curl_url_set(url.get(), CURLUPART_URL, text.c_str(), CURLU_PATH_AS_IS) != CURLUE_OK) return false;
  const std::string host = url_part(url.get(), CURLUPART_HOST);
  if (host.empty()) return false;
  const std::size_t authority_end = text.find_first_of("/?#", scheme_end + 3);
  if (authority_end == scheme_end + 3) return false;  // libcurl would skip extra slashes to a host
  if (authority_end == std::string::npos || text[authority_end] != '/') {
    curl_url_set(url.get(), CURLUPART_PATH, "/", 0);
    curl_url_set(url.get(), CURLUPART_QUERY, nullptr, 0);
  }
  curl_url_set(url.get(), CURLUPART_FRAGMENT, nullptr, 0);
  curl_url_set(url.get(), CURLUPART_USER, nullptr, 0);
  curl_url_set(url.get(), CURLUPART_PASSWORD, nullptr, 0);
  curl_url_set(url.get(), CURLUPART_OPTIONS, nullptr, 0);
  target.url = url_part(url.get(), CURLUPART_URL);
  target.origin = host + ":" + url_part(url.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
  target.secure = is_secure(text);
  return !target.url.empty();
}

std::string origin_of(const std::string& text) {
  UrlHandle url(curl_url());
  if (!url || curl_url_set(url.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) return {};
  return url_part(url.get(), CURLUPART_HOST) + ":" + url_part(url.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
}

// What one transfer brought back. The header block is that of the latest
// response (a 1xx block is replaced by the one after it), its lines ended by
// "\r\n" whatever the server used.
struct Exchange {
  CURL* easy = nullptr;
  std::string headers;
  long status = 0;
  bool headers_complete = false;
  bool connected = false;
  bool reserved = false;
  std::string body;

  void start_hop() {
    headers.clear();
    status = 0;
    headers_complete = false;
    connected = false;
    reserved = false;
    body.clear();
  }
};

size_t on_header(char* data, size_t size, size_t count, void* user) {
  auto& exchange = *static_cast<Exchange*>(user);
  const size_t length = size * count;
  std::string_view line(data, length);
  if (line.starts_with("HTTP/")) {
    const std::size_t space = line.find(' ');
    const long status = space == std::string_view::npos ? 0 : std::atol(std::string(line.substr(space + 1, 3)).c_str());
    exchange.start_hop();
    exchange.connected = true;
    exchange.status = status;
  } else if (exchange.headers_complete) {
    return length;  // trailers after a chunked body
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  exchange.headers.append(line);
  exchange.headers += "\r\n";
  if (line.empty() && (exchange.status < 100 || exchange.status >= 200)) exchange.headers_complete = true;
  return length;
}

size_t on_body(char* data, size_t size, size_t count, void* user) {
  auto& exchange = *static_cast<Exchange*>(user);
  if (!exchange.reserved) {
    // One allocation for the announced size, within reason.
    curl_off_t length = -1;
    curl_easy_getinfo(exchange.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
    constexpr curl_off_t reserve_limit = curl_off_t{256} << 20;
    if (length > 0) exchange.body.reserve(static_cast<std::size_t>(std::min(length, reserve_limit)));
    exchange.reserved = true;
  }
  exchange.body.append(data, size * count);
  return size * count;
}

int on_connected(void* user, char*, char*, int, int) {
  static_cast<Exchange*>(user)->connected = true;
  return CURL_PREREQFUNC_OK;
}

const char* verb_of(int method) {
  switch (method) {
    case 1:
      return "POST";
    case 2:
      return "HEAD";
    case 3:
      return "PUT";
    default:
      return "GET";
  }
}

// The verb and body of one request on the handle, undoing those of the last.
bool set_method(CURL* easy, std::string_view verb, const std::string& body) {
  const bool head = verb == "HEAD";
  if (verb == "GET" && body.empty()) {
    return set(easy, CURLOPT_HTTPGET, 1L) && set(easy, CURLOPT_CUSTOMREQUEST, static_cast<char*>(nullptr));
  }
  if (head && body.empty()) {
    return set(easy, CURLOPT_CUSTOMREQUEST, static_cast<char*>(nullptr)) && set(easy, CURLOPT_NOBODY, 1L);
  }
  // A body goes with any verb, exactly as given; no response body after HEAD.
  return set(easy, CURLOPT_NOBODY, head ? 1L : 0L) &&
         set(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size())) &&
         set(easy, CURLOPT_POSTFIELDS, body.data()) &&
         set(easy, CURLOPT_CUSTOMREQUEST, verb == "POST" ? nullptr : std::string(verb).c_str());
}

bool is_redirect(long status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

constexpr int max_redirects = 10;

}  // namespace

std::string http_fetch(const std::string& url, int method, const std::string& body, std::string* cookies,
                       std::string* returned_cookies, const std::string& extra_headers, std::string* returned_headers,
                       bool no_redirect, const std::string& user_name, const std::string& password,
                       const std::string& proxy, const std::string& proxy_user_name, const std::string& proxy_password,
                       int timeout_seconds, std::string* redirect_location, std::string* status_text,
                       std::string* body_bytes) {
  RegexMatcher matcher;
  auto fail = [&](FetchError error) {
    if (status_text) *status_text = message(error);
    toolkit::process_pending_events();
    return std::string();
  };
  if (!curl_ready()) return fail(FetchError::no_http_service);
  Target target;
  if (!split_url(url, target)) return fail(FetchError::bad_url);

  std::unique_ptr<CURL, EasyFree> handle(curl_easy_init());
  if (!handle) return fail(FetchError::session);
  CURL* easy = handle.get();
  Exchange exchange;
  exchange.easy = easy;
  // Never the environment's proxy variables: no proxy means none.
  if (!set(easy, CURLOPT_NOSIGNAL, 1L) || !set(easy, CURLOPT_NOPROXY, "") ||
      !set(easy, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP)) ||
      !set(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L)) {
    return fail(FetchError::session);
  }
  if (!set(easy, CURLOPT_PROTOCOLS_STR, "http,https") || !set(easy, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1)) {
    return fail(FetchError::connection);
  }
  const char* verb = verb_of(method);
  if (!set(easy, CURLOPT_HEADERFUNCTION, on_header) || !set(easy, CURLOPT_HEADERDATA, &exchange) ||
      !set(easy, CURLOPT_WRITEFUNCTION, on_body) || !set(easy, CURLOPT_WRITEDATA, &exchange) ||
      !set(easy, CURLOPT_PREREQFUNCTION, on_connected) || !set(easy, CURLOPT_PREREQDATA, &exchange) ||
      !set_method(easy, verb, body)) {
    return fail(FetchError::request);
  }
  const long timeout_ms = timeout_seconds > 0 ? timeout_seconds * 1000L : 30000L;
  // Resolving and connecting share one limit; sending and receiving fail
  // when nothing moves for as long.
  if (!set(easy, CURLOPT_CONNECTTIMEOUT_MS, timeout_ms) || !set(easy, CURLOPT_LOW_SPEED_LIMIT, 1L) ||
      !set(easy, CURLOPT_LOW_SPEED_TIME, timeout_ms / 1000)) {
    return fail(FetchError::timeouts);
  }
  const bool server_credentials = !user_name.empty() && !password.empty();
  if (server_credentials) {
    if (!set(easy, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC)) ||
        !set(easy, CURLOPT_USERNAME, user_name.c_str()) || !set(easy, CURLOPT_PASSWORD, password.c_str())) {
      return fail(FetchError::credentials);
    }
  }
  if (!proxy_user_name.empty() && !proxy_password.empty()) {
    if (!set(easy, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC)) ||
        !set(easy, CURLOPT_PROXYUSERNAME, proxy_user_name.c_str()) ||
        !set(easy, CURLOPT_PROXYPASSWORD, proxy_password.c_str())) {
      return fail(FetchError::credentials);
    }
  }
  // A cookie variable keeps libcurl's cookie engine on for this call, so that
  // cookies set by a redirect reach the followed request; without one, no
  // cookie is sent or stored but those of the header block.
  if (cookies && !set(easy, CURLOPT_COOKIEFILE, "")) return fail(FetchError::cookie_option);
  // Redirects are followed here, not by libcurl, to keep the proxy rule.
  if (!set(easy, CURLOPT_FOLLOWLOCATION, 0L)) return fail(FetchError::redirect_option);

  std::vector<std::string> lines;
  if (!header_lines(build_header_block(extra_headers, cookies ? *cookies : std::string()), lines)) {
    return fail(FetchError::headers);
  }
  const bool has_expect =
      std::any_of(lines.begin(), lines.end(), [](const std::string& l) { return starts_with_folded(l, "Expect:"); });
  if (!has_expect) lines.push_back("Expect:");  // no "100-continue" round trip
  std::unique_ptr<curl_slist, ListFree> header_list;
  for (const std::string& line : lines) {
    curl_slist* longer = curl_slist_append(header_list.get(), line.c_str());
    if (!longer) return fail(FetchError::headers);
    header_list.release();
    header_list.reset(longer);
  }
  if (!set(easy, CURLOPT_HTTPHEADER, header_list.get())) return fail(FetchError::headers);

  // One request per hop; the proxy serves only http URLs unless the first URL
  // was https, server credentials go only to the first URL's host and port,
  // and an https page is never followed to an http one.
  std::string hop_url = target.url;
  std::string hop_verb = verb;
  bool read_failed = false;
  for (int redirects = 0;; ++redirects) {
    const bool use_proxy = !proxy.empty() && (target.secure || !is_secure(hop_url));
    if (!set(easy, CURLOPT_URL, hop_url.c_str()) || !set(easy, CURLOPT_PROXY, use_proxy ? proxy.c_str() : "")) {
      return fail(FetchError::connection);
    }
    if (redirects > 0 && server_credentials && origin_of(hop_url) != target.origin) {
      set(easy, CURLOPT_USERNAME, "");
      set(easy, CURLOPT_PASSWORD, "");
      set(easy, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_NONE));
    }
    exchange.start_hop();
    const CURLcode code = curl_easy_perform(easy);
    if (!exchange.headers_complete) {
      return fail(!exchange.connected || code == CURLE_SEND_ERROR ? FetchError::sending : FetchError::no_response);
    }
    if (code != CURLE_OK) {
      read_failed = true;  // the partial body stands
      break;
    }
    char* next = nullptr;
    if (no_redirect || !is_redirect(exchange.status) ||
        curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &next) != CURLE_OK || !next) {
      break;
    }
    if (is_secure(hop_url) && !is_secure(next)) break;
    if (redirects == max_redirects) return fail(FetchError::no_response);
    if ((exchange.status == 303 && hop_verb != "HEAD") ||
        ((exchange.status == 301 || exchange.status == 302) && hop_verb == "POST")) {
      hop_verb = "GET";
      if (!set_method(easy, hop_verb, std::string())) return fail(FetchError::request);
    }
    hop_url = next;
  }
  if (read_failed && status_text) *status_text = message(FetchError::reading);

  std::string headers = std::move(exchange.headers);
  headers.resize(std::min(headers.find('\0'), headers.size()));
  for (int at = locate(headers, "Set-Cookie", 1, true); at > 0; at = locate(headers, "Set-Cookie", at + 10, true)) {
    headers.replace(at - 1, 10, "Set-Cookie");
  }
  const int line_end = locate(headers, "\r\n", 10);
  const std::string status = line_end > 0 ? take_piece(headers, 10, line_end - 10) : std::string();

  std::string cookie_list;
  std::string location;
  bool has_location = false;
  for (const std::string& line : split_on(headers, "\r\n")) {
    if (locate(line, "Set-Cookie") > 0) {
      std::string value;
      if (locate(line, ";") > 0) {
        value = text_between(line, "Set-Cookie:", ";");
      } else {
        value = line;
        for (int at = locate(value, "Set-Cookie:"); at > 0; at = locate(value, "Set-Cookie:", at)) {
          value.erase(at - 1, 11);
        }
      }
      cookie_list += strip_spaces(value);
      cookie_list += "; ";
    }
    if (starts_with_folded(line, "Location: ")) {
      location = line.substr(10);
      has_location = true;
    }
    toolkit::process_pending_events();
  }
  if (!cookie_list.empty()) cookie_list.resize(cookie_list.size() - 2);
  if (cookies) merge_cookies(*cookies, cookie_list);

  if (status_text) *status_text = status;
  if (redirect_location && has_location) *redirect_location = location;
  if (returned_cookies) *returned_cookies = std::move(cookie_list);
  if (returned_headers) *returned_headers = std::move(headers);
  if (!body_bytes) return decode_response_text(std::move(exchange.body), matcher);
  std::string text = decode_response_text(exchange.body, matcher);
  *body_bytes = std::move(exchange.body);
  return text;
}

}  // namespace quill
