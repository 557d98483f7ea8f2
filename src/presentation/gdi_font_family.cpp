#include "presentation/gdi_font_family.h"

#include "presentation/wide_text.h"

namespace quill::presentation {

void GdiFontFamily::dispose() {
  if (handle_ == nullptr) return;
  gdiplus::GdipDeleteFontFamily(handle_);
  handle_ = nullptr;
}

gdiplus::Status GdiFontFamily::create_from_name(const std::string& name) {
  gdiplus::GpFontFamily* made = nullptr;
  const std::u16string wide = to_wide(name);
  const gdiplus::Status status = gdiplus::GdipCreateFontFamilyFromName(wide.c_str(), nullptr, &made);
  adopt(made);
  return status;
}

void GdiFontFamily::adopt(gdiplus::GpFontFamily* family) {
  dispose();
  handle_ = family;
}

}  // namespace quill::presentation
