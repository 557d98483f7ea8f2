#pragma once
// Cutting pieces out of a page by the markers around them. Both operations
// keep no state and may run on several threads at once. Nothing is reported:
// a marker not found gives empty text, or ends the collection.

#include <string>
#include <string_view>
#include <vector>

namespace quill {

// The text between the first `start_marker` at or after `from` and the first
// `end_marker` after it, unchanged; empty when either is missing. Both markers
// may hold the quote placeholder in place of a double quote. Compares exactly
// unless `ignore_case`.
std::string text_between(std::string_view text, std::string_view start_marker, std::string_view end_marker,
                         int from = 0, bool ignore_case = false);

// Collects every text between the markers (taken literally) into `items`
// (cleared first), stripped of spaces, with `prefix`/`suffix` (and the markers
// when asked) around it; empty items are skipped. Folds ASCII case unless
// `match_case`. With a `length_limit`, only items shorter than it are kept.
// An end marker can serve as the next start marker. Returns items.size().
// Dispatches the calling thread's pending window events as it goes. An empty
// marker, found only at position 1, ends the collection once it would lead the
// search back behind its position (so it never loops).
int all_text_between(std::string_view text, std::string_view start_marker, std::string_view end_marker,
                     std::vector<std::string>& items, bool match_case = false, int length_limit = 0,
                     std::string_view prefix = {}, std::string_view suffix = {}, bool keep_start_marker = false,
                     bool keep_end_marker = false, int from = 0);

}  // namespace quill
