// The download list on the message layer: rows drawn by the parent's window
// procedure, background erased and mouse reported through the list's own.
#include <QListWidget>
#include <QMouseEvent>
#include <QTabWidget>
#include <string>
#include <vector>

#include "app_window_fixture.h"
#include "native/window_subclass.h"
#include "platform/device_context.h"
#include "platform/window_messages.h"

namespace quill::app {
namespace {

struct DrawnRow {
  win::UINT type;
  win::UINT id;
  win::UINT row;
  bool selected;
  win::HWND list;
  win::RECT rect;
};
struct ListMessage {
  win::UINT message;
  win::WPARAM wparam;
  win::LPARAM lparam;
};

std::vector<DrawnRow> drawn;
std::vector<ListMessage> list_messages;
bool swallow_clicks = false;
native::WindowSubclass recording_main;
native::WindowSubclass recording_list;

constexpr win::COLORREF kRowColour = 0x00336699;  // r 0x99, g 0x66, b 0x33

win::LRESULT draw_rows(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam) {
  if (message != win::WM_DRAWITEM) return recording_main.call_previous(window, message, wparam, lparam);
  const auto* item = reinterpret_cast<const win::DRAWITEMSTRUCT*>(lparam);
  drawn.push_back({item->CtlType, item->CtlID, item->itemID, (item->itemState & win::ODS_SELECTED) != 0, item->hwndItem,
                   item->rcItem});
  const win::HBRUSH brush = win::CreateSolidBrush(kRowColour);
  win::FillRect(item->hDC, &item->rcItem, brush);
  win::DeleteObject(brush);
  return 1;
}

win::LRESULT record_list(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam) {
  list_messages.push_back({message, wparam, lparam});
  if (message == win::WM_MOUSEMOVE) {
    win::TRACKMOUSEEVENT request{16, win::TME_LEAVE, window, 0};
    win::TrackMouseEvent(&request);
  }
  if (swallow_clicks && (message == win::WM_LBUTTONDOWN || message == win::WM_LBUTTONUP)) return 1;
  return recording_list.call_previous(window, message, wparam, lparam);
}

class DownloadListTest : public AppWindowTest {
 protected:
  void SetUp() override {
    AppWindowTest::SetUp();
    drawn.clear();
    list_messages.clear();
    swallow_clicks = false;
    list_ = static_cast<QListWidget*>(widget("列表框"));
    static_cast<QTabWidget*>(widget("高级选择夹1"))->setCurrentIndex(1);
    recording_main.attach(toolkit::control_handle(toolkit::kMainWindow), &draw_rows);
    recording_list.attach(toolkit::control_handle("列表框"), &record_list);
  }
  void TearDown() override {
    recording_list.detach();
    recording_main.detach();
    AppWindowTest::TearDown();
  }
  void send_to_viewport(QEvent* event) { QCoreApplication::sendEvent(list_->viewport(), event); }
  void click(int y, QEvent::Type type) {
    QMouseEvent event(type, QPointF(20, y), list_->viewport()->mapToGlobal(QPointF(20, y)), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    send_to_viewport(&event);
  }

  QListWidget* list_ = nullptr;
};

TEST_F(DownloadListTest, RowsAreDrawnByTheParentAndTheBackgroundErasedByTheList) {
  for (int i = 0; i < 3; ++i) toolkit::list_box_add("列表框", "row");
  toolkit::set_property("列表框", toolkit::Property::current_selection, 1);
  pump();
  drawn.clear();
  list_messages.clear();
  const QImage shown = list_->viewport()->grab().toImage();

  ASSERT_EQ(drawn.size(), 3u);
  for (win::UINT row = 0; row < 3; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(drawn[row].type, win::ODT_LISTBOX);
    EXPECT_EQ(drawn[row].row, row);
    EXPECT_EQ(drawn[row].selected, row == 1);
    EXPECT_EQ(drawn[row].list, toolkit::control_handle("列表框"));
    EXPECT_EQ(drawn[row].rect.top, static_cast<int>(row) * 40);
    EXPECT_EQ(drawn[row].rect.bottom, static_cast<int>(row) * 40 + 40);
    EXPECT_EQ(drawn[row].rect.right, toolkit::client_width("列表框"));
  }
  EXPECT_EQ(drawn[0].id, drawn[2].id);

  ASSERT_FALSE(list_messages.empty());
  EXPECT_EQ(list_messages[0].message, win::WM_ERASEBKGND) << "erased before the rows are drawn";
  EXPECT_EQ(reinterpret_cast<win::HDC>(list_messages[0].wparam), win::GetDC(toolkit::control_handle("列表框")));

  // What the procedures drew is what the list shows: rows in the row colour,
  // the rest erased by the list's own behaviour.
  const QRgb row_colour = qRgb(0x99, 0x66, 0x33);
  EXPECT_EQ(shown.pixel(5, 5), row_colour);
  EXPECT_EQ(shown.pixel(5, 119), row_colour);
  EXPECT_EQ(shown.pixel(5, 121), list_->palette().color(QPalette::Base).rgb());
}

TEST_F(DownloadListTest, MouseMovesAndLeavingReachTheListsProcedure) {
  QMouseEvent move(QEvent::MouseMove, QPointF(12, 34), list_->viewport()->mapToGlobal(QPointF(12, 34)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
  send_to_viewport(&move);
  QEvent leave(QEvent::Leave);
  send_to_viewport(&leave);
  send_to_viewport(&leave);  // no second notice without a new request

  std::vector<ListMessage> mouse;
  for (const ListMessage& m : list_messages) {
    if (m.message == win::WM_MOUSEMOVE || m.message == win::WM_MOUSELEAVE) mouse.push_back(m);
  }
  ASSERT_EQ(mouse.size(), 2u);
  EXPECT_EQ(mouse[0].message, win::WM_MOUSEMOVE);
  EXPECT_EQ(mouse[0].lparam, win::MAKELPARAM(12, 34));
  EXPECT_EQ(mouse[1].message, win::WM_MOUSELEAVE);
}

TEST_F(DownloadListTest, ClicksPassedOnSelectRowsAndSwallowedOnesDoNot) {
  for (int i = 0; i < 3; ++i) toolkit::list_box_add("列表框", "row");
  pump();
  click(50, QEvent::MouseButtonPress);  // row 1
  click(50, QEvent::MouseButtonRelease);
  EXPECT_EQ(list_->currentRow(), 1);
  EXPECT_EQ(toolkit::get_property("列表框", toolkit::Property::current_selection), 1);

  swallow_clicks = true;
  click(90, QEvent::MouseButtonPress);  // row 2
  click(90, QEvent::MouseButtonRelease);
  EXPECT_EQ(toolkit::get_property("列表框", toolkit::Property::current_selection), 1);
  EXPECT_EQ(list_messages.back().message, win::WM_LBUTTONUP);
}

}  // namespace
}  // namespace quill::app
