#include "platform/window_messages.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <atomic>
#include <thread>

#include "platform/device_context.h"
#include "support/test_window_host.h"

namespace quill::win {
namespace {

using test::TestWindowHost;

LRESULT answer_seven(HWND, UINT, WPARAM, LPARAM) { return 7; }
LRESULT answer_eight(HWND, UINT, WPARAM, LPARAM) { return 8; }

std::atomic<std::thread::id> procedure_thread;
LRESULT note_thread(HWND, UINT message, WPARAM wparam, LPARAM) {
  procedure_thread = std::this_thread::get_id();
  return static_cast<LRESULT>(message + wparam);
}

TEST(WindowMessages, SetWindowLongReplacesAndReturnsThePreviousProcedure) {
  TestWindowHost host(42);
  const HWND window = host.handle();
  EXPECT_EQ(SetWindowLongA(nullptr, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&answer_seven)), 0);
  EXPECT_EQ(SetWindowLongA(window, -16, reinterpret_cast<LONG_PTR>(&answer_seven)), 0) << "only GWL_WNDPROC";
  EXPECT_EQ(SetWindowLongA(window, GWL_WNDPROC, 0), 0) << "a null procedure is refused";

  const LONG_PTR original = SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&answer_seven));
  ASSERT_NE(original, 0);
  EXPECT_EQ(SendMessageA(window, WM_MOUSEMOVE, 1, 2), 7);
  EXPECT_TRUE(host.received().empty()) << "the replacement did not pass the message on";
  // The first procedure is the window's own behaviour.
  EXPECT_EQ(CallWindowProcA(reinterpret_cast<WNDPROC>(original), window, WM_MOUSEMOVE, 3, 4), 42);
  ASSERT_EQ(host.received().size(), 1u);
  EXPECT_EQ(host.received()[0].wparam, 3u);

  EXPECT_EQ(SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&answer_eight)),
            reinterpret_cast<LONG_PTR>(&answer_seven));
  EXPECT_EQ(SendMessageA(window, 0x1234, 0, 0), 8);
  EXPECT_EQ(CallWindowProcA(nullptr, window, 0, 0, 0), 0);
}

TEST(WindowMessages, StaleHandlesFail) {
  HWND window = nullptr;
  {
    TestWindowHost host;
    window = host.handle();
    EXPECT_TRUE(is_window(window));
  }
  EXPECT_FALSE(is_window(window));
  EXPECT_EQ(SendMessageA(window, WM_MOUSEMOVE, 0, 0), 0);
  EXPECT_EQ(SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&answer_seven)), 0);
  EXPECT_EQ(GetDC(window), nullptr);
  EXPECT_EQ(parent_window(window), nullptr);
}

TEST(WindowMessages, SendMessageFromAnotherThreadRunsOnTheWindowsThread) {
  TestWindowHost host;
  SetWindowLongA(host.handle(), GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&note_thread));
  std::atomic<LRESULT> result{0};
  std::atomic<bool> done{false};
  std::thread sender([&] {
    result = SendMessageA(host.handle(), 0x0400, 5, 0);
    done = true;
  });
  while (!done) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  sender.join();
  EXPECT_EQ(result, 0x0405);
  EXPECT_EQ(procedure_thread.load(), std::this_thread::get_id());
}

TEST(WindowMessages, TrackMouseEventRequestsOneLeaveNotice) {
  TestWindowHost host;
  TRACKMOUSEEVENT request{16, TME_LEAVE, host.handle(), 0};
  EXPECT_FALSE(take_leave_request(host.handle()));
  TRACKMOUSEEVENT too_short{8, TME_LEAVE, host.handle(), 0};
  TRACKMOUSEEVENT no_window{16, TME_LEAVE, nullptr, 0};
  EXPECT_EQ(TrackMouseEvent(&too_short), 0);
  EXPECT_EQ(TrackMouseEvent(&no_window), 0);
  EXPECT_EQ(TrackMouseEvent(nullptr), 0);
  EXPECT_FALSE(take_leave_request(host.handle()));
  EXPECT_EQ(TrackMouseEvent(&request), 1);
  EXPECT_TRUE(take_leave_request(host.handle()));
  EXPECT_FALSE(take_leave_request(host.handle())) << "one notice per request";
}

TEST(WindowMessages, FillRectPaintsTheRectangleInTheBrushColour) {
  QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::black);
  ImageDeviceContext dc(&image);
  const HBRUSH red = CreateSolidBrush(0x000000FF);  // 0x00BBGGRR
  const RECT rect{2, 3, 10, 12};
  EXPECT_EQ(FillRect(&dc, &rect, red), 1);
  EXPECT_EQ(image.pixel(2, 3), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(9, 11), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(10, 11), qRgb(0, 0, 0)) << "right edge is exclusive";
  EXPECT_EQ(image.pixel(9, 12), qRgb(0, 0, 0)) << "bottom edge is exclusive";
  EXPECT_EQ(image.pixel(1, 3), qRgb(0, 0, 0));

  const RECT empty{5, 5, 5, 9};
  EXPECT_EQ(FillRect(&dc, &empty, red), 1);
  EXPECT_EQ(FillRect(nullptr, &rect, red), 0);
  EXPECT_EQ(FillRect(&dc, nullptr, red), 0);
  EXPECT_EQ(DeleteObject(red), 1);
  EXPECT_EQ(DeleteObject(red), 0) << "already deleted";
  EXPECT_EQ(DeleteObject(nullptr), 0);
  EXPECT_EQ(FillRect(&dc, &rect, red), 0) << "a deleted brush paints nothing";
}

TEST(WindowMessages, WindowDeviceContextDrawsOnTheBackingImageAndAsksForARepaint) {
  TestWindowHost host;
  EXPECT_EQ(ReleaseDC(host.handle(), nullptr), 0);
  resize_backing_image(host.handle(), QSize(30, 20));
  const HDC dc = GetDC(host.handle());
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(dc->window(), host.handle());
  const HBRUSH green = CreateSolidBrush(0x0000FF00);
  const RECT rect{0, 10, 30, 20};
  std::thread([&] { EXPECT_EQ(FillRect(dc, &rect, green), 1); }).join();
  DeleteObject(green);
  EXPECT_EQ(host.changes(), 1);
  {
    std::lock_guard lock(dc->lock());
    EXPECT_EQ(dc->image().size(), QSize(30, 20));
    EXPECT_EQ(dc->image().pixel(0, 9), qRgb(255, 255, 255));
    EXPECT_EQ(dc->image().pixel(29, 10), qRgb(0, 255, 0));
  }
  EXPECT_EQ(ReleaseDC(host.handle(), dc), 1);
}

}  // namespace
}  // namespace quill::win
