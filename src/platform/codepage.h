#pragma once
// Code page 936 (GBK as Windows defines it, 0x80 is the euro sign) <-> UTF-16
// and UTF-8, over iconv. Stands in for MultiByteToWideChar/WideCharToMultiByte.
//
// Unconvertible input never stops a conversion and never reads past the input:
//  - to UTF-16/UTF-8: a byte pair that is no GBK character (0xFF leads one),
//    or a lead byte with nothing after it, becomes U+003F '?'; a lead byte
//    followed by a byte below 0x40 becomes '?' and the second byte is
//    converted on its own.
//  - to GBK: a character GBK cannot hold (or a lone surrogate) becomes '?'.
// Any thread may call these; each thread keeps its own iconv descriptors.

#include <string>
#include <string_view>

namespace quill::platform {

std::u16string gbk_to_utf16(std::string_view gbk);
std::string utf16_to_gbk(std::u16string_view utf16);
std::string gbk_to_utf8(std::string_view gbk);
std::string utf8_to_gbk(std::string_view utf8);

// Converts any charset iconv knows to UTF-16. Returns false, leaving `out`
// empty, when iconv does not know `charset`. Unconvertible bytes become '?'.
bool charset_to_utf16(std::string_view bytes, const std::string& charset, std::u16string& out);

}  // namespace quill::platform

namespace quill {

// A Chinese literal written in UTF-8 source, as system text (GBK bytes).
// Every Chinese literal of the system goes through this one helper.
inline std::string gbk(std::string_view utf8_literal) { return platform::utf8_to_gbk(utf8_literal); }

}  // namespace quill
