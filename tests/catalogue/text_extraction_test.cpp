#include "catalogue/text_extraction.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace quill {
namespace {

TEST(TextBetween, Cases) {
  struct Case {
    const char* name;
    std::string text, start, end;
    int from;
    bool ignore_case;
    std::string expected;
  };
  const Case cases[] = {
      {"quote placeholder", "<a href=\"x1.html\">", gbk("href=#引号"), gbk("#引号"), 0, false, "x1.html"},
      {"same marker twice", "abcabc", "b", "b", 0, false, "ca"},
      {"start missing", "abc", "x", "c", 0, false, ""},
      {"end only before start", "abc", "c", "a", 0, false, ""},
      {"empty start marker", "abc", "", "c", 0, false, "ab"},
      {"empty start marker ignores from", "abc", "", "c", 3, false, "ab"},
      {"exact by default", "<TD>x</td>", "<td>", "</td>", 0, false, ""},
      {"ignore case", "<TD>x</td>", "<td>", "</td>", 0, true, "x"},
      {"from 1 like from 0", "[a][b]", "[", "]", 1, false, "a"},
      {"from skips", "[a][b]", "[", "]", 2, false, "b"},
      {"from past the end", "abc", "", "c", 4, false, ""},
      {"huge from", "abc", "a", "c", 2147483647, false, ""},
      {"end directly after start", "<b></b>", "<b>", "</b>", 0, false, ""},
      {"no trimming", "<b> x </b>", "<b>", "</b>", 0, false, " x "},
      {"empty text", "", "", "", 0, false, ""},
      {"markers longer than text", "ab", "abc", "abcd", 0, false, ""},
      {"lone lead byte at the end", "<b>\x81", "<b>", "\x81", 0, false, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(text_between(c.text, c.start, c.end, c.from, c.ignore_case), c.expected) << c.name;
}

TEST(AllTextBetween, Cases) {
  using Items = std::vector<std::string>;
  struct Case {
    const char* name;
    std::string text, start, end;
    bool match_case;
    int length_limit;
    std::string prefix, suffix;
    bool keep_start, keep_end;
    int from;
    Items expected;
  };
  const Case cases[] = {
      {"folds case by default", "<B>1</b><b>2</B>", "<b>", "</b>", false, 0, "", "", false, false, 0, {"1", "2"}},
      {"match case", "<B>1</b><b>2</B>", "<b>", "</b>", true, 0, "", "", false, false, 0, {}},
      {"end serves as next start", "|a|b|", "|", "|", false, 0, "", "", false, false, 0, {"a", "b"}},
      {"empty skipped, spaces stripped", "<x></x><x> b </x>", "<x>", "</x>", false, 0, "", "", false, false, 0, {"b"}},
      {"tab, CR, LF kept", "<x>\r\n a\t</x>", "<x>", "</x>", false, 0, "", "", false, false, 0, {"\r\n a\t"}},
      {"prefix makes empty count", "<x></x>", "<x>", "</x>", false, 0, "p", "", false, false, 0, {"p"}},
      {"suffix makes empty count", "<x></x>", "<x>", "</x>", false, 0, "", "s", false, false, 0, {"s"}},
      {"length limit drops 5, keeps 4",
       "<x>12345</x><x>1234</x>",
       "<x>",
       "</x>",
       false,
       5,
       "",
       "",
       false,
       false,
       0,
       {"1234"}},
      {"unterminated last item", "<x>1</x><x>2", "<x>", "</x>", false, 0, "", "", false, false, 0, {"1"}},
      {"keep markers", "<x>1</x>", "<x>", "</x>", false, 0, "(", ")", true, true, 0, {"<x>(1)</x>"}},
      {"limit counts kept markers", "<x>1</x>", "<x>", "</x>", false, 8, "", "", true, true, 0, {}},
      {"from", "<x>1</x><x>2</x>", "<x>", "</x>", false, 0, "", "", false, false, 5, {"2"}},
      {"second byte never a marker", "|\x81|a|", "|", "|", false, 0, "", "", false, false, 0, {"\x81|a"}},
      {"empty start marker stops", "abcabc", "", "c", false, 0, "", "", false, false, 0, {"ab"}},
      {"empty end marker", "<x>a<x>b", "<x>", "", false, 0, "", "", false, false, 0, {}},
      {"empty end marker with prefix", "<x>a<x>b", "<x>", "", false, 0, "p", "", false, false, 0, {"p"}},
      {"both markers empty", "abc", "", "", false, 0, "", "", false, false, 0, {}},
      {"empty text", "", "<x>", "</x>", false, 0, "", "", false, false, 0, {}},
  };
  for (const auto& c : cases) {
    Items items{"stale"};
    int n = all_text_between(c.text, c.start, c.end, items, c.match_case, c.length_limit, c.prefix, c.suffix,
                             c.keep_start, c.keep_end, c.from);
    EXPECT_EQ(items, c.expected) << c.name;
    EXPECT_EQ(n, static_cast<int>(items.size())) << c.name;
  }
}

}  // namespace
}  // namespace quill
