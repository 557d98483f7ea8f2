#include "web/request_target.h"

#include <curl/curl.h>

#include <memory>

#include "catalogue/text_rules.h"

namespace quill {
namespace {

struct UrlFree {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlText {
  void operator()(char* text) const { curl_free(text); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlFree>;

std::string url_part(CURLU* url, CURLUPart part, unsigned flags = 0) {
  char* raw = nullptr;
  if (curl_url_get(url, part, &raw, flags) != CURLUE_OK) return {};
  std::unique_ptr<char, CurlText> owned(raw);
  return raw;
}

bool has_scheme(std::string_view url, std::string_view scheme) {
  return url.size() >= scheme.size() && locate(url.substr(0, scheme.size()), scheme, 1, true) == 1;
}

}  // namespace

bool is_secure_url(std::string_view url) { return has_scheme(url, "https://"); }

bool split_url(const std::string& text, RequestTarget& target) {
  if (!has_scheme(text, "http://") && !has_scheme(text, "https://")) return false;
  const std::size_t authority = text.find("://") + 3;
  const std::size_t authority_end = text.find_first_of("/?#", authority);
  if (authority_end == authority) return false;  // libcurl would skip extra slashes to a host
  UrlHandle url(curl_url());
  if (!url || curl_url_set(url.get(), CURLUPART_URL, text.c_str(), CURLU_PATH_AS_IS) != CURLUE_OK) return false;
  const std::string host = url_part(url.get(), CURLUPART_HOST);
  if (host.empty()) return false;
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
  target.secure = is_secure_url(text);
  return !target.url.empty();
}

std::string url_origin(const std::string& text) {
  UrlHandle url(curl_url());
  if (!url || curl_url_set(url.get(), CURLUPART_URL, text.c_str(), 0) != CURLUE_OK) return {};
  return url_part(url.get(), CURLUPART_HOST) + ":" + url_part(url.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
}

}  // namespace quill
