#include "web/response_decoding.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/com.h"
#include "web/http_client.h"
#include "web/loopback_servers.h"
#include "web/regex_matcher.h"

namespace quill {
namespace {

using namespace std::string_literals;

std::string meta(const std::string& charset) {
  return "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + charset + "\">";
}

TEST(DecodeResponseText, Charsets) {
  const std::string chinese = gbk("中文书名");
  const std::string padding(1100, ' ');
  struct Case {
    std::string name, body, text;
  };
  const Case cases[] = {
      {"utf-8", meta("utf-8") + "中文书名", meta("utf-8") + chinese},
      {"big5", meta("big5") + "\xA4\xA4\xA4\xE5", meta("big5") + gbk("中文")},
      {"gbk", meta("gbk") + chinese, meta("gbk") + chinese},
      {"gb2312", meta("gb2312") + chinese, meta("gb2312") + chinese},
      {"GBK through the decoder", meta("GBK") + chinese, meta("GBK") + chinese},
      {"no meta tag", chinese, chinese},
      {"declaration past 1024 bytes", padding + meta("utf-8") + "中文", padding + meta("utf-8") + "中文"},
      {"zero byte, taken as GBK", meta("gbk") + "ab\0cd"s, meta("gbk") + "ab"},
      {"zero byte, no meta", "ab\0<meta charset=utf-8>"s, "ab"},
      {"zero byte, decoded whole", meta("utf-8") + "中\0文"s, meta("utf-8") + gbk("中文")},
      {"unknown charset", meta("x-no-such-set") + chinese, meta("x-no-such-set") + chinese},
      {"character GBK lacks", meta("utf-8") + "\xF0\x9F\x98\x80!", meta("utf-8") + "?!"},
      {"empty body", "", ""},
  };
  const int before = platform::com_init_count();
  RegexMatcher matcher;
  for (const Case& c : cases) {
    EXPECT_EQ(decode_response_text(c.body, matcher), c.text) << c.name;
    EXPECT_EQ(platform::com_init_count(), before + 1) << c.name;
  }
}

TEST(DecodeResponseText, PagesFetchedOverHttp) {
  testing::HttplibServer server;
  server.routes().Get("/utf8", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<html><head><meta charset=\"utf-8\"></head><body>第一章</body></html>", "text/html");
  });
  server.routes().Get("/gbk", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(gbk("<meta charset=gbk>第二章"), "text/html");
  });
  server.start();
  std::string bytes;
  EXPECT_EQ(http_fetch(server.base() + "/utf8", 0, {}, nullptr, nullptr, {}, nullptr, false, {}, {}, {}, {}, {}, 0,
                       nullptr, nullptr, &bytes),
            gbk("<html><head><meta charset=\"utf-8\"></head><body>第一章</body></html>"));
  EXPECT_EQ(bytes, "<html><head><meta charset=\"utf-8\"></head><body>第一章</body></html>");
  EXPECT_EQ(http_fetch(server.base() + "/gbk"), gbk("<meta charset=gbk>第二章"));
}

TEST(WideConversions, AnsiToWideAndBack) {
  EXPECT_EQ(ansi_to_wide("/"), "\x2F\0\0\0"s);
  EXPECT_EQ(ansi_to_wide("/", true), "\x2F\0"s);
  EXPECT_EQ(ansi_to_wide(""), "");
  EXPECT_EQ(ansi_to_wide("", true), "");
  EXPECT_EQ(ansi_to_wide(gbk("中"), true), "\x2D\x4E"s);  // U+4E2D
  EXPECT_EQ(wide_to_ansi(ansi_to_wide(gbk("书名ab"))), gbk("书名ab"));
  EXPECT_EQ(wide_to_ansi("a\0\0\0b\0"s), "a");  // ends at the first zero unit
  EXPECT_EQ(wide_to_ansi("a\0b"s), "a");        // an odd last byte is ignored
  EXPECT_EQ(wide_to_ansi(""), "");
}

}  // namespace
}  // namespace quill
