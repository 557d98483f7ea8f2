#pragma once

#include <QPainterPath>
#include <QPen>
#include <QTransform>
#include <vector>

#include "platform/gdiplus/brush_private.h"
#include "platform/gdiplus/types.h"

namespace quill::gdiplus {

struct GpPen {
  REAL width = 1.0f;
  Unit unit = UnitWorld;
  GpBrush fill;  // a solid colour unless a brush was set
  LineCap start_cap = LineCapFlat;
  LineCap end_cap = LineCapFlat;
  DashCap dash_cap = DashCapFlat;
  LineJoin join = LineJoinMiter;
  REAL miter_limit = 10.0f;
  PenAlignment alignment = PenAlignmentCenter;
  DashStyle dash_style = DashStyleSolid;
  REAL dash_offset = 0.0f;
  std::vector<REAL> dashes;
  std::vector<REAL> compound;
  QTransform transform;
};

namespace detail {
// The pen as a Qt pen for strokes whose area is `area` (user space).
QPen to_qpen(const GpPen& pen, const QRectF& area);
// The filled outline of `path` stroked with a compound pen.
QPainterPath compound_outline(const GpPen& pen, const QPainterPath& path);
}  // namespace detail

}  // namespace quill::gdiplus
