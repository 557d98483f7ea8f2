// The download row painter through the real main window and download list.
#include "presentation/download_item_painter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "app/window_procedures.h"
#include "download_row_fixture.h"
#include "platform/codepage.h"
#include "presentation/row_icon.h"

namespace quill::test {
namespace {

using presentation::paint_download_item;

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBar = 0xFFBECD10;
constexpr QRgb kFrame = 0xFFA4DF9A;

bool near(QRgb actual, QRgb expected, int tolerance) {
  return std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
         std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
         std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

// Pixels in the rectangle that differ from `background`.
int marked(const QImage& image, int left, int top, int right, int bottom, QRgb background) {
  int count = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right && x < image.width(); ++x)
      if (image.pixel(x, y) != background) ++count;
  return count;
}

TEST(SizeAndTimeText, RoundsSizesAndTruncatesSeconds) {
  struct Case {
    int size_kb, time_ms;
    const char* text;
  } cases[] = {
      {512, 3500, "512KB, 3S"},
      {1024, 0, "1024KB, 0S"},
      {1025, 0, "1MB, 0S"},
      {1152, 0, "1.13MB, 0S"},
      {1536, 0, "1.5MB, 0S"},
      {0, 999, "0KB, 0S"},
      {0, 1000, "0KB, 1S"},
      {0, 61500, "0KB, 61S"},
      {1048576, 0, "1024MB, 0S"},
      {-5, -1, "-5KB, -1S"},
      {2147483647, 2147483647, "2097152MB, 2147483S"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(presentation::size_and_time_text(c.size_kb, c.time_ms), c.text) << c.size_kb << " " << c.time_ms;
}

TEST_F(DownloadRowTest, PlainOddAndSelectedRowsHaveTheirBordersRingsAndGradients) {
  add_task("a", "b");
  add_task("c", "d");
  struct Case {
    int row;
    bool selected;
    QRgb border, top, bottom;
  } cases[] = {
      {0, false, kWhite, kWhite, kWhite},
      {1, false, 0xFFD7F3FF, 0xFFF2FBFF, 0xFFEAF9FF},
      {0, true, 0xFFFFEBAE, 0xFFFEF8DD, 0xFFFFEDB7},
      {1, true, 0xFFFFEBAE, 0xFFFEF8DD, 0xFFFFEDB7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "row " << c.row << (c.selected ? " selected" : ""));
    paint_download_item(list_, c.row, c.selected);
    const QImage image = backing();
    const win::RECT r = item_rect(c.row);
    const int w = r.right - r.left, top = r.top, bottom = r.bottom - 1;
    ASSERT_GE(w, 560);
    for (const QPoint p : {QPoint(0, top), QPoint(w - 1, top), QPoint(0, bottom), QPoint(w - 1, bottom),
                           QPoint(w / 2, top), QPoint(w / 2, bottom)})
      EXPECT_EQ(image.pixel(p), c.border) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(1, top + 1), QPoint(w - 2, top + 1), QPoint(1, bottom - 1), QPoint(w - 2, bottom - 1),
                           QPoint(w - 20, top + 1), QPoint(w - 20, bottom - 1)})
      EXPECT_EQ(image.pixel(p), kWhite) << "ring " << p.x() << "," << p.y();
    EXPECT_TRUE(near(image.pixel(w - 20, top + 2), c.top, 2)) << std::hex << image.pixel(w - 20, top + 2);
    EXPECT_TRUE(near(image.pixel(w - 20, bottom - 2), c.bottom, 3)) << std::hex << image.pixel(w - 20, bottom - 2);
  }
}

TEST_F(DownloadRowTest, ProgressBarLengthFollowsPercentUnlimited) {
  struct Case {
    int percent, filled;
  } cases[] = {{0, 0}, {1, 0}, {2, 0}, {50, 57}, {100, 117}, {130, 153}, {-20, 0}};
  add_task("t", "f");
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "percent " << c.percent);
    update_download_task(0, "", "", c.percent, 0, 0);
    const QImage image = backing();
    int bar = 0;
    for (int x = 300; x < 520; ++x) bar += image.pixel(x, 12) == kBar ? 1 : 0;
    EXPECT_EQ(bar, c.filled);
    if (c.filled > 0) {
      EXPECT_EQ(image.pixel(312, 7), kBar);
      EXPECT_EQ(image.pixel(312 + c.filled - 1, 16), kBar);
    }
    EXPECT_NE(image.pixel(311, 12), kBar);
    EXPECT_EQ(image.pixel(310, 5), kFrame);
    EXPECT_EQ(image.pixel(430, 18), kFrame);
    EXPECT_EQ(image.pixel(311, 6), kWhite) << "the frame's inside keeps a free pixel";
  }
  EXPECT_DOUBLE_EQ(presentation::progress_bar_length(1), -1.8);
}

TEST_F(DownloadRowTest, IconIsDrawnAtTenFourWithItsOwnPixels) {
  add_task("t", "f");
  paint_download_item(list_, 0, false);
  const QImage image = backing();
  int opaque = 0;
  for (int y = 0; y < presentation::kRowIconSize; ++y)
    for (int x = 0; x < presentation::kRowIconSize; ++x) {
      const unsigned icon = presentation::row_icon_pixel(x, y);
      const QRgb expected = (icon >> 24) == 0xFF ? icon : kWhite;
      opaque += (icon >> 24) == 0xFF ? 1 : 0;
      ASSERT_EQ(image.pixel(10 + x, 4 + y), expected) << x << "," << y;
    }
  EXPECT_GT(opaque, 200);
  EXPECT_EQ(presentation::row_icon().size(), presentation::kRowIconBytes);
}

