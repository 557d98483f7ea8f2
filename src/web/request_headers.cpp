#include "web/request_headers.h"

#include <algorithm>

#include "catalogue/text_rules.h"

namespace quill {
namespace {

struct DefaultHeader {
  std::string_view needle;
  bool fold_case;
  std::string_view line;
};

constexpr DefaultHeader default_headers[] = {
    {"User-Agent: ", true, "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"},
    {"Accept: ", true, "Accept: text/html, application/xhtml+xml, */*\r\n"},
    {"Accept-Encoding: ", true, "Accept-Encoding: gbk, GB2312\r\n"},
    {"Accept-Language: ", true, "Accept-Language: zh-cn\r\n"},
    // No space after the colon, and letter case matters: a caller's
    // "content-type: ..." line still gets the default one after it.
    {"Content-Type:", false, "Content-Type: application/x-www-form-urlencoded\r\n"},
    {"Cache-Control: ", true, "Cache-Control: no-cache\r\n"},
};

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
           return fold(x) == fold(y);
         });
}

}  // namespace

std::string build_header_block(std::string_view extra_headers, std::string_view cookies) {
  std::string block(extra_headers);
  if (!block.empty()) block += "\r\n";
  for (const DefaultHeader& header : default_headers) {
    if (locate(block, header.needle, 1, header.fold_case) < 1) block += header.line;
  }
  if (!cookies.empty() && locate(block, "Cookie: ", 1, true) < 1) {
    block += "Cookie: ";
    block += cookies;
    block += "\r\n";
  }
  return block;
}

bool header_lines(std::string_view block, std::vector<std::string>& lines) {
  lines.clear();
  std::vector<std::string> names;
  for (std::string& line : split_on(block, "\r\n")) {
    if (line.empty()) continue;
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    std::string name = line.substr(0, colon);
    auto same = std::find_if(names.begin(), names.end(), [&](const std::string& n) { return same_name(n, name); });
    if (same != names.end()) {
      lines[same - names.begin()] = std::move(line);
    } else {
      names.push_back(std::move(name));
      lines.push_back(std::move(line));
    }
  }
  return true;
}

}  // namespace quill
