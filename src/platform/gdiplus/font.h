#pragma once
// Font families and fonts over the installed fonts (fontconfig through Qt).
// The family "宋体" (SimSun) stands for the installed CJK family
// "WenQuanYi Zen Hei". Needs a QGuiApplication.

#include "platform/gdiplus/status.h"
#include "platform/gdiplus/types.h"
#include "platform/win_types.h"

namespace quill::gdiplus {

// Only the installed fonts (a null collection). FontFamilyNotFound when no
// installed family has that name.
Status GdipCreateFontFamilyFromName(const WCHAR* name, GpFontCollection* collection, GpFontFamily** family);
Status GdipDeleteFontFamily(GpFontFamily* family);
Status GdipGetFamilyName(const GpFontFamily* family, WCHAR* name, std::uint16_t language);  // 32 units
// Unit display is refused (InvalidParameter), as GDI+ does for fonts.
Status GdipCreateFont(const GpFontFamily* family, REAL em_size, INT style, Unit unit, GpFont** font);
// The device context's font: the application's default font.
Status GdipCreateFontFromDC(win::HDC dc, GpFont** font);
Status GdipDeleteFont(GpFont* font);
Status GdipGetFontStyle(GpFont* font, INT* style);
Status GdipGetFontSize(GpFont* font, REAL* size);
Status GdipGetFontUnit(GpFont* font, Unit* unit);
// Line spacing in the graphics' units (pixels).
Status GdipGetFontHeight(const GpFont* font, const GpGraphics* graphics, REAL* height);

}  // namespace quill::gdiplus
