#include "platform/gdiplus/image.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <cstring>
#include <new>

#include "platform/gdiplus/gdiplus_private.h"
#include "platform/gdiplus/graphics_private.h"
#include "platform/gdiplus/image_private.h"

namespace quill::gdiplus {

using detail::creation_status;
using detail::note_created;
using detail::note_deleted;

namespace {

GUID guid(std::uint32_t d1, std::uint16_t d2, std::uint16_t d3, std::initializer_list<std::uint8_t> d4) {
  GUID g;
  g.Data1 = d1;
  g.Data2 = d2;
  g.Data3 = d3;
  std::size_t i = 0;
  for (std::uint8_t b : d4) g.Data4[i++] = b;
  return g;
}

GUID image_format(std::uint32_t d1) {
  return guid(d1, 0x0728, 0x11d3, {0x9d, 0x7b, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e});
}

struct QtFormat {
  QImage::Format format;
  bool known;
};

QtFormat qt_format(PixelFormat format) {
  switch (format) {
    case PixelFormat32bppRGB:
      return {QImage::Format_RGB32, true};
    case PixelFormat32bppARGB:
      return {QImage::Format_ARGB32, true};
    case PixelFormat32bppPARGB:
      return {QImage::Format_ARGB32_Premultiplied, true};
    case PixelFormat24bppRGB:
      return {QImage::Format_BGR888, true};
    case PixelFormat16bppRGB565:
      return {QImage::Format_RGB16, true};
    case PixelFormat16bppRGB555:
      return {QImage::Format_RGB555, true};
    case PixelFormat8bppIndexed:
      return {QImage::Format_Indexed8, true};
    default:
      return {QImage::Format_Invalid, false};
  }
}

// Bits per pixel in bits 8..15 of a pixel format.
int bits_per_pixel(PixelFormat format) { return (format >> 8) & 0xFF; }

Status decode(const QByteArray& bytes, GpImage** out) {
  if (out == nullptr) return InvalidParameter;
  *out = nullptr;
  if (const Status s = creation_status(); s != Ok) return s;
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QByteArray kind = reader.format();
  if (kind.isEmpty()) return UnknownImageFormat;
  auto* image = new (std::nothrow) GpImage;
  if (image == nullptr) return OutOfMemory;
  const bool animated = kind == "gif";
  while (true) {
    QImage frame;
    if (!reader.read(&frame)) break;
    const int delay_ms = reader.nextImageDelay();
    image->frames.push_back(frame.hasAlphaChannel() ? frame.convertToFormat(QImage::Format_ARGB32)
                                                    : frame.convertToFormat(QImage::Format_RGB32));
    image->delays.push_back(delay_ms / 10);
    if (!animated) break;  // an icon file's further images are other sizes, not frames
  }
  if (image->frames.empty()) {
    delete image;
    return UnknownImageFormat;
  }
  const QImage& first = image->frames.front();
  image->time_frames = animated;
  image->format = first.hasAlphaChannel() ? PixelFormat32bppARGB : PixelFormat32bppRGB;
  if (kind == "jpeg" || kind == "jpg") image->format = PixelFormat24bppRGB;
  if (animated) image->format = PixelFormat8bppIndexed;
  if (kind == "bmp")
    image->raw_format = ImageFormatBMP;
  else if (kind == "png")
    image->raw_format = ImageFormatPNG;
  else if (kind == "jpeg" || kind == "jpg")
    image->raw_format = ImageFormatJPEG;
  else if (kind == "gif")
    image->raw_format = ImageFormatGIF;
  else if (kind == "ico")
    image->raw_format = ImageFormatIcon;
  image->flags = ImageFlagsReadOnly | ImageFlagsHasRealPixelSize | ImageFlagsColorSpaceRGB;
  if (first.hasAlphaChannel()) image->flags |= ImageFlagsHasAlpha;
  if (first.dotsPerMeterX() > 0 && first.dotsPerMeterY() > 0) {
    image->dpi_x = static_cast<REAL>(first.dotsPerMeterX() * 0.0254);
    image->dpi_y = static_cast<REAL>(first.dotsPerMeterY() * 0.0254);
    image->flags |= ImageFlagsHasRealDPI;
  }
  note_created();
  *out = image;
  return Ok;
}

GpImage* bitmap_of(GpImage* image) { return image; }

}  // namespace

const GUID ImageFormatMemoryBMP = image_format(0xb96b3caa);
const GUID ImageFormatBMP = image_format(0xb96b3cab);
const GUID ImageFormatJPEG = image_format(0xb96b3cae);
const GUID ImageFormatPNG = image_format(0xb96b3caf);
const GUID ImageFormatGIF = image_format(0xb96b3cb0);
const GUID ImageFormatTIFF = image_format(0xb96b3cb1);
const GUID ImageFormatIcon = image_format(0xb96b3cb5);
const GUID FrameDimensionTime = guid(0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72});
const GUID FrameDimensionPage = guid(0x7462dc86, 0x6180, 0x4c7e, {0x8e, 0x3f, 0xee, 0x73, 0x33, 0xa7, 0xa4, 0x83});

