#include "platform/guid.h"

#include <string>

namespace quill::win {
namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads `digits` hex digits at `pos`; false when any is not a hex digit.
bool read_hex(std::string_view text, std::size_t pos, int digits, std::uint32_t& out) {
  out = 0;
  for (int i = 0; i < digits; ++i) {
    const int v = hex_value(text[pos + i]);
    if (v < 0) return false;
    out = out * 16 + static_cast<std::uint32_t>(v);
  }
  return true;
}

}  // namespace

bool parse_guid(std::string_view text, GUID& out) {
  // {12345678-1234-1234-1234-123456789abc}
  if (text.size() != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' || text[14] != '-' || text[19] != '-' ||
      text[24] != '-')
    return false;
  GUID g;
  std::uint32_t v = 0;
  if (!read_hex(text, 1, 8, v)) return false;
  g.Data1 = v;
  if (!read_hex(text, 10, 4, v)) return false;
  g.Data2 = static_cast<std::uint16_t>(v);
  if (!read_hex(text, 15, 4, v)) return false;
  g.Data3 = static_cast<std::uint16_t>(v);
  const std::size_t byte_pos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!read_hex(text, byte_pos[i], 2, v)) return false;
    g.Data4[i] = static_cast<std::uint8_t>(v);
  }
  out = g;
  return true;
}

HRESULT CLSIDFromString(const char16_t* text, CLSID* clsid) {
  if (clsid == nullptr) return E_INVALIDARG;
  *clsid = CLSID{};
  if (text == nullptr) return CO_E_CLASSSTRING;
  std::string ascii;
  for (const char16_t* p = text; *p != 0 && ascii.size() <= 38; ++p) {
    if (*p > 0x7F) return CO_E_CLASSSTRING;
    ascii.push_back(static_cast<char>(*p));
  }
  return parse_guid(ascii, *clsid) ? S_OK : CO_E_CLASSSTRING;
}

}  // namespace quill::win