TEST_F(DownloadRowTest, TextsAppearInTheirRectanglesOnly) {
  add_task(gbk("测试书名 The Title"), gbk("/home/user/Download/"), 40, 1536, 61500);
  paint_download_item(list_, 0, false);
  const QImage image = backing();
  const int w = item_rect(0).right;
  EXPECT_GT(marked(image, 52, 6, w - 148, 18, kWhite), 30) << "title";
  EXPECT_GT(marked(image, 52, 22, w - 148, 34, kWhite), 30) << "folder";
  EXPECT_GT(marked(image, 310, 22, 480, 34, kWhite), 20) << "size and time";
  EXPECT_EQ(marked(image, 52, 18, 300, 22, kWhite), 0) << "between the two text lines";
  EXPECT_EQ(marked(image, 481, 0, w, 40, kWhite), 0) << "right of the texts";
  bool dark_title = false;
  for (int x = 52; x < 200; ++x)
    for (int y = 6; y < 18; ++y) dark_title = dark_title || qGray(image.pixel(x, y)) < 80;
  EXPECT_TRUE(dark_title);
  bool dark_folder = false;
  for (int x = 52; x < 200; ++x)
    for (int y = 22; y < 34; ++y) dark_folder = dark_folder || qGray(image.pixel(x, y)) < 80;
  EXPECT_FALSE(dark_folder) << "the folder line is grey";
}

TEST_F(DownloadRowTest, NarrowListGivesTheUpperTextsNoWidthLimit) {
  resize_list(200, 400);
  add_task("Title text that is long", "folder");
  paint_download_item(list_, 0, false);
  const QImage image = backing();
  const int w = item_rect(0).right;
  ASSERT_LE(w, 200);
  EXPECT_GT(marked(image, 52, 6, w, 18, kWhite), 30);
  EXPECT_GT(marked(image, 52, 22, w, 34, kWhite), 10);
}

TEST_F(DownloadRowTest, OverlongTextsAreCutNeverOverrun) {
  std::string title(3000, 'W');
  std::string folder;
  for (int i = 0; i < 700; ++i) folder += gbk("书");
  add_task(title, folder, 10, 10, 10);
  paint_download_item(list_, 0, false);
  EXPECT_GT(marked(backing(), 52, 6, 400, 18, kWhite), 30);
}

TEST_F(DownloadRowTest, RowsWithoutATaskOrOutsideTheListDrawNothing) {
  add_task("t", "f");
  fill_backing(0xFF123456);
  for (int row : {-1, 1, 5, 1 << 30}) paint_download_item(list_, row, false);
  toolkit::list_box_add("列表框", "");  // a row whose task does not exist
  paint_download_item(list_, 1, false);
  const QImage image = backing();
  EXPECT_EQ(marked(image, 0, 0, image.width(), image.height(), 0xFF123456), 0);
}

TEST_F(DownloadRowTest, DrawItemForAnEmptyListDrawsNothingAndAnswersOne) {
  fill_backing(0xFF123456);
  win::DRAWITEMSTRUCT item{};
  item.CtlType = win::ODT_LISTBOX;
  item.itemID = 0xFFFFFFFF;
  item.hwndItem = list_;
  const win::HWND main = toolkit::control_handle(toolkit::kMainWindow);
  EXPECT_EQ(win::SendMessageA(main, win::WM_DRAWITEM, 0, reinterpret_cast<win::LPARAM>(&item)), 1);
  add_task("t", "f");
  fill_backing(0xFF123456);
  item.CtlType = 1;  // not a list box: answered, not painted
  item.itemID = 0;
  EXPECT_EQ(win::SendMessageA(main, win::WM_DRAWITEM, 0, reinterpret_cast<win::LPARAM>(&item)), 1);
  const QImage image = backing();
  EXPECT_EQ(marked(image, 0, 0, image.width(), image.height(), 0xFF123456), 0);
  item.CtlType = win::ODT_LISTBOX;
  item.itemState = win::ODS_SELECTED;
  EXPECT_EQ(win::SendMessageA(main, win::WM_DRAWITEM, 0, reinterpret_cast<win::LPARAM>(&item)), 1);
  EXPECT_EQ(backing().pixel(0, 0), 0xFFFFEBAEu);
}

win::UINT forwarded_message = 0;
win::LRESULT record_forward(win::HWND, win::UINT message, win::WPARAM, win::LPARAM) {
  forwarded_message = message;
  return 77;
}

TEST_F(DownloadRowTest, OtherMessagesGoToThePreviousProcedure) {
  presentation::set_main_window_forward(&record_forward);
  const win::LRESULT result = presentation::main_window_procedure(nullptr, 0x0400, 1, 2);
  app::connect_presentation();
  EXPECT_EQ(result, 77);
  EXPECT_EQ(forwarded_message, 0x0400u);
}

TEST_F(DownloadRowTest, ProgressReportsFromAnotherThreadRepaintTheRow) {
  add_task("t", "f");
  std::atomic<bool> done{false};
  std::thread reporter([&] {
    on_download_progress(1, 2048 * 1024, 100, 5000);
    done = true;
  });
  // The painter's messages to the list are answered on this thread.
  for (int i = 0; i < 1000 && !done; ++i) {
    pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  reporter.join();
  EXPECT_EQ(backing().pixel(312 + 116, 12), kBar);
}

}  // namespace
}  // namespace quill::test
