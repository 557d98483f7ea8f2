#pragma once

#include <QFont>
#include <QString>

#include "platform/gdiplus/types.h"

namespace quill::gdiplus {

struct GpFontFamily {
  QString name;  // the installed family
};

struct GpFont {
  QString family;
  REAL size = 12.0f;
  INT style = FontStyleRegular;
  Unit unit = UnitPoint;
};

namespace detail {
QFont to_qfont(const GpFont& font);
}

}  // namespace quill::gdiplus
