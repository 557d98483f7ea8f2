// The drawing wrapper classes: ownership, replacement, streams, defaults.
#include <gtest/gtest.h>

#include <QImage>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/gdiplus/startup.h"
#include "platform/global_memory.h"
#include "presentation/gdi_brush.h"
#include "presentation/gdi_font.h"
#include "presentation/gdi_font_family.h"
#include "presentation/gdi_graphics.h"
#include "presentation/gdi_image.h"
#include "presentation/gdi_pen.h"
#include "presentation/hglobal_stream.h"
#include "presentation/row_icon.h"

namespace quill::test {
namespace {

using namespace presentation;
using gdiplus::Ok;

constexpr const char* kPngEncoder = "{557CF406-1A04-11D3-9A73-0000F81EF32E}";

class WrapperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(gdiplus::GdiplusStartup(&token_, &input, nullptr), Ok);
    objects_ = gdiplus::live_gdiplus_objects();
    blocks_ = win::live_global_blocks();
  }
  void TearDown() override {
    EXPECT_EQ(gdiplus::live_gdiplus_objects(), objects_) << "every drawing object released";
    EXPECT_EQ(win::live_global_blocks(), blocks_) << "every memory block freed";
    gdiplus::GdiplusShutdown(token_);
  }
  int objects() const { return gdiplus::live_gdiplus_objects() - objects_; }

  gdiplus::ULONG_PTR token_ = 0;
  int objects_ = 0;
  int blocks_ = 0;
};

TEST_F(WrapperTest, CreatingAgainReleasesTheFirstObjectAndDisposeReleasesOnce) {
  GdiBrush brush;
  ASSERT_EQ(brush.create_solid(0xFF000000), Ok);
  gdiplus::GpBrush* first = brush.handle();
  ASSERT_EQ(brush.create_solid(0xFFFFFFFF), Ok);
  EXPECT_NE(brush.handle(), first);
  EXPECT_EQ(objects(), 1);
  GdiPen pen;
  pen.create(0xFF000000, 1);
  pen.create(0xFF000000, 2);
  EXPECT_EQ(objects(), 2);
  pen.dispose();
  pen.dispose();
  EXPECT_EQ(pen.handle(), nullptr);
  EXPECT_EQ(objects(), 1);
  // A failed creation still releases what was held.
  const gdiplus::PointF same{0, 0};
  EXPECT_NE(brush.create_linear_gradient(same, same, 0, 0), Ok);
  EXPECT_EQ(brush.handle(), nullptr);
  EXPECT_EQ(objects(), 0);
  // An empty object passes a null handle and gets InvalidParameter.
  gdiplus::ARGB colour = 0;
  EXPECT_EQ(brush.get_solid_fill_color(colour), gdiplus::InvalidParameter);
}

TEST_F(WrapperTest, ImageDecodedFromBytesOwnsItsCopyOfThem) {
  {
    GdiImage icon;
    {
      const std::string bytes(row_icon());
      ASSERT_EQ(icon.load_from_bytes(bytes), Ok);
    }
    EXPECT_EQ(win::live_global_blocks(), blocks_ + 1) << "the block lives with the image";
    gdiplus::ARGB colour = 0;
    ASSERT_EQ(icon.bitmap_get_pixel(12, 20, colour), Ok);
    EXPECT_EQ(colour, row_icon_pixel(12, 20));
    gdiplus::UINT width = 0;
    icon.get_image_width(width);
    EXPECT_EQ(width, 32u);
    // Loading again replaces image and block; garbage leaves the object empty.
    ASSERT_EQ(icon.load_from_bytes(row_icon()), Ok);
    EXPECT_EQ(objects(), 1);
    EXPECT_EQ(icon.load_from_bytes("definitely not an image"), gdiplus::UnknownImageFormat);
    EXPECT_EQ(icon.handle(), nullptr);
    EXPECT_EQ(objects(), 0);
  }
  EXPECT_EQ(win::live_global_blocks(), blocks_);
}

TEST_F(WrapperTest, SaveToBytesRoundTripsThroughAnEncoder) {
  GdiImage bitmap;
  ASSERT_EQ(bitmap.create_bitmap(6, 5, 0, gdiplus::PixelFormat32bppARGB, nullptr), Ok);
  ASSERT_EQ(bitmap.bitmap_set_pixel(4, 3, 0xFF204060), Ok);
  std::string bytes;
  ASSERT_EQ(bitmap.save_to_bytes(bytes, kPngEncoder), Ok);
  EXPECT_EQ(bytes.substr(1, 3), "PNG");
  GdiImage copy;
  ASSERT_EQ(copy.load_from_bytes(bytes), Ok);
  gdiplus::ARGB colour = 0;
  copy.bitmap_get_pixel(4, 3, colour);
  EXPECT_EQ(colour, 0xFF204060u);
  EXPECT_EQ(bitmap.save_to_bytes(bytes, "not a clsid"), gdiplus::FileNotFound);

  std::vector<ImageEncoderRecord> encoders;
  ASSERT_EQ(bitmap.get_image_encoders(encoders), Ok);
  ASSERT_FALSE(encoders.empty());
  bool png = false;
  for (const ImageEncoderRecord& e : encoders)
    png = png || (e.mime_type == "image/png" && e.signature_patterns.size() == e.signature_size);
  EXPECT_TRUE(png);
  gdiplus::UINT frames = 0;
  EXPECT_EQ(bitmap.get_frame_count(frames), Ok);
  EXPECT_EQ(frames, 1u);
  std::vector<std::int32_t> delays{1, 2};
  EXPECT_EQ(bitmap.get_frame_delays(delays), gdiplus::PropertyNotFound);
  EXPECT_TRUE(delays.empty());
}

