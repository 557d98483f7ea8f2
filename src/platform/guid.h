#pragma once
// GUIDs and CLSIDs as 16-byte records, and CLSIDFromString for the registry
// text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".

#include <cstdint>
#include <string_view>

namespace quill::win {

struct GUID {
  std::uint32_t Data1 = 0;
  std::uint16_t Data2 = 0;
  std::uint16_t Data3 = 0;
  std::uint8_t Data4[8] = {};
  friend bool operator==(const GUID&, const GUID&) = default;
};
using CLSID = GUID;
using HRESULT = std::int32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
inline constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3);
inline constexpr HRESULT STG_E_INVALIDFUNCTION = static_cast<HRESULT>(0x80030001);

// Parses a zero-terminated UTF-16 CLSID in registry form. CO_E_CLASSSTRING
// (and an all-zero *clsid) when the text is not of that form.
HRESULT CLSIDFromString(const char16_t* text, CLSID* clsid);

// The same parse for ASCII text; false when malformed.
bool parse_guid(std::string_view text, GUID& out);

}  // namespace quill::win
