#include "platform/gdiplus/font.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <algorithm>
#include <mutex>
#include <new>

#include "platform/gdiplus/font_private.h"
#include "platform/gdiplus/gdiplus_private.h"

namespace quill::gdiplus {

using detail::creation_status;
using detail::note_created;
using detail::note_deleted;

namespace {

// Names that stand for an installed family on this system.
QString installed_name(const QString& requested) {
  if (requested == QStringLiteral(u"宋体") || requested.compare(QStringLiteral("SimSun"), Qt::CaseInsensitive) == 0)
    return QStringLiteral("WenQuanYi Zen Hei");
  return requested;
}

bool family_installed(const QString& name) {
  // The family list is read once; fontconfig's answer does not change while
  // the program runs. Without an application there are no fonts to ask.
  static std::mutex mutex;
  static QStringList families;
  std::lock_guard hold(mutex);
  if (families.isEmpty() && QGuiApplication::instance() != nullptr) families = QFontDatabase::families();
  return families.contains(name, Qt::CaseInsensitive);
}

}  // namespace

namespace detail {

QFont to_qfont(const GpFont& font) {
  QFont q(font.family);
  q.setStyleStrategy(QFont::PreferAntialias);
  const qreal pixels = font.size * pixels_per_unit(font.unit);
  q.setPixelSize(std::max(1, static_cast<int>(pixels + 0.5)));
  q.setBold((font.style & FontStyleBold) != 0);
  q.setItalic((font.style & FontStyleItalic) != 0);
  q.setUnderline((font.style & FontStyleUnderline) != 0);
  q.setStrikeOut((font.style & FontStyleStrikeout) != 0);
  return q;
}

}  // namespace detail

Status GdipCreateFontFamilyFromName(const WCHAR* name, GpFontCollection* collection, GpFontFamily** family) {
  if (family != nullptr) *family = nullptr;
  if (name == nullptr || family == nullptr) return InvalidParameter;
  if (collection != nullptr) return NotImplemented;  // private collections are not supported
  if (const Status s = creation_status(); s != Ok) return s;
  const QString installed = installed_name(detail::to_qstring(name));
  if (installed.isEmpty() || !family_installed(installed)) return FontFamilyNotFound;
  *family = new (std::nothrow) GpFontFamily;
  if (*family == nullptr) return OutOfMemory;
  (*family)->name = installed;
  note_created();
  return Ok;
}

Status GdipDeleteFontFamily(GpFontFamily* family) {
  if (family == nullptr) return InvalidParameter;
  delete family;
  note_deleted();
  return Ok;
}

Status GdipGetFamilyName(const GpFontFamily* family, WCHAR* name, std::uint16_t language) {
  (void)language;
  if (family == nullptr || name == nullptr) return InvalidParameter;
  const QString text = family->name.left(31);
  std::copy(text.utf16(), text.utf16() + text.size(), name);
  name[text.size()] = 0;
  return Ok;
}

Status GdipCreateFont(const GpFontFamily* family, REAL em_size, INT style, Unit unit, GpFont** font) {
  if (font != nullptr) *font = nullptr;
  if (family == nullptr || font == nullptr || !(em_size > 0) || unit == UnitDisplay || unit < UnitWorld ||
      unit > UnitMillimeter)
    return InvalidParameter;
  if (const Status s = creation_status(); s != Ok) return s;
  *font = new (std::nothrow) GpFont;
  if (*font == nullptr) return OutOfMemory;
  (*font)->family = family->name;
  (*font)->size = em_size;
  (*font)->style = style;
  (*font)->unit = unit;
  note_created();
  return Ok;
}

Status GdipCreateFontFromDC(win::HDC dc, GpFont** font) {
  if (font != nullptr) *font = nullptr;
  if (dc == nullptr || font == nullptr) return InvalidParameter;
  if (const Status s = creation_status(); s != Ok) return s;
  const QFont standard = QGuiApplication::font();
  *font = new (std::nothrow) GpFont;
  if (*font == nullptr) return OutOfMemory;
  (*font)->family = standard.family();
  (*font)->size = standard.pixelSize() > 0 ? static_cast<REAL>(standard.pixelSize())
                                           : static_cast<REAL>(standard.pointSizeF() * 96.0 / 72.0);
  (*font)->unit = UnitPixel;
  note_created();
  return Ok;
}

Status GdipDeleteFont(GpFont* font) {
  if (font == nullptr) return InvalidParameter;
  delete font;
  note_deleted();
  return Ok;
}

Status GdipGetFontStyle(GpFont* font, INT* style) {
  if (font == nullptr || style == nullptr) return InvalidParameter;
  *style = font->style;
  return Ok;
}

Status GdipGetFontSize(GpFont* font, REAL* size) {
  if (font == nullptr || size == nullptr) return InvalidParameter;
  *size = font->size;
  return Ok;
}

Status GdipGetFontUnit(GpFont* font, Unit* unit) {
  if (font == nullptr || unit == nullptr) return InvalidParameter;
  *unit = font->unit;
  return Ok;
}

Status GdipGetFontHeight(const GpFont* font, const GpGraphics* graphics, REAL* height) {
  if (font == nullptr || height == nullptr) return InvalidParameter;
  (void)graphics;  // every graphics here measures in pixels at 96 dpi
  *height = static_cast<REAL>(QFontMetricsF(detail::to_qfont(*font)).lineSpacing());
  return Ok;
}

}  // namespace quill::gdiplus
