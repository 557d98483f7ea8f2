#pragma once
// GdiFontFamily: owns one font family of the drawing layer. One thread at a
// time; never copied.

#include <string>

#include "platform/gdiplus/font.h"

namespace quill::presentation {

class GdiFontFamily final {
 public:
  GdiFontFamily() = default;
  ~GdiFontFamily() { dispose(); }
  GdiFontFamily(const GdiFontFamily&) = delete;
  GdiFontFamily& operator=(const GdiFontFamily&) = delete;

  void dispose();
  // An installed family by name (system text); FontFamilyNotFound leaves the
  // object empty.
  gdiplus::Status create_from_name(const std::string& name);
  gdiplus::GpFontFamily* handle() const { return handle_; }
  void adopt(gdiplus::GpFontFamily* family);

 private:
  gdiplus::GpFontFamily* handle_ = nullptr;
};

}  // namespace quill::presentation
