#pragma once
// Helpers shared by the object families of the drawing layer.

#include <QColor>
#include <QString>
#include <QTransform>

#include "platform/gdiplus/status.h"
#include "platform/gdiplus/types.h"

namespace quill::gdiplus::detail {

bool started();
void note_created();
void note_deleted();

// Allocates a drawing object, counting it; nullptr without GdiplusStartup is
// reported by the caller through `creation_status`.
Status creation_status();

inline QColor to_qcolor(ARGB argb) {
  return QColor::fromRgba(argb);  // QRgb is 0xAARRGGBB too
}

inline ARGB to_argb(const QColor& colour) { return colour.rgba(); }

// A UTF-16 text of `length` units, or up to the terminator when length is -1.
QString to_qstring(const WCHAR* text, INT length = -1);

// GDI+ matrices map row vectors: prepend means the new matrix applies first.
void combine(QTransform& target, const QTransform& other, MatrixOrder order);

// Pixels per unit at 96 dpi (UnitWorld and UnitDisplay count as pixels).
REAL pixels_per_unit(Unit unit);

}  // namespace quill::gdiplus::detail