namespace detail {

QImage& current_frame(GpImage& image) { return image.frames[image.active]; }

Status make_image(QImage picture, PixelFormat format, GpImage** out) {
  if (out == nullptr) return InvalidParameter;
  *out = nullptr;
  if (const Status s = creation_status(); s != Ok) return s;
  if (picture.isNull()) return OutOfMemory;
  auto* image = new (std::nothrow) GpImage;
  if (image == nullptr) return OutOfMemory;
  image->frames.push_back(std::move(picture));
  image->delays.push_back(0);
  image->format = format;
  image->raw_format = ImageFormatMemoryBMP;
  image->flags = ImageFlagsColorSpaceRGB;
  if (image->frames.front().hasAlphaChannel()) image->flags |= ImageFlagsHasAlpha;
  note_created();
  *out = image;
  return Ok;
}

}  // namespace detail

Status GdipLoadImageFromFile(const WCHAR* path, GpImage** image) {
  if (image != nullptr) *image = nullptr;
  if (path == nullptr || image == nullptr) return InvalidParameter;
  QFile file(detail::to_qstring(path));
  if (!file.exists()) return FileNotFound;
  if (!file.open(QIODevice::ReadOnly)) return AccessDenied;
  return decode(file.readAll(), image);
}

Status GdipLoadImageFromStream(win::IStream* stream, GpImage** image) {
  if (image != nullptr) *image = nullptr;
  if (stream == nullptr || image == nullptr) return InvalidParameter;
  QByteArray bytes;
  char chunk[16384];
  win::DWORD got = 0;
  do {
    if (stream->Read(chunk, sizeof chunk, &got) != win::S_OK) return GenericError;
    bytes.append(chunk, static_cast<qsizetype>(got));
  } while (got == sizeof chunk);
  return decode(bytes, image);
}

Status GdipDisposeImage(GpImage* image) {
  if (image == nullptr) return InvalidParameter;
  delete image;
  note_deleted();
  return Ok;
}

Status GdipCloneImage(GpImage* image, GpImage** clone) {
  if (clone != nullptr) *clone = nullptr;
  if (image == nullptr || clone == nullptr) return InvalidParameter;
  if (const Status s = creation_status(); s != Ok) return s;
  auto* copy = new (std::nothrow) GpImage(*image);
  if (copy == nullptr) return OutOfMemory;
  for (QImage& frame : copy->frames) frame = frame.copy();  // detach from foreign pixel memory
  note_created();
  *clone = copy;
  return Ok;
}

Status GdipGetImageType(GpImage* image, ImageType* type) {
  if (image == nullptr || type == nullptr) return InvalidParameter;
  *type = ImageTypeBitmap;
  return Ok;
}

Status GdipCreateBitmapFromFile(const WCHAR* path, GpBitmap** bitmap) { return GdipLoadImageFromFile(path, bitmap); }

Status GdipGetImageWidth(GpImage* image, UINT* width) {
  if (image == nullptr || width == nullptr) return InvalidParameter;
  *width = static_cast<UINT>(detail::current_frame(*image).width());
  return Ok;
}

Status GdipGetImageHeight(GpImage* image, UINT* height) {
  if (image == nullptr || height == nullptr) return InvalidParameter;
  *height = static_cast<UINT>(detail::current_frame(*image).height());
  return Ok;
}

Status GdipCreateBitmapFromGraphics(INT width, INT height, GpGraphics* target, GpBitmap** bitmap) {
  if (bitmap != nullptr) *bitmap = nullptr;
  if (target == nullptr || bitmap == nullptr || width <= 0 || height <= 0) return InvalidParameter;
  const Status s = GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppPARGB, nullptr, bitmap);
  if (s == Ok) {
    (*bitmap)->dpi_x = detail::graphics_dpi(*target);
    (*bitmap)->dpi_y = detail::graphics_dpi(*target);
  }
  return s;
}

