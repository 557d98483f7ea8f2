#include "catalogue/text_rules.h"

#include <cstring>

#include "platform/codepage.h"

namespace quill {
namespace {

bool is_lead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

bool equal_folded(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

// Finds occurrences of a needle's bytes (with or without ASCII folding) in
// increasing order, without regard to character boundaries.
class CandidateFinder final {
 public:
  CandidateFinder(std::string_view text, std::string_view needle, bool ignore_case)
      : text_(text), needle_(needle), ignore_case_(ignore_case) {
    char first = needle[0];
    lower_ = fold(first);
    upper_ = lower_ >= 'a' && lower_ <= 'z' ? static_cast<char>(lower_ - ('a' - 'A')) : lower_;
  }

  // First occurrence at byte offset >= pos, or npos.
  size_t next(size_t pos) {
    const size_t n = text_.size(), m = needle_.size();
    if (!ignore_case_) {
      if (pos + m > n) return npos;
      const void* hit = memmem(text_.data() + pos, n - pos, needle_.data(), m);
      return hit ? static_cast<const char*>(hit) - text_.data() : npos;
    }
    while (pos + m <= n) {
      size_t at = find_first_byte(pos, n - m + 1);
      if (at == npos) return npos;
      if (equal_folded(text_.data() + at + 1, needle_.data() + 1, m - 1)) return at;
      pos = at + 1;
    }
    return npos;
  }

  static constexpr size_t npos = std::string_view::npos;

 private:
  // The first byte equal to either case of the needle's first byte in [pos, end).
  size_t find_first_byte(size_t pos, size_t end) {
    const char* base = text_.data();
    auto* lo = static_cast<const char*>(memchr(base + pos, lower_, end - pos));
    if (upper_ == lower_) return lo ? lo - base : npos;
    size_t limit = lo ? lo - base : end;
    auto* up = static_cast<const char*>(memchr(base + pos, upper_, limit - pos));
    if (up) return up - base;
    return lo ? lo - base : npos;
  }

  std::string_view text_;
  std::string_view needle_;
  bool ignore_case_;
  char lower_;
  char upper_;
};

}  // namespace

int locate(std::string_view text, std::string_view needle, int from, bool ignore_case) {
  if (from < 1) from = 1;
  const size_t n = text.size();
  if (static_cast<size_t>(from) > n) return -1;
  if (needle.empty()) return 1;

  const size_t start = static_cast<size_t>(from) - 1;
  CandidateFinder finder(text, needle, ignore_case);
  // `boundary` is a known character start (stepping begins at `from`); a
  // candidate is a character start when the run of bytes >= 0x80 just before
  // it, counted back no further than `boundary`, has even length.
  size_t boundary = start;
  for (size_t c = finder.next(start); c != CandidateFinder::npos; c = finder.next(c + 1)) {
    size_t run_start = c;
    while (run_start > boundary && is_lead(text[run_start - 1])) --run_start;
    bool on_boundary = (c - run_start) % 2 == 0;
    // A lead byte at run_start - 1 < boundary cannot exist: boundary is a start.
    if (on_boundary) {
      // A lead byte with nothing after it ends the search.
      if (c + 1 == n && is_lead(text[c])) return -1;
      return static_cast<int>(c + 1);
    }
    boundary = c + 1;  // c is a second byte, so c + 1 starts a character
  }
  return -1;
}

std::string take_piece(std::string_view text, int start, int count) {
  if (start < 1 || static_cast<size_t>(start) > text.size() || count <= 0) return {};
  return std::string(text.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(count)));
}

std::string take_first(std::string_view text, int count) {
  if (count <= 0) return {};
  return std::string(text.substr(0, static_cast<size_t>(count)));
}

std::string take_last(std::string_view text, int count) {
  if (count <= 0) return {};
  size_t k = std::min(text.size(), static_cast<size_t>(count));
  return std::string(text.substr(text.size() - k));
}

namespace {

constexpr char kFullWidthSpace[] = "\xA1\xA1";

bool space_at_front(std::string_view t, size_t& width) {
  if (!t.empty() && t[0] == ' ') return width = 1, true;
  if (t.size() >= 2 && t.substr(0, 2) == kFullWidthSpace) return width = 2, true;
  return false;
}

bool space_at_back(std::string_view t, size_t& width) {
  if (!t.empty() && t.back() == ' ') return width = 1, true;
  if (t.size() >= 2 && t.substr(t.size() - 2) == kFullWidthSpace) return width = 2, true;
  return false;
}

}  // namespace

std::string strip_spaces(std::string_view text) {
  size_t width = 0;
  while (space_at_front(text, width)) text.remove_prefix(width);
  while (space_at_back(text, width)) text.remove_suffix(width);
  return std::string(text);
}

std::string drop_all_spaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (text[i] == ' ') {
      ++i;
    } else if (text.substr(i, 2) == kFullWidthSpace) {
      i += 2;
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

std::vector<std::string> split_on(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  int from = 1;
  for (;;) {
    int at = locate(text, separator, from);
    if (at == -1) break;
    pieces.emplace_back(text.substr(from - 1, at - from));
    from = at + static_cast<int>(separator.size());
  }
  if (static_cast<size_t>(from) <= text.size()) pieces.emplace_back(text.substr(from - 1));
  return pieces;
}

const std::string& quote_placeholder() {
  static const std::string placeholder = gbk("#引号");
  return placeholder;
}

std::string replace_quote_placeholder(std::string_view marker) {
  const std::string& placeholder = quote_placeholder();
  std::string out;
  out.reserve(marker.size());
  size_t pos = 0;
  for (size_t hit; (hit = marker.find(placeholder, pos)) != std::string_view::npos; pos = hit + placeholder.size()) {
    out.append(marker.substr(pos, hit - pos));
    out.push_back('"');
  }
  out.append(marker.substr(pos));
  return out;
}

}  // namespace quill
