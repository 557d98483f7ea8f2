#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace quill::platform {
namespace {

TEST(Codepage, RoundTripsChineseAndAscii) {
  const std::string text = gbk("提示：列表选中即为下载 abc");
  EXPECT_EQ(gbk_to_utf16(text), u"提示：列表选中即为下载 abc");
  EXPECT_EQ(utf16_to_gbk(u"提示：列表选中即为下载 abc"), text);
  EXPECT_EQ(gbk_to_utf8(text), "提示：列表选中即为下载 abc");
  EXPECT_EQ(gbk("宋体"), "\xCB\xCE\xCC\xE5");
}

TEST(Codepage, SingleByte80IsTheEuroSign) {
  EXPECT_EQ(gbk_to_utf16("\x80"), u"€");
  EXPECT_EQ(utf16_to_gbk(u"€"), "\x80");
}

TEST(Codepage, UnconvertibleInputBecomesQuestionMarks) {
  struct Case {
    const char* name;
    std::string gbk;
    std::u16string utf16;
  };
  const Case cases[] = {
      {"lone lead byte at the end", std::string("a\x81", 2), u"a?"},
      {"pair led by 0xFF is one character",
       std::string("\xFF"
                   "b",
                   2),
       u"?"},
      {"lead byte before a control byte",
       std::string("\x81\x0A"
                   "c",
                   3),
       u"?\nc"},
      {"empty", "", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(gbk_to_utf16(c.gbk), c.utf16) << c.name;

  EXPECT_EQ(utf16_to_gbk(u"a\u0E01b"), "a?b") << "Thai letter not in GBK";
  EXPECT_EQ(utf16_to_gbk(std::u16string(u"x\xD800y")), "x?y") << "lone surrogate";
  EXPECT_EQ(utf16_to_gbk(u"😀"), "?") << "a surrogate pair is one character";
  EXPECT_EQ(utf8_to_gbk("a\xC3"), "a?") << "truncated UTF-8";
}

TEST(Codepage, OtherCharsetsAndUnknownNames) {
  std::u16string out = u"stale";
  EXPECT_TRUE(charset_to_utf16("\xA4\xA4\xA4\xE5", "BIG5", out));
  EXPECT_EQ(out, u"中文");
  EXPECT_FALSE(charset_to_utf16("abc", "no-such-charset", out));
  EXPECT_TRUE(out.empty());
}

}  // namespace
}  // namespace quill::platform