TEST_F(WrapperTest, HGlobalStreamFreesEachBlockOnce) {
  HGlobalStream stream;
  ASSERT_NE(stream.create("abc", true), nullptr);
  EXPECT_EQ(stream.size(), 3u);
  EXPECT_EQ(stream.bytes(), "abc");
  ASSERT_NE(stream.create({}, false), nullptr);  // replaces: the first block is freed
  EXPECT_EQ(win::live_global_blocks(), blocks_ + 1);
  win::DWORD written = 0;
  stream.stream()->Write("hello", 5, &written);
  EXPECT_EQ(stream.bytes(), "hello");
  stream.dispose();
  stream.dispose();
  EXPECT_EQ(stream.stream(), nullptr);
  EXPECT_EQ(stream.size(), 0u);
}

TEST_F(WrapperTest, DrawStringWithEmptyTextDrawsNothingAndCurveDefaultsDrawEveryPoint) {
  GdiImage image;
  ASSERT_EQ(image.create_bitmap(60, 30, 0, gdiplus::PixelFormat32bppRGB, nullptr), Ok);
  GdiGraphics graphics;
  ASSERT_EQ(graphics.from_image(image), Ok);
  graphics.graphics_clear(0xFFFFFFFF);
  GdiFont font;
  ASSERT_EQ(font.create("WenQuanYi Zen Hei", 12, 0, gdiplus::UnitPixel), Ok);
  GdiBrush brush;
  brush.create_solid(0xFF000000);
  EXPECT_EQ(graphics.draw_string("", 2, 2, font, brush), Ok);
  gdiplus::ARGB colour = 0;
  for (int x = 0; x < 60; x += 3) {
    image.bitmap_get_pixel(x, 8, colour);
    ASSERT_EQ(colour, 0xFFFFFFFFu) << x;
  }
  EXPECT_EQ(graphics.draw_string("Ab", 2, 2, font, brush), Ok);

  // Defaults: all points, from the first, count - 1 segments, tension 0.5.
  GdiPen pen;
  pen.create(0xFF000000, 1);
  const std::vector<gdiplus::PointF> points = {{2, 2}, {20, 25}, {40, 3}, {58, 27}};
  GdiImage a, b;
  GdiGraphics ga, gb;
  a.create_bitmap(60, 30, 0, gdiplus::PixelFormat32bppRGB, nullptr);
  b.create_bitmap(60, 30, 0, gdiplus::PixelFormat32bppRGB, nullptr);
  ga.from_image(a);
  gb.from_image(b);
  ASSERT_EQ(ga.draw_curve3(pen, points), Ok);
  ASSERT_EQ(gb.draw_curve3(pen, points, 4, 0, 3, 0.5f), Ok);
  int inked = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) {
      gdiplus::ARGB pa = 0, pb = 0;
      a.bitmap_get_pixel(x, y, pa);
      b.bitmap_get_pixel(x, y, pb);
      ASSERT_EQ(pa, pb) << x << "," << y;
      inked += pa == 0xFF000000 ? 1 : 0;
    }
  EXPECT_GT(inked, 60);
  EXPECT_EQ(ga.draw_curve3(pen, points, 5), gdiplus::InvalidParameter) << "never reads past the points";
  gdiplus::SmoothingMode mode = gdiplus::SmoothingModeAntiAlias;
  GdiGraphics empty;
  EXPECT_EQ(empty.get_smoothing_mode(mode), gdiplus::InvalidParameter);
  EXPECT_EQ(mode, gdiplus::SmoothingModeInvalid);
}

TEST_F(WrapperTest, FontWithAMissingFamilyStaysEmpty) {
  GdiFont font;
  ASSERT_EQ(font.create(gbk("宋体"), 12, 0, gdiplus::UnitPixel), Ok) << "system text in GBK is mapped";
  EXPECT_NE(font.handle(), nullptr);
  EXPECT_EQ(font.create("No Such Family 987", 12, 0, gdiplus::UnitPixel), gdiplus::InvalidParameter);
  EXPECT_EQ(font.handle(), nullptr);
  GdiFontFamily family;
  EXPECT_EQ(family.create_from_name("No Such Family 987"), gdiplus::FontFamilyNotFound);
  EXPECT_EQ(family.handle(), nullptr);
  EXPECT_EQ(objects(), 0);
}

TEST_F(WrapperTest, ClonesAndFillsAreAdoptedByTheirTargets) {
  GdiBrush brush, copy, fill;
  brush.create_hatch_brush(gdiplus::HatchStyleCross, 0xFF000000, 0xFFFFFFFF);
  ASSERT_EQ(brush.clone(copy), Ok);
  gdiplus::HatchStyle style = gdiplus::HatchStyleHorizontal;
  EXPECT_EQ(copy.get_hatch_style(style), Ok);
  EXPECT_EQ(style, gdiplus::HatchStyleCross);
  GdiPen pen, pen_copy;
  ASSERT_EQ(pen.create_pen2(brush, 3), Ok);
  ASSERT_EQ(pen.get_pen_brush_fill(fill), Ok);
  gdiplus::BrushType type = gdiplus::BrushTypeSolidColor;
  fill.get_brush_type(type);
  EXPECT_EQ(type, gdiplus::BrushTypeHatchFill);
  ASSERT_EQ(pen.clone(pen_copy), Ok);
  gdiplus::REAL width = 0;
  pen_copy.get_pen_width(width);
  EXPECT_FLOAT_EQ(width, 3);
  EXPECT_EQ(pen.set_pen_dash_array({1, 2}, 3), gdiplus::InvalidParameter);
  EXPECT_EQ(objects(), 5);
}

}  // namespace
}  // namespace quill::test
