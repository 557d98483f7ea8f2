// Flat drawing functions: statuses, start-up, shapes, brushes, text, clips.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "gdiplus_fixture.h"
#include "platform/device_context.h"
#include "platform/gdiplus/font.h"
#include "platform/gdiplus/geometry.h"
#include "platform/gdiplus/status.h"

namespace quill::test {
namespace {

using namespace gdiplus;

TEST(GdiplusStatus, EveryStatusHasItsOwnName) {
  std::set<std::string_view> names;
  for (int s = Ok; s <= PropertyNotSupported; ++s) {
    const std::string_view name = status_name(static_cast<Status>(s));
    EXPECT_FALSE(name.empty()) << "status " << s;
    names.insert(name);
  }
  EXPECT_EQ(names.size(), 21u);
  EXPECT_EQ(status_name(InvalidParameter), "InvalidParameter");
  EXPECT_EQ(status_name(static_cast<Status>(21)), "");
}

TEST(GdiplusStartup, CreationNeedsAStartedLayerAndVersionOneOrTwo) {
  GpBrush* brush = reinterpret_cast<GpBrush*>(1);
  EXPECT_EQ(GdipCreateSolidFill(0xFF000000, &brush), GdiplusNotInitialized);
  EXPECT_EQ(brush, nullptr);
  ULONG_PTR token = 0;
  GdiplusStartupInput input;
  input.GdiplusVersion = 3;
  EXPECT_EQ(GdiplusStartup(&token, &input, nullptr), UnsupportedGdiplusVersion);
  input.GdiplusVersion = 1;
  ASSERT_EQ(GdiplusStartup(&token, &input, nullptr), Ok);
  EXPECT_NE(token, 0u);
  EXPECT_EQ(GdipCreateSolidFill(0xFF000000, &brush), Ok);
  EXPECT_EQ(GdipDeleteBrush(brush), Ok);
  GdiplusShutdown(token);
}

TEST_F(GdiplusTest, NullObjectsAnswerInvalidParameterAndDrawNothing) {
  GpGraphics* g = canvas(8, 8);
  EXPECT_EQ(GdipFillRectangle(g, nullptr, 0, 0, 8, 8), InvalidParameter);
  EXPECT_EQ(GdipFillRectangle(nullptr, nullptr, 0, 0, 8, 8), InvalidParameter);
  EXPECT_EQ(GdipDrawRectangle(g, nullptr, 0, 0, 7, 7), InvalidParameter);
  EXPECT_EQ(GdipDrawImage(g, nullptr, 0, 0), InvalidParameter);
  EXPECT_EQ(GdipDeleteBrush(nullptr), InvalidParameter);
  EXPECT_EQ(pixel(0, 0), 0xFFFFFFFFu);
}

TEST_F(GdiplusTest, FillRectangleCoversExactlyItsPixelsAndEmptyOnesNothing) {
  GpGraphics* g = canvas(20, 20);
  GpBrush* brush = nullptr;
  ASSERT_EQ(GdipCreateSolidFill(0xFF102030, &brush), Ok);
  EXPECT_EQ(GdipFillRectangle(g, brush, 2, 3, 5, 4), Ok);
  EXPECT_EQ(GdipFillRectangle(g, brush, 12, 12, -3, 5), Ok);     // inverted: nothing
  EXPECT_EQ(GdipFillRectangle(g, brush, 12, 12, -0.6f, 5), Ok);  // as a 2 % progress bar
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool inside = x >= 2 && x < 7 && y >= 3 && y < 7;
      EXPECT_EQ(pixel(x, y), inside ? 0xFF102030u : 0xFFFFFFFFu) << x << "," << y;
    }
  GdipDeleteBrush(brush);
}

TEST_F(GdiplusTest, OnePixelRectangleOutlineLiesOnTheBorderPixels) {
  GpGraphics* g = canvas(12, 10);
  GpPen* pen = nullptr;
  ASSERT_EQ(GdipCreatePen1(0xFFD7F3FF, 1, UnitWorld, &pen), Ok);
  ASSERT_EQ(GdipDrawRectangle(g, pen, 0, 0, 11, 9), Ok);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool border = x == 0 || y == 0 || x == 11 || y == 9;
      EXPECT_EQ(pixel(x, y), border ? 0xFFD7F3FFu : 0xFFFFFFFFu) << x << "," << y;
    }
  GdipDeletePen(pen);
}

