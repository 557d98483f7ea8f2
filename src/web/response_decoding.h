#pragma once
// Conversions between system text (GBK) and UTF-16 byte arrays, and the
// charset-aware decoding of response bodies. Any thread may call these.
//
// Byte arrays are std::string holding raw bytes (UTF-16 little-endian for the
// wide forms); system text never holds a zero byte.

#include <string>
#include <string_view>

namespace quill {

class RegexMatcher;

// GBK text (up to its first zero byte) as UTF-16LE bytes followed by a zero
// unit, which `drop_terminator` leaves out. Empty text gives no bytes at all.
std::string ansi_to_wide(std::string_view text, bool drop_terminator = false);

// UTF-16LE bytes (half the byte count in units, an odd last byte ignored) as
// GBK text, ending at the first zero unit. Characters GBK cannot hold become
// '?'.
std::string wide_to_ansi(std::string_view utf16_bytes);

// The body as GBK text. The first 1024 bytes of the body (cut at its first
// zero byte) are searched with `matcher` for a meta tag's charset. Without
// one, or when it is exactly "gbk" or "gb2312", the body is taken as GBK and
// cut at its first zero byte. Any other name re-decodes the whole body
// through iconv, characters GBK cannot hold becoming '?'; a name iconv does
// not know leaves the body taken as GBK. Initialises COM on the calling thread
// for the duration of the call.
std::string decode_response_text(std::string body, RegexMatcher& matcher);

}  // namespace quill
