#include "web/regex_matcher.h"

#include <algorithm>

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include "catalogue/text_rules.h"
#include "platform/codepage.h"

namespace quill {
namespace {

struct CodeFree {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataFree {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct ContextFree {
  void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};

// Scratch kept per thread: the last compiled pattern (pages are searched with
// the same one again and again) and match data whose backtracking frames stay
// allocated between matches.
struct ThreadScratch {
  std::u16string pattern;
  uint32_t options = 0;
  std::unique_ptr<pcre2_code, CodeFree> code;
  std::unique_ptr<pcre2_match_data, MatchDataFree> data;
  uint32_t pairs = 0;
};

ThreadScratch& thread_scratch() {
  thread_local ThreadScratch scratch;
  return scratch;
}

PCRE2_SPTR units(const std::u16string& text) { return reinterpret_cast<PCRE2_SPTR>(text.data()); }

bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }

}  // namespace

RegexMatcher::RegexMatcher() = default;
RegexMatcher::~RegexMatcher() = default;

bool RegexMatcher::execute(std::string_view pattern, std::string_view text, bool case_sensitive, bool multiline,
                           bool global_search, bool quote_placeholder) {
  has_regexp_ = true;
  has_matches_ = false;
  matches_.clear();
  unit_bytes_.clear();
  pattern_ = platform::gbk_to_utf16(quote_placeholder ? replace_quote_placeholder(pattern) : std::string(pattern));
  subject_gbk_.assign(text);
  subject_ = platform::gbk_to_utf16(text);

  uint32_t options = PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF | PCRE2_DOLLAR_ENDONLY;
  if (!case_sensitive) options |= PCRE2_CASELESS;
  if (multiline) options |= PCRE2_MULTILINE;
  ThreadScratch& scratch = thread_scratch();
  if (!scratch.code || scratch.pattern != pattern_ || scratch.options != options) {
    scratch.code.reset();
    std::unique_ptr<pcre2_compile_context, ContextFree> context(pcre2_compile_context_create(nullptr));
    if (!context) return false;
    // Only a line feed ends a line: `.` crosses a lone carriage return.
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_LF);
    int error = 0;
    PCRE2_SIZE error_offset = 0;
    scratch.code.reset(pcre2_compile(units(pattern_), pattern_.size(), options, &error, &error_offset, context.get()));
    if (!scratch.code) return false;
    // Compiled to machine code where PCRE2 can: the pattern is kept for the
    // thread's next searches. Without JIT support matching is interpreted.
    pcre2_jit_compile(scratch.code.get(), PCRE2_JIT_COMPLETE);
    scratch.pattern = pattern_;
    scratch.options = options;
  }
  pcre2_code* code = scratch.code.get();
  uint32_t group_count = 0;
  pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &group_count);
  if (!scratch.data || scratch.pairs < group_count + 1) {
    scratch.pairs = std::max<uint32_t>(group_count + 1, 16);
    scratch.data.reset(pcre2_match_data_create(scratch.pairs, nullptr));
    if (!scratch.data) {
      scratch.pairs = 0;
      return false;
    }
  }
  pcre2_match_data* data = scratch.data.get();

  const PCRE2_SIZE length = subject_.size();
  PCRE2_SIZE start = 0;
  std::vector<Match> found;
  while (start <= length) {
    int rc = pcre2_match(code, units(subject_), length, start, 0, data, nullptr);
    // The compiled code's stack is smaller than the interpreter's heap frames.
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT)
      rc = pcre2_match(code, units(subject_), length, start, PCRE2_NO_JIT, data, nullptr);
    if (rc == PCRE2_ERROR_NOMATCH) break;
    if (rc < 0) return false;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    auto span = [&](uint32_t i) {
      if (ovector[2 * i] == PCRE2_UNSET) return Span{};
      return Span{static_cast<std::ptrdiff_t>(ovector[2 * i]), static_cast<std::ptrdiff_t>(ovector[2 * i + 1])};
    };
    Match match{span(0), {}};
    match.groups.reserve(group_count);
    for (uint32_t i = 1; i <= group_count; ++i) match.groups.push_back(span(i));
    found.push_back(std::move(match));
    if (!global_search) break;
    // After an empty match the next search starts one unit further on.
    PCRE2_SIZE end = ovector[1] > start ? ovector[1] : start;
    start = end == ovector[0] ? end + 1 : end;
  }
  matches_ = std::move(found);
  has_matches_ = true;
  return true;
}

std::string RegexMatcher::pattern_text() const {
  return has_regexp_ ? platform::utf16_to_gbk(pattern_) : std::string();
}

