#include "presentation/gdi_font.h"

#include "presentation/gdi_font_family.h"
#include "presentation/gdi_graphics.h"

namespace quill::presentation {

void GdiFont::dispose() {
  if (handle_ == nullptr) return;
  gdiplus::GdipDeleteFont(handle_);
  handle_ = nullptr;
}

gdiplus::Status GdiFont::create(const std::string& family_name, gdiplus::REAL em_size, gdiplus::INT style,
                                gdiplus::Unit unit) {
  GdiFontFamily family;
  family.create_from_name(family_name);
  gdiplus::GpFont* made = nullptr;
  const gdiplus::Status status = gdiplus::GdipCreateFont(family.handle(), em_size, style, unit, &made);
  adopt(made);
  return status;
}

gdiplus::Status GdiFont::create_font_from_dc(win::HDC dc) {
  gdiplus::GpFont* made = nullptr;
  const gdiplus::Status status = gdiplus::GdipCreateFontFromDC(dc, &made);
  adopt(made);
  return status;
}

void GdiFont::adopt(gdiplus::GpFont* font) {
  dispose();
  handle_ = font;
}

gdiplus::Status GdiFont::get_font_style(gdiplus::INT& style) { return gdiplus::GdipGetFontStyle(handle_, &style); }
gdiplus::Status GdiFont::get_font_size(gdiplus::REAL& size) { return gdiplus::GdipGetFontSize(handle_, &size); }
gdiplus::Status GdiFont::get_font_unit(gdiplus::Unit& unit) { return gdiplus::GdipGetFontUnit(handle_, &unit); }

gdiplus::Status GdiFont::get_font_height(const GdiGraphics& graphics, gdiplus::REAL& height) {
  return gdiplus::GdipGetFontHeight(handle_, graphics.handle(), &height);
}

}  // namespace quill::presentation
