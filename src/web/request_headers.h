#pragma once
// The request header block of the HTTP client: the caller's lines followed by
// the browser-like defaults it lacks. Pure functions, any thread.

#include <string>
#include <string_view>
#include <vector>

namespace quill {

// `extra_headers` (lines separated by "\r\n", no final break) followed by
// "\r\n" when not empty, then each default line whose needle the block built
// so far lacks: "User-Agent: ", "Accept: ", "Accept-Encoding: ",
// "Accept-Language: " and "Cache-Control: " folding ASCII case, "Content-Type:"
// byte-exact, and "Cookie: " (folded) with `cookies` when `cookies` is not
// empty. Every line of the result ends in "\r\n".
std::string build_header_block(std::string_view extra_headers, std::string_view cookies);

// The block as single header lines, in order, a later line replacing an
// earlier one of the same name (ASCII case folded) in its place. Empty lines
// are skipped. False when a line has no name followed by ':'.
bool header_lines(std::string_view block, std::vector<std::string>& lines);

}  // namespace quill
