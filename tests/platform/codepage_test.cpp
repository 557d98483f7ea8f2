#include "platform/codepage.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <random>

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

// The whole text through one iconv descriptor, each bad byte or pair one '?'
// (a pair when its second byte could be a trail byte, 0x40 or above).
std::u16string whole_text_through_iconv(const std::string& gbk) {
  iconv_t cd = iconv_open("UTF-16LE", "CP936");
  std::u16string out;
  std::string in = gbk;
  char* src = in.data();
  size_t left = in.size();
  while (left > 0) {
    char16_t buffer[256];
    char* dst = reinterpret_cast<char*>(buffer);
    size_t room = sizeof buffer;
    const size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buffer, static_cast<size_t>(dst - reinterpret_cast<char*>(buffer)) / 2);
    if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
    out.push_back(u'?');
    const size_t skip = left >= 2 && static_cast<unsigned char>(src[1]) >= 0x40 ? 2 : 1;
    src += skip;
    left -= skip;
  }
  iconv_close(cd);
  return out;
}

// GBK holds only characters of the basic plane, one UTF-16 unit each.
std::string utf16_to_utf8_for_test(const std::u16string& text) {
  std::string out;
  for (char16_t unit : text) {
    if (unit < 0x80) {
      out += static_cast<char>(unit);
    } else if (unit < 0x800) {
      out += static_cast<char>(0xC0 | unit >> 6);
      out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | unit >> 12);
      out += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (unit & 0x3F));
    }
  }
  return out;
}

// ASCII is copied and only the stretches between go through the converter;
// random mixtures of ASCII, lead, trail and bad bytes decode exactly as the
// whole text through the converter does.
TEST(Codepage, DecodingByStretchesMatchesTheWholeText) {
  const unsigned char bytes[] = {0x00, 0x0A, 0x20, 0x3F, 0x40, 0x41, 0x7E, 0x7F,
                                 0x80, 0x81, 0xA1, 0xB0, 0xC4, 0xD6, 0xFE, 0xFF};
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 12, '\0');
    for (char& c : text) c = static_cast<char>(bytes[random() % sizeof bytes]);
    const std::u16string expected = whole_text_through_iconv(text);
    ASSERT_EQ(gbk_to_utf16(text), expected) << ::testing::PrintToString(text);
    ASSERT_EQ(gbk_to_utf8(text), utf16_to_utf8_for_test(expected)) << ::testing::PrintToString(text);
  }
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
