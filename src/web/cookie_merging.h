#pragma once
// Cookie texts: name=value pairs separated by ";" (spaces do not matter on
// input), written back separated by "; ". Pure functions over the caller's
// variables; no shared state, any thread.

#include <string>
#include <string_view>

namespace quill {

// Merges the cookies a response set (`new_cookies`) into `old_cookies`: new
// pairs first in their order, then the old pairs whose names (byte-exact, the
// text before the first "=", spaces stripped) are not yet present; of several
// old pairs with one name only the first stays. Pairs ending in "=deleted" are
// dropped, and so are exact repeats. Every space is removed from both
// variables as a side effect; `old_cookies` receives the merged text, which is
// also returned.
std::string merge_cookies(std::string& old_cookies, std::string& new_cookies);

// The pieces of `text` between `separator`s without repeats (byte-exact, the
// first occurrence stays in place), joined by `separator` again.
std::string join_distinct(std::string_view text, std::string_view separator);

}  // namespace quill
