#pragma once
// Conversions at the drawing layer's boundary: system text (the ANSI code
// page, GBK) to zero-terminated UTF-16 and back, and GUIDs as 16-byte strings.

#include <cstring>
#include <string>
#include <string_view>

#include "platform/codepage.h"
#include "platform/guid.h"

namespace quill::presentation {

// MultiByteToWideChar with the ANSI code page; c_str() is the terminated form.
inline std::u16string to_wide(std::string_view ansi) { return platform::gbk_to_utf16(ansi); }

// WideCharToMultiByte: the layer's texts handed back (code page 936 serves as
// both the ANSI and the OEM code page here).
inline std::string from_wide(const char16_t* wide) {
  return wide == nullptr ? std::string() : platform::utf16_to_gbk(wide);
}

inline std::string guid_bytes(const win::GUID& guid) {
  std::string out(sizeof(win::GUID), '\0');
  std::memcpy(out.data(), &guid, sizeof guid);
  return out;
}

// A 16-byte string as a GUID; an all-zero GUID for any other length.
inline win::GUID guid_from_bytes(std::string_view bytes) {
  win::GUID guid;
  if (bytes.size() == sizeof guid) std::memcpy(&guid, bytes.data(), sizeof guid);
  return guid;
}

}  // namespace quill::presentation
