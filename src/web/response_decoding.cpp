#include "web/response_decoding.h"

#include "platform/codepage.h"
#include "platform/com.h"
#include "platform/toolkit.h"
#include "web/regex_matcher.h"

namespace quill {
namespace {

constexpr std::string_view charset_pattern = "<meta.+?charset=[^\\w]?([-\\w]+)";
constexpr std::size_t sniffing_window = 1024;

}  // namespace

std::string ansi_to_wide(std::string_view text, bool drop_terminator) {
  text = text.substr(0, text.find('\0'));
  if (text.empty()) return {};
  const std::u16string wide = platform::gbk_to_utf16(text);
  std::string bytes;
  bytes.reserve(wide.size() * 2 + 2);
  for (char16_t unit : wide) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  if (!drop_terminator) bytes.append(2, '\0');
  return bytes;
}

std::string wide_to_ansi(std::string_view utf16_bytes) {
  std::u16string wide;
  wide.reserve(utf16_bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < utf16_bytes.size(); i += 2) {
    const auto unit = static_cast<char16_t>(static_cast<unsigned char>(utf16_bytes[i]) |
                                            static_cast<unsigned char>(utf16_bytes[i + 1]) << 8);
    if (unit == 0) break;
    wide.push_back(unit);
  }
  return platform::utf16_to_gbk(wide);
}

std::string decode_response_text(std::string body, RegexMatcher& matcher) {
  const std::size_t text_length = std::min(body.find('\0'), body.size());
  std::string text;
  bool redecoded = false;
  {
    platform::ComScope com;
    const std::string_view window = std::string_view(body).substr(0, std::min(text_length, sniffing_window));
    if (matcher.execute(charset_pattern, window)) {
      const std::string charset = matcher.submatch_text(1, 1);
      std::u16string wide;
      if (!charset.empty() && charset != "gbk" && charset != "gb2312" &&
          platform::charset_to_utf16(body, charset, wide)) {
        // Decoded whole; zero characters are dropped, as text holds none.
        std::erase(wide, u'\0');
        text = platform::utf16_to_gbk(wide);
        redecoded = true;
      }
      toolkit::process_pending_events();
    }
  }
  if (!redecoded) {
    // Taken as GBK: the body itself, cut at its first zero byte, without a copy.
    body.resize(text_length);
    text = std::move(body);
  }
  toolkit::process_pending_events();
  return text;
}

}  // namespace quill
