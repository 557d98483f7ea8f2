#pragma once
// Windows types, message numbers and records, as the system's code expects
// them. Handles are opaque pointers to objects of the window layer.

#include <cstdint>

namespace quill::win {

struct WindowObject;
struct DeviceContext;
struct GdiObject;

using HWND = WindowObject*;
using HDC = DeviceContext*;
using HGDIOBJ = GdiObject*;
using HBRUSH = GdiObject*;
using UINT = std::uint32_t;
using DWORD = std::uint32_t;
using BOOL = int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LONG_PTR = std::intptr_t;
using COLORREF = std::uint32_t;  // 0x00BBGGRR
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct RECT {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

struct DRAWITEMSTRUCT {
  UINT CtlType;
  UINT CtlID;
  UINT itemID;  // the row; 0xFFFFFFFF (-1) for an empty list
  UINT itemAction;
  UINT itemState;
  HWND hwndItem;
  HDC hDC;
  RECT rcItem;
  std::uintptr_t itemData;
};

struct TRACKMOUSEEVENT {
  DWORD cbSize;
  DWORD dwFlags;
  HWND hwndTrack;
  DWORD dwHoverTime;
};

inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_DRAWITEM = 0x002B;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_MOUSEWHEEL = 0x020A;
inline constexpr UINT WM_MOUSELEAVE = 0x02A3;
inline constexpr UINT LB_GETITEMRECT = 0x0198;
inline constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
inline constexpr LRESULT LB_ERR = -1;

// lParam of mouse messages: client x in the low word, y in the high word.
inline constexpr LPARAM MAKELPARAM(int x, int y) {
  return static_cast<LPARAM>((static_cast<std::uint32_t>(y & 0xFFFF) << 16) | static_cast<std::uint32_t>(x & 0xFFFF));
}

inline constexpr int GWL_WNDPROC = -4;
inline constexpr UINT ODT_LISTBOX = 2;
inline constexpr UINT ODA_DRAWENTIRE = 0x0001;
inline constexpr UINT ODS_SELECTED = 0x0001;
inline constexpr WPARAM MK_LBUTTON = 0x0001;
inline constexpr WPARAM MK_RBUTTON = 0x0002;
inline constexpr DWORD TME_LEAVE = 0x00000002;

}  // namespace quill::win
