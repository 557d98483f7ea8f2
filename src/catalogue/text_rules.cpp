#include "catalogue/text_rules.h"

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "platform/codepage.h"

namespace quill {
namespace {

bool is_lead(char c) { return static_cast<unsigned char>(c) >= 0x80; }

char fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// How often a byte is expected in a catalogue page: 0 for control characters
// (line breaks), 2 for the bytes of markup and of Chinese text, 1 otherwise.
int commonness(char c) {
  auto b = static_cast<unsigned char>(c);
  if (b < 0x20) return 0;
  if (b >= 0x80) return 2;
  switch (c) {
    case '<':
    case '>':
    case '"':
    case '/':
    case '=':
    case ' ':
      return 2;
    default:
      return 1;
  }
}

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Start of the run of bytes >= 0x80 that ends just before `end`, looking back
// no further than `floor`; eight bytes at a time where it can.
size_t leads_before(std::string_view text, size_t end, size_t floor) {
  constexpr std::uint64_t high_bits = 0x8080808080808080ull;
  while (end - floor >= 8) {
    std::uint64_t word;
    memcpy(&word, text.data() + end - 8, 8);
    if ((word & high_bits) != high_bits) break;
    end -= 8;
  }
  while (end > floor && is_lead(text[end - 1])) --end;
  return end;
}

}  // namespace

// Finds occurrences of a needle's bytes (with or without ASCII folding) in
// increasing order, without regard to character boundaries. Vector passes
// keep start positions whose anchor byte (the needle's likely rarest, one
// whose case cannot differ when folding) and last byte both fit; memchr on
// the anchor finishes the text. Each such position is compared in full.

Locator::Locator(std::string_view needle, bool ignore_case)
    : needle_(needle), ignore_case_(ignore_case), folded_(needle), case_bits_(needle.size(), '\0') {
  anchor_ = needle_.size();
  int best = 4;
  for (size_t i = 0; i < needle_.size(); ++i) {
    if (ignore_case_ && is_letter(needle_[i])) {
      folded_[i] = fold(needle_[i]);
      case_bits_[i] = 0x20;
      continue;
    }
    int r = commonness(needle_[i]);
    if (r < best) best = r, anchor_ = i;
  }
  if (ignore_case_ && !needle_.empty()) {
    lower_ = fold(needle_[0]);
    upper_ = static_cast<char>(lower_ - ('a' - 'A'));
  }
}

// Whether the needle stands at `at`: a letter of a folded needle matches
// either case, since setting its case bit (0x20) gives the lower-case letter
// for both and for no other byte. Eight bytes at a time.
bool Locator::matches_at(const char* at) const {
  const size_t m = folded_.size();
  const char* want = folded_.data();
  const char* bits = case_bits_.data();
  size_t i = 0;
  for (; i + 8 <= m; i += 8) {
    std::uint64_t t, w, b;
    memcpy(&t, at + i, 8);
    memcpy(&w, want + i, 8);
    memcpy(&b, bits + i, 8);
    if ((t | b) != w) return false;
  }
  for (; i < m; ++i)
    if ((at[i] | bits[i]) != want[i]) return false;
  return true;
}

namespace {

// Start positions pos, pos + 1, ... below `stop` whose anchor byte and last
// byte fit, thirty-two at a time; the first that matches in full, or npos
// with `pos` where the pass ended.
template <typename Matches>
__attribute__((target("avx2"))) size_t scan_32(const char* base, size_t& pos, size_t stop, size_t anchor, size_t last,
                                               char anchor_byte, char last_byte, char last_case,
                                               const Matches& matches) {
  const __m256i anchor_bytes = _mm256_set1_epi8(anchor_byte);
  const __m256i last_bytes = _mm256_set1_epi8(last_byte);
  const __m256i last_cases = _mm256_set1_epi8(last_case);
  for (; pos + 32 <= stop; pos += 32) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(base + pos + anchor));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(base + pos + last));
    auto hits = static_cast<unsigned>(_mm256_movemask_epi8(_mm256_and_si256(
        _mm256_cmpeq_epi8(a, anchor_bytes), _mm256_cmpeq_epi8(_mm256_or_si256(b, last_cases), last_bytes))));
    for (; hits != 0; hits &= hits - 1) {
      const size_t at = pos + static_cast<size_t>(__builtin_ctz(hits));
      if (matches(at)) return at;
    }
  }
  return std::string_view::npos;
}

