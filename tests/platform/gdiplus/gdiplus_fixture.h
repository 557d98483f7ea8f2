#pragma once
// Starts the drawing layer for one test and shuts it down after; helpers to
// make a bitmap and read its pixels.

#include <gtest/gtest.h>

#include "platform/gdiplus/brush.h"
#include "platform/gdiplus/graphics.h"
#include "platform/gdiplus/image.h"
#include "platform/gdiplus/pen.h"
#include "platform/gdiplus/startup.h"

namespace quill::test {

class GdiplusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(gdiplus::GdiplusStartup(&token_, &input, nullptr), gdiplus::Ok);
  }
  void TearDown() override { gdiplus::GdiplusShutdown(token_); }

  // A white 32bpp RGB bitmap and a graphics on it; both deleted by the fixture.
  gdiplus::GpGraphics* canvas(int width, int height) {
    EXPECT_EQ(gdiplus::GdipCreateBitmapFromScan0(width, height, 0, gdiplus::PixelFormat32bppRGB, nullptr, &bitmap_),
              gdiplus::Ok);
    EXPECT_EQ(gdiplus::GdipGetImageGraphicsContext(bitmap_, &graphics_), gdiplus::Ok);
    gdiplus::GdipGraphicsClear(graphics_, 0xFFFFFFFF);
    return graphics_;
  }
  gdiplus::ARGB pixel(int x, int y) {
    gdiplus::ARGB colour = 0;
    gdiplus::GdipBitmapGetPixel(bitmap_, x, y, &colour);
    return colour;
  }
  ~GdiplusTest() override {
    if (graphics_ != nullptr) gdiplus::GdipDeleteGraphics(graphics_);
    if (bitmap_ != nullptr) gdiplus::GdipDisposeImage(bitmap_);
  }

  gdiplus::ULONG_PTR token_ = 0;
  gdiplus::GpImage* bitmap_ = nullptr;
  gdiplus::GpGraphics* graphics_ = nullptr;
};

}  // namespace quill::test
