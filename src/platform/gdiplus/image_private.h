#pragma once

#include <QImage>
#include <vector>

#include "platform/gdiplus/status.h"
#include "platform/gdiplus/types.h"

namespace quill::gdiplus {

struct GpImage {
  std::vector<QImage> frames;  // at least one
  std::size_t active = 0;
  PixelFormat format = PixelFormat32bppARGB;
  GUID raw_format;
  bool time_frames = false;  // frames are animation steps (GIF), else pages
  std::vector<INT> delays;   // hundredths of a second, one per frame
  REAL dpi_x = 96.0f;
  REAL dpi_y = 96.0f;
  UINT flags = 0;
};

struct GdiBitmapObject {
  QImage image;
};

struct GdiIconObject {
  QImage image;
};

namespace detail {

QImage& current_frame(GpImage& image);
// A new image object around `picture`; counts it.
Status make_image(QImage picture, PixelFormat format, GpImage** out);

}  // namespace detail
}  // namespace quill::gdiplus
