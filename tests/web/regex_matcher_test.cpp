#include "web/regex_matcher.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/com.h"

namespace quill {
namespace {

constexpr const char* charset_pattern = "<meta.+?charset=[^\\w]?([-\\w]+)";

TEST(RegexMatcher, CharsetDeclarations) {
  struct Case {
    std::string text;
    const char* charset;
  };
  const Case cases[] = {
      {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">", "utf-8"},
      {"<META CHARSET=GBK>", "GBK"},
      {"<meta charset=\"gbk\">", "gbk"},
      {gbk("<title>书</title><meta charset='big5'>"), "big5"},
      {"no tag at all", ""},
      {"<meta\ncharset=utf-8>", ""},       // `.` does not cross a line feed
      {"<meta\rcharset=utf-8>", "utf-8"},  // but a lone carriage return
  };
  for (const Case& c : cases) {
    RegexMatcher matcher;
    ASSERT_TRUE(matcher.execute(charset_pattern, c.text)) << c.text;
    EXPECT_EQ(matcher.submatch_text(1, 1), c.charset) << c.text;
    EXPECT_EQ(matcher.match_count(), *c.charset ? 1 : 0) << c.text;
  }
}

TEST(RegexMatcher, ConstructionAndDestructionBalanceCom) {
  const int before = platform::com_init_count();
  {
    RegexMatcher matcher;
    EXPECT_EQ(platform::com_init_count(), before + 1);
    EXPECT_EQ(matcher.pattern_text(), "");
    EXPECT_EQ(matcher.match_count(), 0);
    EXPECT_EQ(matcher.match_text(1), "");
  }
  EXPECT_EQ(platform::com_init_count(), before);
}

TEST(RegexMatcher, QuotePlaceholder) {
  RegexMatcher matcher;
  const std::string pattern = gbk("a=#引号(\\w+)#引号");
  ASSERT_TRUE(matcher.execute(pattern, "a=\"x1\"", false, true, true, true));
  EXPECT_EQ(matcher.submatch_text(1, 1), "x1");
  EXPECT_EQ(matcher.pattern_text(), "a=\"(\\w+)\"");
  ASSERT_TRUE(matcher.execute(pattern, "a=\"x1\""));  // without the flag the placeholder stays
  EXPECT_EQ(matcher.match_count(), 0);
  EXPECT_EQ(matcher.pattern_text(), pattern);
}

TEST(RegexMatcher, Options) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.execute("^b\\w", "ab1\nbc2\nBd3"));
  EXPECT_EQ(matcher.match_count(), 2);  // multiline and folded by default
  EXPECT_EQ(matcher.match_text(2), "Bd");
  ASSERT_TRUE(matcher.execute("^b\\w", "ab1\nbc2\nBd3", true));
  EXPECT_EQ(matcher.match_count(), 1);
  ASSERT_TRUE(matcher.execute("^b\\w", "ab1\nbc2\nBd3", false, false));
  EXPECT_EQ(matcher.match_count(), 0);
  ASSERT_TRUE(matcher.execute("\\d", "a1b2c3", false, true, false));
  EXPECT_EQ(matcher.match_count(), 1);
  ASSERT_TRUE(matcher.execute("\\w+", gbk("中文abc")));  // \w is ASCII only
  EXPECT_EQ(matcher.match_text(1), "abc");
  ASSERT_TRUE(matcher.execute("a*", "baaa"));  // empty matches step on
  ASSERT_EQ(matcher.match_count(), 3);
  EXPECT_EQ(matcher.match_text(2), "aaa");
  ASSERT_TRUE(matcher.execute("(x)?y\\1z", "yz"));  // unset group matches empty
  EXPECT_EQ(matcher.match_count(), 1);
  EXPECT_EQ(matcher.submatch_text(1, 1), "");
}

TEST(RegexMatcher, InvalidPatterns) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.execute("(a)", "a"));
  for (const char* pattern : {"(", "a)", "[z-a]", "*x", "a{2,1}", "(?<n"}) {
    EXPECT_FALSE(matcher.execute(pattern, "a(b)")) << pattern;
    EXPECT_EQ(matcher.match_count(), 0) << pattern;
    EXPECT_EQ(matcher.submatch_count(), 0) << pattern;
    EXPECT_EQ(matcher.match_text(1), "") << pattern;
    EXPECT_EQ(matcher.replace("x"), "") << pattern;
    EXPECT_EQ(matcher.pattern_text(), pattern);
  }
}

TEST(RegexMatcher, MatchesGroupsAndBytePositions) {
  RegexMatcher matcher;
  const std::string text = gbk("书名：《甲》 书名：《乙乙》");
  ASSERT_TRUE(matcher.execute(gbk("《(.+?)》"), text));
  ASSERT_EQ(matcher.match_count(), 2);
  EXPECT_EQ(matcher.submatch_count(), 1);
  int position = 0;
  EXPECT_EQ(matcher.match_text(2, &position), gbk("《乙乙》"));
  EXPECT_EQ(position, static_cast<int>(text.find(gbk("《乙乙》"))));
  EXPECT_EQ(matcher.submatch_text(2, 1, &position), gbk("乙乙"));
  EXPECT_EQ(position, static_cast<int>(text.find(gbk("乙乙"))));
  EXPECT_EQ(matcher.submatch_text(3, 1, &position), "");
  EXPECT_EQ(position, -2);
  EXPECT_EQ(matcher.submatch_text(1, 2, &position), "");
  EXPECT_EQ(position, -2);

  // Adjacent equal matches each get their own place.
  ASSERT_TRUE(matcher.execute("a", "aa"));
  EXPECT_EQ(matcher.match_text(2, &position), "a");
  EXPECT_EQ(position, 1);

  // A group repeated over a long subject outgrows the compiled code's stack;
  // the match is still found.
  const std::string long_subject = std::string(60000, 'a') + "c";
  ASSERT_TRUE(matcher.execute("(a|b)*c", long_subject));
  ASSERT_EQ(matcher.match_count(), 1);
  EXPECT_EQ(matcher.match_text(1, &position), long_subject);
}

TEST(RegexMatcher, Replace) {
  RegexMatcher matcher;
  ASSERT_TRUE(matcher.execute("(\\w)(\\d)", "a1-b2"));
  struct Case {
    const char* replacement;
    const char* result;
  };
  const Case cases[] = {
      {"$2$1", "1a-2b"},    {"[$&]", "[a1]-[b2]"}, {"$$", "$-$"},   {"<$`>", "<>-<a1->"},
      {"<$'>", "<-b2>-<>"}, {"$3", "$3-$3"},       {"$0", "$0-$0"}, {"$11", "a1-b1"},
      {"$", "$-$"},         {"$x", "$x-$x"},       {"$02", "1-2"},
  };
  for (const Case& c : cases) EXPECT_EQ(matcher.replace(c.replacement), c.result) << c.replacement;

  ASSERT_TRUE(matcher.execute("(\\w)(\\d)", "a1-b2", false, true, false));
  EXPECT_EQ(matcher.replace("#"), "#-b2");
  ASSERT_TRUE(matcher.execute(gbk("乙"), gbk("甲乙丙乙")));
  EXPECT_EQ(matcher.replace(gbk("丁")), gbk("甲丁丙丁"));
}

}  // namespace
}  // namespace quill
