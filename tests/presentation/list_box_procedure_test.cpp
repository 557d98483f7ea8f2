// The download list's own behaviour: erase below the rows, mouse tracking.
#include "presentation/list_box_procedure.h"

#include <gtest/gtest.h>

#include "download_row_fixture.h"
#include "platform/window_host.h"

namespace quill::test {
namespace {

using presentation::list_box_procedure;

constexpr QRgb kUnpainted = 0xFFFF0000;

class ListBoxProcedureTest : public DownloadRowTest {
 protected:
  // Sends WM_ERASEBKGND with a device context over a red client-sized image.
  QImage erase() {
    QImage target(toolkit::client_width("列表框"), toolkit::client_height("列表框"), QImage::Format_RGB32);
    target.fill(kUnpainted);
    win::ImageDeviceContext dc(&target);
    EXPECT_EQ(list_box_procedure(list_, win::WM_ERASEBKGND, reinterpret_cast<win::WPARAM>(&dc), 0), 1);
    return target;
  }
  // The first row of `image` that is white at x = 5, or the height.
  static int first_white_row(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
      if (image.pixel(5, y) == 0xFFFFFFFF) return y;
    return image.height();
  }
  static bool uniform_from(const QImage& image, int top, QRgb colour) {
    for (int y = top; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) != colour) return false;
    return true;
  }
};

TEST_F(ListBoxProcedureTest, EmptyListIsPaintedWhiteOnErase) {
  const QImage image = erase();
  ASSERT_GT(image.height(), 120);
  EXPECT_TRUE(uniform_from(image, 0, 0xFFFFFFFF));
}

TEST_F(ListBoxProcedureTest, ThreeRowsAreFilledBelowFromYOneHundredTwenty) {
  for (int i = 0; i < 3; ++i) toolkit::list_box_add("列表框", "");
  const QImage image = erase();
  EXPECT_EQ(first_white_row(image), 120);
  EXPECT_EQ(image.pixel(5, 119), kUnpainted);
  EXPECT_TRUE(uniform_from(image, 120, 0xFFFFFFFF));
}

TEST_F(ListBoxProcedureTest, RowsReachingTheBottomLeaveNothingToPaint) {
  resize_list(600, 100);
  for (int i = 0; i < 3; ++i) toolkit::list_box_add("列表框", "");
  pump();
  ASSERT_LE(toolkit::client_height("列表框"), 120);
  const QImage image = erase();
  EXPECT_TRUE(uniform_from(image, 0, kUnpainted));
}

TEST_F(ListBoxProcedureTest, MouseMovesAskForLeaveTrackingAndBothAreSwallowed) {
  win::take_leave_request(list_);
  EXPECT_EQ(list_box_procedure(list_, win::WM_MOUSEMOVE, 0, win::MAKELPARAM(5, 5)), 1);
  EXPECT_TRUE(win::take_leave_request(list_));
  EXPECT_EQ(list_box_procedure(list_, win::WM_MOUSELEAVE, 0, 0), 1);
  EXPECT_FALSE(win::take_leave_request(list_));
}

TEST_F(ListBoxProcedureTest, ListMessagesPassThroughToTheListsOwnBehaviour) {
  toolkit::list_box_add("列表框", "");
  win::RECT rect;
  EXPECT_EQ(list_box_procedure(list_, win::LB_GETITEMRECT, 0, reinterpret_cast<win::LPARAM>(&rect)), 1);
  EXPECT_EQ(rect.bottom - rect.top, 40);
  EXPECT_EQ(list_box_procedure(list_, win::LB_GETITEMRECT, 3, reinterpret_cast<win::LPARAM>(&rect)), win::LB_ERR);
}

}  // namespace
}  // namespace quill::test
