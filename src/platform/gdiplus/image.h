#pragma once
// Images and bitmaps: decoding (BMP, PNG, JPEG, GIF with its frames and
// delays, ICO) through Qt's image readers, encoding (BMP, JPEG, PNG) through
// Qt's image writers, pixel access, resolution, frames and the GDI bitmap and
// icon handles. An image decodes its whole source at load and keeps no
// reference to the file or stream it came from.
// Not supported: metafiles, TIFF, multi-frame saving (GdipSaveAdd and
// GdipSaveAddImage answer WrongState: no multi-frame save is ever open),
// negative strides in GdipCreateBitmapFromScan0 (InvalidParameter).

#include "platform/gdiplus/status.h"
#include "platform/gdiplus/types.h"
#include "platform/global_memory.h"

namespace quill::gdiplus {

Status GdipLoadImageFromFile(const WCHAR* path, GpImage** image);
// Reads the stream from its position to its end. UnknownImageFormat when the
// bytes do not decode.
Status GdipLoadImageFromStream(win::IStream* stream, GpImage** image);
Status GdipSaveImageToStream(GpImage* image, win::IStream* stream, const CLSID* encoder,
                             const EncoderParameters* parameters);
Status GdipSaveImageToFile(GpImage* image, const WCHAR* path, const CLSID* encoder,
                           const EncoderParameters* parameters);
Status GdipDisposeImage(GpImage* image);
Status GdipCloneImage(GpImage* image, GpImage** clone);

Status GdipGetImageType(GpImage* image, ImageType* type);
Status GdipCreateBitmapFromFile(const WCHAR* path, GpBitmap** bitmap);
Status GdipGetImageWidth(GpImage* image, UINT* width);
Status GdipGetImageHeight(GpImage* image, UINT* height);
Status GdipCreateBitmapFromGraphics(INT width, INT height, GpGraphics* target, GpBitmap** bitmap);
// With a null scan0 the bitmap owns zeroed pixels and stride is ignored;
// otherwise the bitmap draws into the caller's memory, which must outlive it.
Status GdipCreateBitmapFromScan0(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0, GpBitmap** bitmap);
Status GdipCreateBitmapFromHBITMAP(HBITMAP source, HPALETTE palette, GpBitmap** bitmap);
Status GdipCreateBitmapFromHICON(HICON icon, GpBitmap** bitmap);
Status GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* result, ARGB background);
Status GdipCreateHICONFromBitmap(GpBitmap* bitmap, HICON* result);
Status GdipBitmapSetPixel(GpBitmap* bitmap, INT x, INT y, ARGB colour);
Status GdipBitmapGetPixel(GpBitmap* bitmap, INT x, INT y, ARGB* colour);
Status GdipBitmapSetResolution(GpBitmap* bitmap, REAL xdpi, REAL ydpi);
Status GdipGetImageRawFormat(GpImage* image, GUID* format);
Status GdipGetEncoderParameterListSize(GpImage* image, const CLSID* encoder, UINT* size);
Status GdipGetEncoderParameterList(GpImage* image, const CLSID* encoder, UINT size, EncoderParameters* buffer);
Status GdipGetImageDimension(GpImage* image, REAL* width, REAL* height);
Status GdipGetImageBounds(GpImage* image, RectF* bounds, Unit* unit);
Status GdipGetImageHorizontalResolution(GpImage* image, REAL* resolution);
Status GdipGetImageVerticalResolution(GpImage* image, REAL* resolution);
Status GdipGetImageFlags(GpImage* image, UINT* flags);
Status GdipGetImagePixelFormat(GpImage* image, PixelFormat* format);
Status GdipGetImageEncodersSize(UINT* count, UINT* size);
// `buffer` holds `size` bytes: `count` records followed by their texts and
// signature bytes.
Status GdipGetImageEncoders(UINT count, UINT size, ImageCodecInfo* buffer);
Status GdipSaveAdd(GpImage* image, const EncoderParameters* parameters);
Status GdipSaveAddImage(GpImage* image, GpImage* new_image, const EncoderParameters* parameters);
// Frame delays (tag 0x5100) of an animated image: one 32-bit count of
// hundredths of a second per frame. PropertyNotFound for other tags and images.
Status GdipGetPropertyItemSize(GpImage* image, PROPID id, UINT* size);
Status GdipGetPropertyItem(GpImage* image, PROPID id, UINT size, PropertyItem* buffer);
Status GdipImageGetFrameDimensionsCount(GpImage* image, UINT* count);
Status GdipImageGetFrameDimensionsList(GpImage* image, GUID* dimensions, UINT count);
Status GdipImageGetFrameCount(GpImage* image, const GUID* dimension, UINT* count);
Status GdipImageSelectActiveFrame(GpImage* image, const GUID* dimension, UINT index);

// GDI bitmap and icon handles made by GdipCreateHBITMAPFromBitmap and
// GdipCreateHICONFromBitmap; the caller frees them with these.
BOOL DeleteBitmapHandle(HBITMAP bitmap);
BOOL DestroyIcon(HICON icon);

// Well-known format, frame dimension and encoder identifiers.
extern const GUID ImageFormatMemoryBMP, ImageFormatBMP, ImageFormatJPEG, ImageFormatPNG, ImageFormatGIF,
    ImageFormatIcon, ImageFormatTIFF;
extern const GUID FrameDimensionTime, FrameDimensionPage;
extern const GUID EncoderQuality;
extern const CLSID EncoderClsidBMP, EncoderClsidJPEG, EncoderClsidPNG;

}  // namespace quill::gdiplus
