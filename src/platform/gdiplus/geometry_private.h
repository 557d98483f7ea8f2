#pragma once

#include <QPainterPath>
#include <QRegion>
#include <QTransform>

#include "platform/gdiplus/types.h"

namespace quill::gdiplus {

struct GpMatrix {
  QTransform transform;
};

struct GpPath {
  QPainterPath path;
};

// A region is a painter path, or infinite (everything).
struct GpRegion {
  bool infinite = true;
  QPainterPath path;
};

struct GdiRegionObject {
  QRegion region;
};

namespace detail {
// The region combined with `other` as GDI+ combines regions.
void combine_regions(GpRegion& target, const GpRegion& other, CombineMode mode);
// A path standing for "everything" when a region is infinite.
QPainterPath infinite_path();
Qt::FillRule fill_rule(FillMode mode);
}  // namespace detail

}  // namespace quill::gdiplus
