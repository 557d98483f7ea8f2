#pragma once
// The text rules every part of the system relies on.
//
// Text is GBK bytes without zero bytes. Positions are 1-based byte positions,
// lengths byte counts. A character is one byte below 0x80, or two bytes whose
// first is 0x80 or above. All functions are pure and thread-safe.

#include <string>
#include <string_view>
#include <vector>

namespace quill {

// Position of the first `needle` starting at or after `from`, or -1.
// `from` below 1 means 1; past the end finds nothing. Candidates advance one
// character at a time (never starting on a second byte; a lead byte with
// nothing after it ends the search). `ignore_case` folds ASCII A-Z/a-z only.
// An empty needle is found at 1 whenever text from `from` on is not empty.
int locate(std::string_view text, std::string_view needle, int from = 1, bool ignore_case = false);

// `locate` prepared for one needle, for repeated searches. Keeps a view of
// the needle, which must outlive it.
class Locator final {
 public:
  Locator(std::string_view needle, bool ignore_case);
  int find(std::string_view text, int from) const;

 private:
  static constexpr size_t npos = std::string_view::npos;
  size_t next_candidate(std::string_view text, size_t pos) const;
  size_t find_first_letter(std::string_view text, size_t pos, size_t end) const;
  bool matches_at(const char* at) const;

  std::string_view needle_;
  bool ignore_case_;
  std::string folded_;     // the needle, letters in lower case when folding
  std::string case_bits_;  // 0x20 under each folded letter, 0 elsewhere
  size_t anchor_ = 0;      // the byte searched for with memchr
  char lower_ = 0;
  char upper_ = 0;
};

// `count` bytes from 1-based `start`: empty when start < 1, start past the
// end or count <= 0; cut short at the end.
std::string take_piece(std::string_view text, int start, int count);
// First / last `count` bytes: empty for count <= 0, the whole text beyond.
std::string take_first(std::string_view text, int count);
std::string take_last(std::string_view text, int count);

// Removes leading and trailing ASCII and full-width (A1 A1) spaces; a tab, CR
// or LF stops the stripping where it stands.
std::string strip_spaces(std::string_view text);
// Removes every ASCII and full-width space.
std::string drop_all_spaces(std::string_view text);
// Pieces between occurrences of `separator` (byte-exact, character stepping).
// Empty pieces count, except a final empty piece after the last separator.
// An empty text gives no pieces; an empty separator gives the text whole.
std::vector<std::string> split_on(std::string_view text, std::string_view separator);

// The quote placeholder "#引号" (GBK) and a marker with every placeholder
// replaced by a double quote.
const std::string& quote_placeholder();
std::string replace_quote_placeholder(std::string_view marker);

}  // namespace quill