Status GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0,
                                 GpBitmap** bitmap) {
  if (bitmap != nullptr) *bitmap = nullptr;
  const QtFormat qt = qt_format(format);
  if (bitmap == nullptr || width <= 0 || height <= 0 || !qt.known) return InvalidParameter;
  QImage picture;
  if (scan0 == nullptr) {
    picture = QImage(width, height, qt.format);
    if (picture.isNull()) return OutOfMemory;
    if (qt.format == QImage::Format_Indexed8) {
      QList<QRgb> greys;
      for (int i = 0; i < 256; ++i) greys.append(qRgb(i, i, i));
      picture.setColorTable(greys);
    }
    picture.fill(0);
  } else {
    const long long row_bytes = (static_cast<long long>(width) * bits_per_pixel(format) + 7) / 8;
    if (stride <= 0 || stride % 4 != 0 || stride < row_bytes) return InvalidParameter;
    picture = QImage(scan0, width, height, stride, qt.format);
    if (picture.isNull()) return OutOfMemory;
  }
  return detail::make_image(std::move(picture), format, bitmap);
}

Status GdipCreateBitmapFromHBITMAP(HBITMAP source, HPALETTE palette, GpBitmap** bitmap) {
  (void)palette;  // handles hold true-colour pixels; no palette applies
  if (bitmap != nullptr) *bitmap = nullptr;
  if (source == nullptr || bitmap == nullptr) return InvalidParameter;
  return detail::make_image(source->image.convertToFormat(QImage::Format_RGB32), PixelFormat32bppRGB, bitmap);
}

Status GdipCreateBitmapFromHICON(HICON icon, GpBitmap** bitmap) {
  if (bitmap != nullptr) *bitmap = nullptr;
  if (icon == nullptr || bitmap == nullptr) return InvalidParameter;
  return detail::make_image(icon->image.convertToFormat(QImage::Format_ARGB32), PixelFormat32bppARGB, bitmap);
}

Status GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* result, ARGB background) {
  if (result != nullptr) *result = nullptr;
  if (bitmap == nullptr || result == nullptr) return InvalidParameter;
  const QImage& frame = detail::current_frame(*bitmap);
  auto* handle = new (std::nothrow) GdiBitmapObject;
  if (handle == nullptr) return OutOfMemory;
  handle->image = QImage(frame.size(), QImage::Format_RGB32);
  handle->image.fill(detail::to_qcolor(background | 0xFF000000u));
  {
    QPainter painter(&handle->image);
    painter.drawImage(0, 0, frame);
  }
  *result = handle;
  return Ok;
}

Status GdipCreateHICONFromBitmap(GpBitmap* bitmap, HICON* result) {
  if (result != nullptr) *result = nullptr;
  if (bitmap == nullptr || result == nullptr) return InvalidParameter;
  auto* handle = new (std::nothrow) GdiIconObject;
  if (handle == nullptr) return OutOfMemory;
  handle->image = detail::current_frame(*bitmap).convertToFormat(QImage::Format_ARGB32);
  *result = handle;
  return Ok;
}

BOOL DeleteBitmapHandle(HBITMAP bitmap) {
  if (bitmap == nullptr) return 0;
  delete bitmap;
  return 1;
}

BOOL DestroyIcon(HICON icon) {
  if (icon == nullptr) return 0;
  delete icon;
  return 1;
}

Status GdipBitmapSetPixel(GpBitmap* bitmap, INT x, INT y, ARGB colour) {
  if (bitmap == nullptr) return InvalidParameter;
  QImage& frame = detail::current_frame(*bitmap);
  if (x < 0 || y < 0 || x >= frame.width() || y >= frame.height()) return InvalidParameter;
  if (frame.format() == QImage::Format_Indexed8) return InvalidParameter;  // as GDI+: no pixel writes to indexed
  frame.setPixelColor(x, y, detail::to_qcolor(colour));
  return Ok;
}

Status GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* colour) {
  if (bitmap == nullptr || colour == nullptr) return InvalidParameter;
  const QImage& frame = detail::current_frame(*bitmap);
  if (x < 0 || y < 0 || x >= frame.width() || y >= frame.height()) return InvalidParameter;
  *colour = detail::to_argb(frame.pixelColor(x, y));
  return Ok;
}

Status GdipBitmapSetResolution(GpBitmap* bitmap, REAL xdpi, REAL ydpi) {
  if (bitmap == nullptr || !(xdpi > 0) || !(ydpi > 0)) return InvalidParameter;
  bitmap->dpi_x = xdpi;
  bitmap->dpi_y = ydpi;
  return Ok;
}

