#include "catalogue/text_extraction.h"

#include "catalogue/text_rules.h"
#include "platform/toolkit.h"

namespace quill {

std::string text_between(std::string_view text, std::string_view start_marker, std::string_view end_marker, int from,
                         bool ignore_case) {
  const std::string start = replace_quote_placeholder(start_marker);
  const std::string end = replace_quote_placeholder(end_marker);
  int p = locate(text, start, from, ignore_case);
  if (p == -1) return {};
  int q = p + static_cast<int>(start.size());
  int e = locate(text, end, q, ignore_case);
  if (e == -1) return {};
  return take_piece(text, q, e - q);
}

int all_text_between(std::string_view text, std::string_view start_marker, std::string_view end_marker,
                     std::vector<std::string>& items, bool match_case, int length_limit, std::string_view prefix,
                     std::string_view suffix, bool keep_start_marker, bool keep_end_marker, int from) {
  items.clear();
  const bool fold = !match_case;
  const int start_length = static_cast<int>(start_marker.size());
  int position = from;
  int last_start = 0;
  const Locator find_start(start_marker, fold), find_end(end_marker, fold);
  for (;;) {
    int p = find_start.find(text, position);
    if (p == -1) break;
    int q = p + start_length;
    int e = find_end.find(text, q);
    if (e == -1) break;  // an unterminated last item is not collected
    // An empty marker is found at position 1 only, which can lead the walk
    // back to a start marker it has already taken; that ends the collection.
    if (p <= last_start) break;
    last_start = p;
    position = q;

    std::string item = e > q ? strip_spaces(text.substr(q - 1, e - q)) : std::string();
    if (!prefix.empty() || !suffix.empty()) item = std::string(prefix) + item + std::string(suffix);
    if (!item.empty()) {
      if (keep_start_marker) item.insert(0, start_marker);
      if (keep_end_marker) item.append(end_marker);
      if (length_limit != 0) {
        if (static_cast<int>(item.size()) < length_limit) items.push_back(std::move(item));
        toolkit::process_pending_events();
      } else {
        items.push_back(std::move(item));
      }
      position = e;  // the end marker may serve as the next start marker
    }
    for (int i = 0; i < 3; ++i) toolkit::process_pending_events();
  }
  return static_cast<int>(items.size());
}

}  // namespace quill
