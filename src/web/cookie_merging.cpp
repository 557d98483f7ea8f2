#include "web/cookie_merging.h"

#include <algorithm>
#include <vector>

#include "catalogue/text_rules.h"

namespace quill {
namespace {

std::string cookie_name(std::string_view pair) {
  return strip_spaces(pair.substr(0, std::min(pair.find('='), pair.size())));
}

bool is_deletion(std::string_view pair) { return pair.ends_with("=deleted"); }

}  // namespace

std::string merge_cookies(std::string& old_cookies, std::string& new_cookies) {
  old_cookies = drop_all_spaces(old_cookies);
  new_cookies = drop_all_spaces(new_cookies);
  std::vector<std::string> merged = split_on(new_cookies, ";");
  for (std::string& pair : split_on(old_cookies, ";")) {
    const std::string name = cookie_name(pair);
    const bool present =
        std::any_of(merged.begin(), merged.end(), [&](const std::string& p) { return cookie_name(p) == name; });
    if (!present) merged.push_back(std::move(pair));
  }
  std::string text;
  for (const std::string& pair : merged) {
    if (is_deletion(pair)) continue;
    text += pair;
    text += "; ";
  }
  if (!text.empty()) text.resize(text.size() - 2);
  old_cookies = join_distinct(text, "; ");
  return old_cookies;
}

std::string join_distinct(std::string_view text, std::string_view separator) {
  std::vector<std::string> taken;
  std::string out;
  for (std::string& piece : split_on(text, separator)) {
    if (std::find(taken.begin(), taken.end(), piece) != taken.end()) continue;
    out += piece;
    out += separator;
    taken.push_back(std::move(piece));
  }
  out.resize(out.size() >= separator.size() ? out.size() - separator.size() : 0);
  return out;
}

}  // namespace quill