// The same sixteen at a time, with SSE2 only.
template <typename Matches>
size_t scan_16(const char* base, size_t& pos, size_t stop, size_t anchor, size_t last, char anchor_byte, char last_byte,
               char last_case, const Matches& matches) {
  const __m128i anchor_bytes = _mm_set1_epi8(anchor_byte);
  const __m128i last_bytes = _mm_set1_epi8(last_byte);
  const __m128i last_cases = _mm_set1_epi8(last_case);
  for (; pos + 16 <= stop; pos += 16) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + pos + anchor));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + pos + last));
    auto hits = static_cast<unsigned>(_mm_movemask_epi8(
        _mm_and_si128(_mm_cmpeq_epi8(a, anchor_bytes), _mm_cmpeq_epi8(_mm_or_si128(b, last_cases), last_bytes))));
    for (; hits != 0; hits &= hits - 1) {
      const size_t at = pos + static_cast<size_t>(__builtin_ctz(hits));
      if (matches(at)) return at;
    }
  }
  return std::string_view::npos;
}

const bool has_avx2 = __builtin_cpu_supports("avx2");

}  // namespace

// First occurrence at byte offset >= pos, or npos.
size_t Locator::next_candidate(std::string_view text, size_t pos) const {
  const size_t n = text.size(), m = needle_.size();
  if (pos + m > n) return npos;
  const char* base = text.data();
  if (anchor_ < m) {
    auto matches = [&](size_t at) { return matches_at(base + at); };
    const size_t stop = n - m + 1;  // one past the last possible start
    const char last_byte = folded_[m - 1], last_case = case_bits_[m - 1];
    size_t at = npos;
    if (has_avx2) at = scan_32(base, pos, stop, anchor_, m - 1, needle_[anchor_], last_byte, last_case, matches);
    if (at == npos) at = scan_16(base, pos, stop, anchor_, m - 1, needle_[anchor_], last_byte, last_case, matches);
    if (at != npos) return at;
    const char anchor = needle_[anchor_];
    const size_t last = n - m + anchor_;  // the anchor's last possible offset
    for (size_t from = pos + anchor_; from <= last;) {
      auto* hit = static_cast<const char*>(memchr(base + from, anchor, last + 1 - from));
      if (!hit) return npos;
      at = hit - base - anchor_;
      if (matches(at)) return at;
      from = hit - base + 1;
    }
    return npos;
  }
  // A folded needle of letters only: either case of its first letter.
  while (pos + m <= n) {
    size_t at = find_first_letter(text, pos, n - m + 1);
    if (at == npos) return npos;
    if (matches_at(base + at)) return at;
    pos = at + 1;
  }
  return npos;
}

// The first byte equal to either case of the needle's first letter in [pos, end).
size_t Locator::find_first_letter(std::string_view text, size_t pos, size_t end) const {
  const char* base = text.data();
  auto* lo = static_cast<const char*>(memchr(base + pos, lower_, end - pos));
  size_t limit = lo ? lo - base : end;
  auto* up = static_cast<const char*>(memchr(base + pos, upper_, limit - pos));
  if (up) return up - base;
  return lo ? lo - base : npos;
}

int Locator::find(std::string_view text, int from) const {
  if (from < 1) from = 1;
  const size_t n = text.size();
  if (static_cast<size_t>(from) > n) return -1;
  if (needle_.empty()) return 1;

  const size_t start = static_cast<size_t>(from) - 1;
  // `boundary` is a known character start (stepping begins at `from`); a
  // candidate is a character start when the run of bytes >= 0x80 just before
  // it, counted back no further than `boundary`, has even length.
  size_t boundary = start;
  for (size_t c = next_candidate(text, start); c != npos; c = next_candidate(text, c + 1)) {
    size_t run_start = leads_before(text, c, boundary);
    if ((c - run_start) % 2 == 0) {
      // A lead byte with nothing after it ends the search.
      if (c + 1 == n && is_lead(text[c])) return -1;
      return static_cast<int>(c + 1);
    }
    boundary = c + 1;  // c is a second byte, so c + 1 starts a character
  }
  return -1;
}

int locate(std::string_view text, std::string_view needle, int from, bool ignore_case) {
  return Locator(needle, ignore_case).find(text, from);
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