Status GdipGetImageRawFormat(GpImage* image, GUID* format) {
  if (image == nullptr || format == nullptr) return InvalidParameter;
  *format = image->raw_format;
  return Ok;
}

Status GdipGetImageDimension(GpImage* image, REAL* width, REAL* height) {
  if (image == nullptr || width == nullptr || height == nullptr) return InvalidParameter;
  *width = static_cast<REAL>(detail::current_frame(*image).width());
  *height = static_cast<REAL>(detail::current_frame(*image).height());
  return Ok;
}

Status GdipGetImageBounds(GpImage* image, RectF* bounds, Unit* unit) {
  if (image == nullptr || bounds == nullptr || unit == nullptr) return InvalidParameter;
  const QImage& frame = detail::current_frame(*image);
  *bounds = RectF{0, 0, static_cast<REAL>(frame.width()), static_cast<REAL>(frame.height())};
  *unit = UnitPixel;
  return Ok;
}

Status GdipGetImageHorizontalResolution(GpImage* image, REAL* resolution) {
  if (image == nullptr || resolution == nullptr) return InvalidParameter;
  *resolution = image->dpi_x;
  return Ok;
}

Status GdipGetImageVerticalResolution(GpImage* image, REAL* resolution) {
  if (image == nullptr || resolution == nullptr) return InvalidParameter;
  *resolution = image->dpi_y;
  return Ok;
}

Status GdipGetImageFlags(GpImage* image, UINT* flags) {
  if (image == nullptr || flags == nullptr) return InvalidParameter;
  *flags = image->flags;
  return Ok;
}

Status GdipGetImagePixelFormat(GpImage* image, PixelFormat* format) {
  if (image == nullptr || format == nullptr) return InvalidParameter;
  *format = image->format;
  return Ok;
}

Status GdipSaveAdd(GpImage* image, const EncoderParameters* parameters) {
  (void)parameters;
  return image == nullptr ? InvalidParameter : WrongState;
}

Status GdipSaveAddImage(GpImage* image, GpImage* new_image, const EncoderParameters* parameters) {
  (void)parameters;
  return image == nullptr || new_image == nullptr ? InvalidParameter : WrongState;
}

Status GdipGetPropertyItemSize(GpImage* image, PROPID id, UINT* size) {
  if (image == nullptr || size == nullptr) return InvalidParameter;
  if (id != PropertyTagFrameDelay || !image->time_frames) return PropertyNotFound;
  *size = static_cast<UINT>(sizeof(PropertyItem) + image->delays.size() * sizeof(std::int32_t));
  return Ok;
}

Status GdipGetPropertyItem(GpImage* image, PROPID id, UINT size, PropertyItem* buffer) {
  if (image == nullptr || buffer == nullptr) return InvalidParameter;
  UINT needed = 0;
  if (const Status s = GdipGetPropertyItemSize(image, id, &needed); s != Ok) return s;
  if (size != needed) return InvalidParameter;
  auto* values = reinterpret_cast<BYTE*>(buffer) + sizeof(PropertyItem);
  std::memcpy(values, image->delays.data(), image->delays.size() * sizeof(std::int32_t));
  buffer->id = id;
  buffer->length = static_cast<ULONG>(image->delays.size() * sizeof(std::int32_t));
  buffer->type = PropertyTagTypeLong;
  buffer->value = values;
  return Ok;
}

Status GdipImageGetFrameDimensionsCount(GpImage* image, UINT* count) {
  if (image == nullptr || count == nullptr) return InvalidParameter;
  *count = 1;
  return Ok;
}

Status GdipImageGetFrameDimensionsList(GpImage* image, GUID* dimensions, UINT count) {
  if (image == nullptr || dimensions == nullptr || count != 1) return InvalidParameter;
  dimensions[0] = image->time_frames ? FrameDimensionTime : FrameDimensionPage;
  return Ok;
}

Status GdipImageGetFrameCount(GpImage* image, const GUID* dimension, UINT* count) {
  if (image == nullptr || dimension == nullptr || count == nullptr) return InvalidParameter;
  const GUID& mine = image->time_frames ? FrameDimensionTime : FrameDimensionPage;
  if (!(*dimension == mine)) return InvalidParameter;
  *count = static_cast<UINT>(image->frames.size());
  return Ok;
}

Status GdipImageSelectActiveFrame(GpImage* image, const GUID* dimension, UINT index) {
  UINT count = 0;
  if (const Status s = GdipImageGetFrameCount(image, dimension, &count); s != Ok) return s;
  if (index >= count) return InvalidParameter;
  bitmap_of(image)->active = index;
  return Ok;
}

}  // namespace quill::gdiplus
