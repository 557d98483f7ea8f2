#pragma once
// GdiFont: owns one font of the drawing layer. One thread at a time; never
// copied.

#include <string>

#include "platform/gdiplus/font.h"

namespace quill::presentation {

class GdiGraphics;

class GdiFont final {
 public:
  GdiFont() = default;
  ~GdiFont() { dispose(); }
  GdiFont(const GdiFont&) = delete;
  GdiFont& operator=(const GdiFont&) = delete;

  void dispose();
  // A font of the installed family `family_name` (system text). Returns the
  // status of the font creation; a missing family leaves the object empty.
  gdiplus::Status create(const std::string& family_name, gdiplus::REAL em_size, gdiplus::INT style, gdiplus::Unit unit);
  gdiplus::Status create_font_from_dc(win::HDC dc);
  gdiplus::GpFont* handle() const { return handle_; }
  void adopt(gdiplus::GpFont* font);
  gdiplus::Status get_font_style(gdiplus::INT& style);
  gdiplus::Status get_font_size(gdiplus::REAL& size);
  gdiplus::Status get_font_unit(gdiplus::Unit& unit);
  gdiplus::Status get_font_height(const GdiGraphics& graphics, gdiplus::REAL& height);

 private:
  gdiplus::GpFont* handle_ = nullptr;
};

}  // namespace quill::presentation
