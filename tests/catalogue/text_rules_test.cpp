#include "catalogue/text_rules.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>

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

// The rule as written, one character at a time: the reference for the
// memchr-based search.
int reference_locate(const std::string& text, const std::string& needle, int from, bool ignore_case) {
  if (from < 1) from = 1;
  const int n = static_cast<int>(text.size());
  if (from > n) return -1;
  if (needle.empty()) return 1;
  auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  for (int i = from - 1; i < n;) {
    bool lead = static_cast<unsigned char>(text[i]) >= 0x80;
    if (lead && i + 1 == n) return -1;
    if (i + needle.size() <= text.size()) {
      bool same = true;
      for (size_t k = 0; k < needle.size() && same; ++k)
        same = ignore_case ? fold(text[i + k]) == fold(needle[k]) : text[i + k] == needle[k];
      if (same) return i + 1;
    }
    i += lead ? 2 : 1;
  }
  return -1;
}

TEST(TextRules, LocateAgreesWithCharacterStepping) {
  std::mt19937 random(12345);
  // Bytes one case bit apart ('@' and '`', '[' and '{') must not fold.
  const char alphabet[] = {'a', 'A', 'z', 'Z', '|', '<', ' ', '@', '`', '[', '{', '\x81', '\xA1', '\xFE'};
  auto make = [&](size_t max_length) {
    std::string s(random() % (max_length + 1), ' ');
    for (char& c : s) c = alphabet[random() % sizeof alphabet];
    return s;
  };
  // Short texts and needles, and long ones that pass the vector scans, with
  // needles often cut from the text with their letters' case flipped.
  struct Shape {
    size_t text, needle;
    int rounds;
  };
  for (const Shape shape : {Shape{40, 3, 20000}, Shape{300, 24, 5000}}) {
    for (int round = 0; round < shape.rounds; ++round) {
      std::string text = make(shape.text), needle = make(shape.needle);
      if (random() % 2 && !text.empty()) {
        size_t at = random() % text.size();
        needle = text.substr(at, random() % (shape.needle + 1));
        for (char& c : needle)
          if (std::isalpha(static_cast<unsigned char>(c)) && random() % 2) c ^= 0x20;
      }
      int from = static_cast<int>(random() % (text.size() + 3)) - 1;
      bool ignore_case = random() % 2;
      ASSERT_EQ(locate(text, needle, from, ignore_case), reference_locate(text, needle, from, ignore_case))
          << "text " << shape.text << ", round " << round;
    }
  }
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
