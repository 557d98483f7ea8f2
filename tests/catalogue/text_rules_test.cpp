#include "catalogue/text_rules.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace quill {
namespace {

TEST(TextRules, Locate) {
  struct Case {
    const char* name;
    std::string text, needle;
    int from;
    bool ignore_case;
    int expected;
  };
  const Case cases[] = {
      {"plain", "abcabc", "c", 1, false, 3},
      {"from skips the first", "abcabc", "c", 4, false, 6},
      {"from below 1 means 1", "abc", "a", -5, false, 1},
      {"from past the end", "abc", "a", 4, false, -1},
      {"huge from", "abc", "a", 2147483647, false, -1},
      {"needle longer than text", "ab", "abc", 1, false, -1},
      {"empty needle found at 1, not at from", "abc", "", 3, false, 1},
      {"empty needle past the end", "abc", "", 4, false, -1},
      {"empty needle on empty text", "", "", 1, false, -1},
      {"empty text", "", "a", 1, false, -1},
      {"exact by default", "<TD>", "<td>", 1, false, -1},
      {"ignore case folds ASCII", "<TD>", "<td>", 1, true, 1},
      {"ignore case folds needle", "x<td>", "<TD>", 1, true, 2},
      {"second byte never matches", "\x81|x|", "|", 1, false, 4},
      {"second byte, folded search",
       "\x81"
       "Ax a",
       "a", 1, true, 5},
      {"pairs counted from from", "\x81|\x81|", "|", 2, false, 2},
      {"after a run of lead bytes", "\x81\x82\x83|", "|", 1, false, -1},
      {"even run of lead bytes", "\xB0\xA1|", "|", 1, false, 3},
      {"lone lead byte at the very end", "ab\x81", "\x81", 1, false, -1},
      {"lead byte ends search before a later hit", "a\x81", "\x81", 1, false, -1},
      {"non-ASCII bytes are not folded", "\xC1\xD0", "\xE1\xF0", 1, true, -1},
      {"double-byte needle", gbk("列表框列表"), gbk("表"), 1, false, 3},
  };
  for (const auto& c : cases) EXPECT_EQ(locate(c.text, c.needle, c.from, c.ignore_case), c.expected) << c.name;
}

TEST(TextRules, TakingPieces) {
  EXPECT_EQ(take_piece("abcdef", 2, 3), "bcd");
  EXPECT_EQ(take_piece("abcdef", 5, 10), "ef");
  EXPECT_EQ(take_piece("abcdef", 0, 2), "");
  EXPECT_EQ(take_piece("abcdef", 7, 1), "");
  EXPECT_EQ(take_piece("abcdef", 1, 0), "");
  EXPECT_EQ(take_piece("abcdef", 1, -1), "");
  EXPECT_EQ(take_first("abc", 2), "ab");
  EXPECT_EQ(take_first("abc", 9), "abc");
  EXPECT_EQ(take_first("abc", 0), "");
  EXPECT_EQ(take_last("abc", 2), "bc");
  EXPECT_EQ(take_last("abc", 9), "abc");
  EXPECT_EQ(take_last("abc", -1), "");
}

TEST(TextRules, Spaces) {
  const std::string full = "\xA1\xA1";
  EXPECT_EQ(strip_spaces("  a b  "), "a b");
  EXPECT_EQ(strip_spaces(full + " x" + full), "x");
  EXPECT_EQ(strip_spaces(" \t x \r\n "), "\t x \r\n");
  EXPECT_EQ(strip_spaces("   "), "");
  EXPECT_EQ(strip_spaces(""), "");
  EXPECT_EQ(drop_all_spaces(" a " + full + "b\tc "), "ab\tc");
}

TEST(TextRules, SplitOn) {
  using Pieces = std::vector<std::string>;
  EXPECT_EQ(split_on("a,b,c", ","), (Pieces{"a", "b", "c"}));
  EXPECT_EQ(split_on(",a,,b,", ","), (Pieces{"", "a", "", "b"}));
  EXPECT_EQ(split_on("", ","), Pieces{});
  EXPECT_EQ(split_on("abc", ""), Pieces{"abc"});
  EXPECT_EQ(split_on("a\x81|b|c", "|"), (Pieces{"a\x81|b", "c"}));
  EXPECT_EQ(split_on("a=:=b", "=:="), (Pieces{"a", "b"}));
}

TEST(TextRules, QuotePlaceholder) {
  EXPECT_EQ(replace_quote_placeholder(gbk("href=#引号")), "href=\"");
  EXPECT_EQ(replace_quote_placeholder(gbk("#引号#引号x")), "\"\"x");
  EXPECT_EQ(replace_quote_placeholder(gbk("#引")), gbk("#引"));
}

}  // namespace
}  // namespace quill
