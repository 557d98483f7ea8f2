#pragma once
// URLs as the HTTP client takes them, over libcurl's URL parser. Pure
// functions, any thread.

#include <string>
#include <string_view>

namespace quill {

struct RequestTarget {
  std::string url;      // what is requested
  std::string origin;   // "host:port", where server credentials may go
  bool secure = false;  // https
};

// Splits an absolute "http://" or "https://" URL (scheme in any letter case)
// with a host. A URL whose path is empty (the host followed by "?" or
// nothing) asks for "/" and its query is dropped; otherwise path and query
// stay as given. Fragments and user information are never sent. False when
// the URL cannot be split that way.
bool split_url(const std::string& text, RequestTarget& target);

// "host:port" of an absolute URL (default port filled in); empty when it has none.
std::string url_origin(const std::string& url);

bool is_secure_url(std::string_view url);

}  // namespace quill