std::string RegexMatcher::replace(std::string_view replacement_gbk) const {
  if (!has_matches_) return {};
  const std::u16string replacement = platform::gbk_to_utf16(replacement_gbk);
  const std::u16string_view subject(subject_);
  std::u16string out;
  std::size_t copied = 0;
  for (const Match& match : matches_) {
    const auto start = static_cast<std::size_t>(match.whole.start);
    const auto end = static_cast<std::size_t>(match.whole.end);
    out.append(subject.substr(copied, start - copied));
    copied = end;
    const std::size_t groups = match.groups.size();
    for (std::size_t i = 0; i < replacement.size(); ++i) {
      const char16_t c = replacement[i];
      if (c != u'$' || i + 1 == replacement.size()) {
        out.push_back(c);
        continue;
      }
      const char16_t next = replacement[i + 1];
      if (next == u'$') {
        out.push_back(u'$');
        ++i;
      } else if (next == u'&') {
        out.append(subject.substr(start, end - start));
        ++i;
      } else if (next == u'`') {
        out.append(subject.substr(0, start));
        ++i;
      } else if (next == u'\'') {
        out.append(subject.substr(end));
        ++i;
      } else if (is_digit(next)) {
        // Two digits when they name a group, else one, else the dollar stands.
        std::size_t number = next - u'0';
        std::size_t used = 1;
        if (i + 2 < replacement.size() && is_digit(replacement[i + 2])) {
          std::size_t two = number * 10 + (replacement[i + 2] - u'0');
          if (two >= 1 && two <= groups) {
            number = two;
            used = 2;
          }
        }
        if (number < 1 || number > groups) {
          out.push_back(c);
          continue;
        }
        const Span& group = match.groups[number - 1];
        if (group.start >= 0) out.append(subject.substr(group.start, group.end - group.start));
        i += used;
      } else {
        out.push_back(c);
      }
    }
  }
  out.append(subject.substr(copied));
  return platform::utf16_to_gbk(out);
}

int RegexMatcher::match_count() const { return static_cast<int>(matches_.size()); }

const RegexMatcher::Span* RegexMatcher::find_span(int match_index, int submatch_index) const {
  if (match_index < 1 || static_cast<std::size_t>(match_index) > matches_.size()) return nullptr;
  const Match& match = matches_[match_index - 1];
  if (submatch_index == 0) return &match.whole;
  if (submatch_index < 1 || static_cast<std::size_t>(submatch_index) > match.groups.size()) return nullptr;
  const Span& group = match.groups[submatch_index - 1];
  return group.start < 0 ? nullptr : &group;
}

std::string RegexMatcher::span_text(const Span& span) const {
  return platform::utf16_to_gbk(std::u16string_view(subject_).substr(span.start, span.end - span.start));
}

std::string RegexMatcher::match_text(int match_index, int* byte_position) const {
  return submatch_text(match_index, 0, byte_position);
}

std::string RegexMatcher::submatch_text(int match_index, int submatch_index, int* byte_position) const {
  const Span* span = find_span(match_index, submatch_index);
  if (byte_position) *byte_position = span ? byte_offset(span->start) : -2;
  return span ? span_text(*span) : std::string();
}

int RegexMatcher::submatch_count() const {
  return matches_.empty() ? 0 : static_cast<int>(matches_.front().groups.size());
}

// Walks the subject the way the GBK decoder does: one unit per byte below
// 0x81 (0x80 is the euro sign), one unit per lead byte and the trail byte
// (0x40 or above) that goes with it, one unit for a lead byte without one.
int RegexMatcher::byte_offset(std::ptrdiff_t unit_index) const {
  if (unit_bytes_.empty()) {
    unit_bytes_.reserve(subject_.size() + 1);
    std::size_t i = 0;
    const std::size_t n = subject_gbk_.size();
    while (i < n) {
      unit_bytes_.push_back(static_cast<int>(i));
      const auto lead = static_cast<unsigned char>(subject_gbk_[i]);
      const bool pair = lead > 0x80 && i + 1 < n && static_cast<unsigned char>(subject_gbk_[i + 1]) >= 0x40;
      i += pair ? 2 : 1;
    }
    unit_bytes_.push_back(static_cast<int>(n));
  }
  if (unit_bytes_.size() == subject_.size() + 1) return unit_bytes_[unit_index];
  // The walk disagrees with the decoder: count the bytes of the prefix instead.
  return static_cast<int>(platform::utf16_to_gbk(std::u16string_view(subject_).substr(0, unit_index)).size());
}

}  // namespace quill