TEST_F(GdiplusTest, VerticalLinearGradientRunsBetweenItsPointsAndTiles) {
  GpGraphics* g = canvas(4, 40);
  GpBrush* brush = nullptr;
  const PointF top{0, 0}, bottom{0, 20};
  ASSERT_EQ(GdipCreateLineBrush(&top, &bottom, 0xFF000000, 0xFFC8C8C8, WrapModeTile, &brush), Ok);
  ASSERT_EQ(GdipFillRectangle(g, brush, 0, 0, 4, 40), Ok);
  auto grey = [&](int y) { return static_cast<int>(pixel(1, y) & 0xFF); };
  EXPECT_LE(grey(0), 10);
  EXPECT_NEAR(grey(10), 100, 12);
  EXPECT_GE(grey(19), 180);
  EXPECT_LE(grey(20), 10);  // tiled: starts again
  const PointF same{0, 0};
  GpBrush* none = reinterpret_cast<GpBrush*>(1);
  EXPECT_NE(GdipCreateLineBrush(&top, &same, 0, 0, WrapModeTile, &none), Ok);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(GdipCreateLineBrush(&top, &bottom, 0, 0, WrapModeClamp, &none), InvalidParameter);
  GdipDeleteBrush(brush);
}

TEST_F(GdiplusTest, BrushKindsKeepTheirPropertiesAndRefuseOtherKinds) {
  GpBrush* hatch = nullptr;
  ASSERT_EQ(GdipCreateHatchBrush(HatchStyleHorizontal, 0xFF000000, 0xFFFFFFFF, &hatch), Ok);
  ARGB colour = 0;
  EXPECT_EQ(GdipGetSolidFillColor(hatch, &colour), InvalidParameter);
  EXPECT_EQ(GdipGetHatchForegroundColor(hatch, &colour), Ok);
  EXPECT_EQ(colour, 0xFF000000u);
  GpGraphics* g = canvas(8, 8);
  ASSERT_EQ(GdipFillRectangle(g, hatch, 0, 0, 8, 8), Ok);
  EXPECT_EQ(pixel(3, 0), 0xFF000000u);  // the pattern's top row is foreground
  EXPECT_EQ(pixel(3, 1), 0xFFFFFFFFu);
  GpBrush* refused = nullptr;
  EXPECT_EQ(GdipCreateHatchBrush(static_cast<HatchStyle>(53), 0, 0, &refused), InvalidParameter);
  EXPECT_EQ(refused, nullptr);

  GpBrush* line = nullptr;
  const RectF rect{0, 0, 10, 10};
  ASSERT_EQ(GdipCreateLineBrushFromRect(&rect, 0xFF000000, 0xFFFFFFFF, LinearGradientModeVertical, WrapModeTile, &line),
            Ok);
  const REAL factors[3] = {0, 1, 0}, positions[3] = {0, 0.5f, 1};
  EXPECT_EQ(GdipSetLineBlend(line, factors, positions, 3), Ok);
  INT count = 0;
  EXPECT_EQ(GdipGetLineBlendCount(line, &count), Ok);
  EXPECT_EQ(count, 3);
  const REAL bad_positions[2] = {0.2f, 1};
  EXPECT_EQ(GdipSetLineBlend(line, factors, bad_positions, 2), InvalidParameter);
  GpBrush* copy = nullptr;
  ASSERT_EQ(GdipCloneBrush(line, &copy), Ok);
  BrushType type = BrushTypeSolidColor;
  EXPECT_EQ(GdipGetBrushType(copy, &type), Ok);
  EXPECT_EQ(type, BrushTypeLinearGradient);
  GdipDeleteBrush(copy);
  GdipDeleteBrush(line);
  GdipDeleteBrush(hatch);
}

