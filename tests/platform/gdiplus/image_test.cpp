// Images: decoding from streams, encoding, pixels, conversions, encoders.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <cstring>
#include <vector>

#include "gdiplus_fixture.h"
#include "platform/global_memory.h"

namespace quill::test {
namespace {

using namespace gdiplus;

// A stream over a copy of `bytes`; the stream frees its block.
win::IStream* stream_of(const QByteArray& bytes) {
  win::HGLOBAL block = win::GlobalAlloc(win::GMEM_MOVEABLE, static_cast<win::SIZE_T>(bytes.size()));
  if (!bytes.isEmpty()) {
    std::memcpy(win::GlobalLock(block), bytes.constData(), static_cast<std::size_t>(bytes.size()));
    win::GlobalUnlock(block);
  }
  win::IStream* stream = nullptr;
  win::CreateStreamOnHGlobal(block, 1, &stream);
  return stream;
}

QByteArray encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

TEST_F(GdiplusTest, DecodesPngAndIconFromStreamsWithTheirPixels) {
  QImage source(3, 2, QImage::Format_ARGB32);
  source.fill(0x00000000);
  source.setPixel(1, 0, 0xFF112233);
  source.setPixel(2, 1, 0x80FFFFFF);
  for (const char* format : {"png", "ico"}) {
    win::IStream* stream = stream_of(encoded(source, format));
    GpImage* image = nullptr;
    ASSERT_EQ(GdipLoadImageFromStream(stream, &image), Ok) << format;
    stream->Release();
    UINT width = 0, height = 0;
    GdipGetImageWidth(image, &width);
    GdipGetImageHeight(image, &height);
    EXPECT_EQ(width, 3u) << format;
    EXPECT_EQ(height, 2u) << format;
    ARGB colour = 1;
    EXPECT_EQ(GdipBitmapGetPixel(image, 1, 0, &colour), Ok);
    EXPECT_EQ(colour, 0xFF112233u) << format;
    EXPECT_EQ(GdipBitmapGetPixel(image, 0, 0, &colour), Ok);
    EXPECT_EQ(colour >> 24, 0u) << format;
    EXPECT_EQ(GdipBitmapGetPixel(image, 3, 0, &colour), InvalidParameter) << format;
    PixelFormat pixel_format = 0;
    GdipGetImagePixelFormat(image, &pixel_format);
    EXPECT_EQ(pixel_format, PixelFormat32bppARGB) << format;
    GUID raw;
    GdipGetImageRawFormat(image, &raw);
    EXPECT_EQ(raw, std::string(format) == "png" ? ImageFormatPNG : ImageFormatIcon) << format;
    GdipDisposeImage(image);
  }
}

TEST_F(GdiplusTest, BytesThatDoNotDecodeGiveUnknownImageFormatAndNoImage) {
  for (const QByteArray& bytes : {QByteArray("not an image at all"), QByteArray(), QByteArray("\x89PNG\r\n", 6)}) {
    win::IStream* stream = stream_of(bytes);
    GpImage* image = reinterpret_cast<GpImage*>(1);
    EXPECT_EQ(GdipLoadImageFromStream(stream, &image), UnknownImageFormat) << bytes.size();
    EXPECT_EQ(image, nullptr);
    stream->Release();
  }
  GpImage* image = nullptr;
  EXPECT_EQ(GdipLoadImageFromStream(nullptr, &image), InvalidParameter);
  EXPECT_EQ(GdipLoadImageFromFile(u"/nonexistent/quill.png", &image), FileNotFound);
}

TEST_F(GdiplusTest, SavesThroughEncodersAndReadsBack) {
  canvas(5, 4);
  ASSERT_EQ(GdipBitmapSetPixel(bitmap_, 2, 1, 0xFFAA5500), Ok);
  win::IStream* stream = nullptr;
  ASSERT_EQ(win::CreateStreamOnHGlobal(nullptr, 1, &stream), win::S_OK);
  ASSERT_EQ(GdipSaveImageToStream(bitmap_, stream, &EncoderClsidPNG, nullptr), Ok);
  stream->Seek(0, win::STREAM_SEEK_SET, nullptr);
  GpImage* copy = nullptr;
  ASSERT_EQ(GdipLoadImageFromStream(stream, &copy), Ok);
  ARGB colour = 0;
  GdipBitmapGetPixel(copy, 2, 1, &colour);
  EXPECT_EQ(colour, 0xFFAA5500u);
  GdipDisposeImage(copy);
  const CLSID unknown{};
  EXPECT_EQ(GdipSaveImageToStream(bitmap_, stream, &unknown, nullptr), FileNotFound);
  stream->Release();

  UINT count = 0, size = 0;
  ASSERT_EQ(GdipGetImageEncodersSize(&count, &size), Ok);
  std::vector<std::uint64_t> buffer(size / 8 + 1);
  auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
  ASSERT_EQ(GdipGetImageEncoders(count, size, codecs), Ok);
  bool png = false;
  for (UINT i = 0; i < count; ++i)
    if (codecs[i].Clsid == EncoderClsidPNG) png = std::u16string(codecs[i].MimeType) == u"image/png";
  EXPECT_TRUE(png);
  EXPECT_EQ(GdipGetImageEncoders(count, size - 1, codecs), GenericError);

  UINT list_size = 0;
  ASSERT_EQ(GdipGetEncoderParameterListSize(bitmap_, &EncoderClsidJPEG, &list_size), Ok);
  std::vector<std::uint64_t> list_buffer(list_size / 8 + 1);
  auto* parameters = reinterpret_cast<EncoderParameters*>(list_buffer.data());
  ASSERT_EQ(GdipGetEncoderParameterList(bitmap_, &EncoderClsidJPEG, list_size, parameters), Ok);
  ASSERT_EQ(parameters->Count, 1u);
  EXPECT_EQ(parameters->Parameter[0].Guid, EncoderQuality);
}

TEST_F(GdiplusTest, BitmapsConvertToAndFromBitmapAndIconHandles) {
  canvas(4, 4);
  GdipBitmapSetPixel(bitmap_, 1, 1, 0xFF336699);
  HBITMAP handle = nullptr;
  ASSERT_EQ(GdipCreateHBITMAPFromBitmap(bitmap_, &handle, 0), Ok);
  GpImage* back = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromHBITMAP(handle, nullptr, &back), Ok);
  ARGB colour = 0;
  GdipBitmapGetPixel(back, 1, 1, &colour);
  EXPECT_EQ(colour, 0xFF336699u);
  HICON icon = nullptr;
  ASSERT_EQ(GdipCreateHICONFromBitmap(back, &icon), Ok);
  GpImage* from_icon = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromHICON(icon, &from_icon), Ok);
  GdipBitmapGetPixel(from_icon, 1, 1, &colour);
  EXPECT_EQ(colour, 0xFF336699u);
  EXPECT_EQ(DeleteBitmapHandle(handle), 1);
  EXPECT_EQ(DestroyIcon(icon), 1);
  GdipDisposeImage(back);
  GdipDisposeImage(from_icon);
}

