#pragma once
// One synchronous HTTP request over libcurl, returning the body as system
// text (GBK). Every call uses its own easy handle and its own connection;
// nothing is shared between calls, so any thread may call at any time, also
// several at once. Failures are results: the return value is empty text and
// `status_text` receives one of the numbered messages 700 to 713.
//
// Texts are GBK byte strings; byte buffers (`body_bytes`) are std::string
// holding the bytes exactly as received, zero bytes included.
//
// Output parameters are optional (null pointers are ignored). A caller's
// variable is left as it was when the step that writes it does not run.
// `cookies` is in/out and its mere presence matters: when supplied (even
// empty) libcurl's cookie engine stays on for the call (so cookies set on a
// redirect reach the followed request) and the response's cookies are merged
// into it; when null, no cookie is sent or stored automatically.

#include <string>

namespace quill {

// Request verbs by `method`: 0 GET, 1 POST, 2 HEAD, 3 PUT, any other GET.
std::string http_fetch(const std::string& url, int method = 0, const std::string& body = {},
                       std::string* cookies = nullptr, std::string* returned_cookies = nullptr,
                       const std::string& extra_headers = {}, std::string* returned_headers = nullptr,
                       bool no_redirect = false, const std::string& user_name = {}, const std::string& password = {},
                       const std::string& proxy = {}, const std::string& proxy_user_name = {},
                       const std::string& proxy_password = {}, int timeout_seconds = 0,
                       std::string* redirect_location = nullptr, std::string* status_text = nullptr,
                       std::string* body_bytes = nullptr);

}  // namespace quill