TEST_F(GdiplusTest, PathGradientShadesFromCentreToBoundary) {
  GpGraphics* g = canvas(41, 41);
  const PointF square[4] = {{0, 0}, {40, 0}, {40, 40}, {0, 40}};
  GpBrush* brush = nullptr;
  ASSERT_EQ(GdipCreatePathGradient(square, 4, WrapModeClamp, &brush), Ok);
  ASSERT_EQ(GdipSetPathGradientCenterColor(brush, 0xFF000000), Ok);
  ASSERT_EQ(GdipFillRectangle(g, brush, 0, 0, 40, 40), Ok);
  EXPECT_LE(pixel(20, 20) & 0xFF, 20u);
  EXPECT_GE(pixel(1, 20) & 0xFF, 220u);
  EXPECT_NEAR(static_cast<int>(pixel(10, 20) & 0xFF), 128, 20);
  GdipDeleteBrush(brush);
}

TEST_F(GdiplusTest, TextDrawsInsideItsLayoutRectangleOnly) {
  GpGraphics* g = canvas(200, 40);
  GpFontFamily* family = nullptr;
  ASSERT_EQ(GdipCreateFontFamilyFromName(u"宋体", nullptr, &family), Ok);
  GpFont* font = nullptr;
  ASSERT_EQ(GdipCreateFont(family, 12, FontStyleRegular, UnitPixel, &font), Ok);
  GpBrush* brush = nullptr;
  ASSERT_EQ(GdipCreateSolidFill(0xFF000000, &brush), Ok);
  const RectF layout{10, 10, 60, 12};
  ASSERT_EQ(GdipDrawString(g, u"下载管理 download manager text", -1, font, &layout, nullptr, brush), Ok);
  int inside = 0, outside = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x) {
      if (pixel(x, y) == 0xFFFFFFFFu) continue;
      (x >= 10 && x < 70 && y >= 10 && y < 22 ? inside : outside)++;
    }
  EXPECT_GT(inside, 20);
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(GdipDrawString(g, u"", 0, font, &layout, nullptr, brush), Ok);

  // A word longer than the line is broken inside, onto the next line.
  GdipGraphicsClear(g, 0xFFFFFFFF);
  const RectF narrow{0, 0, 50, 40};
  ASSERT_EQ(GdipDrawString(g, u"abcdefghijklmnopqrstuvwxyz", -1, font, &narrow, nullptr, brush), Ok);
  int second_line = 0;
  for (int y = 16; y < 28; ++y)
    for (int x = 0; x < 50; ++x) second_line += pixel(x, y) != 0xFFFFFFFFu ? 1 : 0;
  EXPECT_GT(second_line, 10);

  GpFontFamily* missing = reinterpret_cast<GpFontFamily*>(1);
  EXPECT_EQ(GdipCreateFontFamilyFromName(u"No Such Family 12345", nullptr, &missing), FontFamilyNotFound);
  EXPECT_EQ(missing, nullptr);
  GpFont* no_font = reinterpret_cast<GpFont*>(1);
  EXPECT_EQ(GdipCreateFont(nullptr, 12, 0, UnitPixel, &no_font), InvalidParameter);
  EXPECT_EQ(no_font, nullptr);
  GdipDeleteBrush(brush);
  GdipDeleteFont(font);
  GdipDeleteFontFamily(family);
}

