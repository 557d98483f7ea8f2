#pragma once

#include <QBrush>
#include <QImage>
#include <QPainterPath>
#include <QTransform>
#include <vector>

#include "platform/gdiplus/types.h"

namespace quill::gdiplus {

struct GpBrush {
  BrushType type = BrushTypeSolidColor;
  ARGB colour = 0xFF000000;   // solid colour; hatch foreground; path centre colour
  ARGB colour2 = 0xFFFFFFFF;  // hatch background; path surround colour
  HatchStyle hatch = HatchStyleHorizontal;
  // Linear gradient.
  PointF point1, point2;
  ARGB line_colours[2] = {0, 0};
  RectF rect;
  bool gamma = false;
  std::vector<REAL> blend_factors, blend_positions;
  std::vector<ARGB> preset_colours;
  std::vector<REAL> preset_positions;
  WrapMode wrap = WrapModeTile;
  QTransform transform;
  // Texture.
  QImage texture;
  // Path gradient.
  QPainterPath boundary;
  PointF centre;
};

namespace detail {

// The brush as a Qt brush for filling in device space whose drawing area
// bounds are `area` (used to render path gradients). `clip` receives the area
// outside which a clamped texture or path gradient paints nothing (empty path:
// no limit).
QBrush to_qbrush(const GpBrush& brush, const QRectF& area, QPainterPath& clip);

// A new brush object copying `brush`; nullptr when memory is short.
GpBrush* copy_brush(const GpBrush& brush);

}  // namespace detail
}  // namespace quill::gdiplus
