#pragma once
// One synchronous HTTP/1.1 request over libcurl, returning the body as system
// text (GBK). Every call uses its own easy handle and its own connections;
// nothing is shared between calls, so any thread may call at any time, also
// several at once. Failures are results: the return value is empty text and
// `status_text` receives one of the numbered messages 700 to 713:
//   701 the URL is not an absolute "http://" or "https://" URL with a host;
//   711 no connection (refused, unresolvable, TLS handshake or certificate
//       failure, a proxy refusing the tunnel) or the request could not be sent;
//   712 no complete response header block (closed, not HTTP, timed out, more
//       than libcurl's 300 KiB of headers, more than 10 redirects).
// A body read that breaks off is no failure: the partial body is decoded and
// `status_text` holds the status, as for any HTTP status (404, 500, ...).
//
// Texts are GBK byte strings; `body_bytes` holds the bytes exactly as
// received, zero bytes included. Output parameters are optional (null is
// ignored); a caller's variable is left as it was when the step that writes it
// does not run. `cookies` is in/out and its mere presence matters: when
// supplied (even empty) libcurl's cookie engine is on for the call, so cookies
// set on a redirect reach the followed request, and the response's cookies are
// merged into it; when null, no cookie is sent but a Cookie header line.
//
// Request headers: `extra_headers` (lines separated by "\r\n") followed by the
// browser-like defaults it lacks (see request_headers.h); of two lines with one
// name the later one is sent. Timeouts: `timeout_seconds` (0 or less: 30)
// bounds resolving plus connecting, and any stretch in which nothing is sent or
// received. Redirects are followed (at most 10) unless `no_redirect`, but never
// from https to http; server credentials go only to the first URL's host and
// port. A `proxy` ("host:port") serves every request of an https URL and only
// the http requests of an http URL. Certificates are verified for https.
// Environment proxy settings are never used. Not supported: certificate
// revocation checks.

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