TEST_F(GdiplusTest, ClipAndWorldTransformApplyToDrawing) {
  GpGraphics* g = canvas(20, 20);
  GpBrush* brush = nullptr;
  ASSERT_EQ(GdipCreateSolidFill(0xFF0000FF, &brush), Ok);
  ASSERT_EQ(GdipTranslateWorldTransform(g, 5, 5, MatrixOrderPrepend), Ok);
  ASSERT_EQ(GdipSetClipRect(g, 0, 0, 4, 4, CombineModeReplace), Ok);  // device 5..8
  ASSERT_EQ(GdipFillRectangle(g, brush, 0, 0, 10, 10), Ok);
  EXPECT_EQ(pixel(5, 5), 0xFF0000FFu);
  EXPECT_EQ(pixel(8, 8), 0xFF0000FFu);
  EXPECT_EQ(pixel(9, 9), 0xFFFFFFFFu);
  EXPECT_EQ(pixel(4, 4), 0xFFFFFFFFu);
  BOOL visible = 1;
  EXPECT_EQ(GdipIsVisiblePoint(g, 6, 6, &visible), Ok);
  EXPECT_EQ(visible, 0);
  RectF bounds;
  EXPECT_EQ(GdipGetClipBounds(g, &bounds), Ok);
  EXPECT_FLOAT_EQ(bounds.X, 0);
  EXPECT_FLOAT_EQ(bounds.Width, 4);
  EXPECT_EQ(GdipResetClip(g), Ok);
  EXPECT_EQ(GdipIsVisiblePoint(g, 6, 6, &visible), Ok);
  EXPECT_EQ(visible, 1);
  GdipDeleteBrush(brush);
}

TEST_F(GdiplusTest, DeviceContextOfAnImageGraphicsIsExclusiveUntilReleased) {
  GpGraphics* g = canvas(10, 10);
  win::HDC dc = nullptr;
  ASSERT_EQ(GdipGetDC(g, &dc), Ok);
  ASSERT_NE(dc, nullptr);
  GpBrush* brush = nullptr;
  ASSERT_EQ(GdipCreateSolidFill(0xFF00FF00, &brush), Ok);
  EXPECT_EQ(GdipFillRectangle(g, brush, 0, 0, 10, 10), ObjectBusy);
  {
    std::lock_guard hold(dc->lock());
    dc->image().setPixel(3, 3, 0xFF123456);
  }
  EXPECT_EQ(GdipReleaseDC(g, dc), Ok);
  EXPECT_EQ(pixel(3, 3), 0xFF123456u);
  EXPECT_EQ(GdipFillRectangle(g, brush, 0, 0, 10, 10), Ok);
  EXPECT_EQ(pixel(3, 3), 0xFF00FF00u);
  GdipDeleteBrush(brush);
}

TEST_F(GdiplusTest, GraphicsOnADeviceContextDrawsIntoItsImageAtItsOrigin) {
  QImage target(16, 16, QImage::Format_RGB32);
  target.fill(Qt::white);
  win::ImageDeviceContext dc(&target);
  GpGraphics* g = nullptr;
  ASSERT_EQ(GdipCreateFromHDC(&dc, &g), Ok);
  GpBrush* brush = nullptr;
  ASSERT_EQ(GdipCreateSolidFill(0xFF800000, &brush), Ok);
  ASSERT_EQ(GdipFillRectangle(g, brush, 4, 4, 2, 2), Ok);
  EXPECT_EQ(target.pixel(4, 4), 0xFF800000u);
  EXPECT_EQ(target.pixel(6, 6), 0xFFFFFFFFu);
  GdipDeleteBrush(brush);
  GdipDeleteGraphics(g);
  EXPECT_EQ(GdipCreateFromHDC(nullptr, &g), OutOfMemory);
}

TEST_F(GdiplusTest, CurvesAndShapesRefuseTooFewPoints) {
  GpGraphics* g = canvas(10, 10);
  GpPen* pen = nullptr;
  ASSERT_EQ(GdipCreatePen1(0xFF000000, 1, UnitWorld, &pen), Ok);
  const PointF points[3] = {{1, 1}, {5, 8}, {9, 1}};
  EXPECT_EQ(GdipDrawCurve3(g, pen, points, 3, 0, 2, 0.5f), Ok);
  EXPECT_EQ(GdipDrawCurve3(g, pen, points, 3, 1, 2, 0.5f), InvalidParameter);
  EXPECT_EQ(GdipDrawBeziers(g, pen, points, 3), InvalidParameter);
  EXPECT_EQ(GdipDrawLines(g, pen, points, 1), InvalidParameter);
  EXPECT_EQ(GdipDrawImagePoints(g, bitmap_, points, 4), NotImplemented);  // as GDI+, before reading
  GdipDeletePen(pen);
}

}  // namespace
}  // namespace quill::test
