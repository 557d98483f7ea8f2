#pragma once
// Regular expressions over system text (GBK), on PCRE2 with 16-bit code units.
//
// The expression language follows the usual ECMAScript-style rules: `.` matches
// any code unit but a line feed (a lone carriage return included), `\w` `\d`
// `\s` are ASCII classes, `+?` `*?` are lazy, groups count from 1 by their
// opening parentheses, and a back reference to a group that did not take part
// matches empty text. The subject is matched as UTF-16 code units (no
// surrogate pairing); ignoring case folds only characters below U+0100.
//
// Construction initialises COM on the calling thread and destruction
// balances it, so an object belongs to the thread that created it. Nothing is
// reported: `execute` returns false for a pattern the engine rejects, and a
// match or group that does not exist reads as empty text with byte position
// -2.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com.h"

namespace quill {

class RegexMatcher final {
 public:
  RegexMatcher();
  ~RegexMatcher();
  RegexMatcher(const RegexMatcher&) = delete;
  RegexMatcher& operator=(const RegexMatcher&) = delete;

  // Compiles `pattern` and collects the matches in `text` (every match, or only
  // the first without `global_search`). With `quote_placeholder`, every
  // "#引号" in the pattern becomes a double quote first. True when the pattern
  // compiled and ran, whether or not anything matched.
  bool execute(std::string_view pattern, std::string_view text, bool case_sensitive = false, bool multiline = true,
               bool global_search = true, bool quote_placeholder = false);

  // The pattern of the last `execute` (after placeholder replacement); empty
  // before any.
  std::string pattern_text() const;

  // The subject of the last `execute` with its matches replaced. The
  // replacement may hold $1..$99, $& (the match), $` (text before it), $' (text
  // after it) and $$ (a dollar sign); anything else stands literally. Empty text
  // when the last `execute` failed or none ran.
  std::string replace(std::string_view replacement) const;

  int match_count() const;
  // `match_index` and `submatch_index` count from 1. `byte_position` receives
  // the 0-based byte offset in the subject of the match (or of the group).
  std::string match_text(int match_index, int* byte_position = nullptr) const;
  std::string submatch_text(int match_index, int submatch_index, int* byte_position = nullptr) const;
  // Number of groups of the first match; 0 when nothing matched.
  int submatch_count() const;

 private:
  struct Span {
    std::ptrdiff_t start = -1;  // -1: the group did not take part
    std::ptrdiff_t end = -1;
  };
  struct Match {
    Span whole;
    std::vector<Span> groups;
  };

  const Span* find_span(int match_index, int submatch_index) const;
  std::string span_text(const Span& span) const;
  int byte_offset(std::ptrdiff_t unit_index) const;

  platform::ComScope com_;
  bool has_regexp_ = false;
  bool has_matches_ = false;
  std::u16string pattern_;
  std::string subject_gbk_;
  std::u16string subject_;
  std::vector<Match> matches_;
  // UTF-16 unit index -> byte offset in subject_gbk_, built on first use.
  mutable std::vector<int> unit_bytes_;
};

}  // namespace quill