TEST_F(GdiplusTest, BitmapOverCallerMemoryDrawsIntoThatMemory) {
  std::vector<std::uint32_t> pixels(4 * 3, 0xFFFFFFFF);
  GpImage* image = nullptr;
  ASSERT_EQ(GdipCreateBitmapFromScan0(4, 3, 16, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(pixels.data()), &image),
            Ok);
  GpGraphics* g = nullptr;
  ASSERT_EQ(GdipGetImageGraphicsContext(image, &g), Ok);
  GpBrush* brush = nullptr;
  GdipCreateSolidFill(0xFF0000FF, &brush);
  GdipFillRectangle(g, brush, 1, 1, 1, 1);
  EXPECT_EQ(pixels[1 * 4 + 1], 0xFF0000FFu);
  EXPECT_EQ(pixels[0], 0xFFFFFFFFu);
  GdipDeleteBrush(brush);
  GdipDeleteGraphics(g);
  GdipDisposeImage(image);
  GpImage* refused = reinterpret_cast<GpImage*>(1);
  EXPECT_EQ(GdipCreateBitmapFromScan0(4, 3, 10, PixelFormat32bppARGB, reinterpret_cast<BYTE*>(pixels.data()), &refused),
            InvalidParameter);
  EXPECT_EQ(refused, nullptr);
  EXPECT_EQ(GdipCreateBitmapFromScan0(0, 3, 0, PixelFormat32bppRGB, nullptr, &refused), InvalidParameter);
}

TEST_F(GdiplusTest, StillImagesHaveOnePageAndNoFrameDelays) {
  canvas(2, 2);
  UINT count = 0;
  ASSERT_EQ(GdipImageGetFrameDimensionsCount(bitmap_, &count), Ok);
  ASSERT_EQ(count, 1u);
  GUID dimension;
  ASSERT_EQ(GdipImageGetFrameDimensionsList(bitmap_, &dimension, 1), Ok);
  EXPECT_EQ(dimension, FrameDimensionPage);
  UINT frames = 0;
  EXPECT_EQ(GdipImageGetFrameCount(bitmap_, &dimension, &frames), Ok);
  EXPECT_EQ(frames, 1u);
  EXPECT_EQ(GdipImageSelectActiveFrame(bitmap_, &dimension, 1), InvalidParameter);
  UINT size = 0;
  EXPECT_EQ(GdipGetPropertyItemSize(bitmap_, PropertyTagFrameDelay, &size), PropertyNotFound);
  EXPECT_EQ(GdipSaveAdd(bitmap_, nullptr), WrongState);
}

}  // namespace
}  // namespace quill::test
