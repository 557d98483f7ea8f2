#include "web/http_client.h"

#include <curl/curl.h>

#include <memory>

#include "platform/codepage.h"

namespace quill {

namespace {

struct CurlGlobal final {
  CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
};

size_t append_body(char* data, size_t size, size_t count, void* user) {
  static_cast<std::string*>(user)->append(data, size * count);
  return size * count;
}

}  // namespace

std::string http_fetch(const std::string& url, int, const std::string&, std::string*, std::string*,
                       const std::string&, std::string*, bool, const std::string&, const std::string&,
                       const std::string&, const std::string&, const std::string&, int, std::string*,
                       std::string* status_text, std::string* body_bytes) {
  static CurlGlobal global;
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> easy(curl_easy_init(), curl_easy_cleanup);
  std::string body;
  curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
  curl_easy_setopt(easy.get(), CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(easy.get(), CURLOPT_PROXY, "");
  curl_easy_setopt(easy.get(), CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy.get(), CURLOPT_WRITEFUNCTION, append_body);
  curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &body);
  if (curl_easy_perform(easy.get()) != CURLE_OK) {
    if (status_text) *status_text = gbk("712 服务器未响应!");
    return {};
  }
  std::string text = body.substr(0, body.find('\0'));
  if (body_bytes) *body_bytes = std::move(body);
  return text;
}

}  // namespace quill
