#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>
#include <filesystem>
#include <fstream>

#include "app/handlers.h"
#include "app_window_fixture.h"
#include "native/window_subclass.h"
#include "platform/codepage.h"
#include "platform/window_host.h"
#include "platform/window_messages.h"

namespace quill::app {
namespace {

namespace fs = std::filesystem;

struct Expected {
  const char* name;
  const char* kind;  // Qt class
  const char* container;
  int x, y, width, height;
  const char* text;  // nullptr: the control has no text
  int visible;
};

const Expected kForm[] = {
    {"编辑框3", "QLineEdit", "", 472, 440, 16, 24, "5", 0},
    {"标签_提示", "QLabel", "", 1, 520, 495, 25, "提示：列表选中即为下载，没勾选就是不下载。", 1},
    {"分组框1", "QGroupBox", "", 1, 448, 495, 72, "", 1},
    {"选择框1", "QCheckBox", "分组框1", 335, 16, 56, 48, "全选  反选", 1},
    {"按钮2", "QPushButton", "分组框1", 391, 40, 88, 24, "一键下载", 1},
    {"单选框_言情", "QRadioButton", "分组框1", 264, 48, 72, 16, "言情小说", 1},
    {"单选框_科幻", "QRadioButton", "分组框1", 176, 48, 72, 16, "科幻小说", 1},
    {"单选框_灵异", "QRadioButton", "分组框1", 96, 48, 72, 16, "灵异小说", 1},
    {"单选框_网游", "QRadioButton", "分组框1", 15, 48, 72, 16, "网游小说", 1},
    {"单选框_穿越", "QRadioButton", "分组框1", 264, 16, 72, 24, "穿越小说", 1},
    {"单选框_都市", "QRadioButton", "分组框1", 176, 16, 72, 24, "都市小说", 1},
    {"单选框_武侠", "QRadioButton", "分组框1", 96, 16, 72, 24, "武侠小说", 1},
    {"单选框_玄幻", "QRadioButton", "分组框1", 15, 16, 72, 24, "玄幻小说", 1},
    {"按钮1", "QPushButton", "分组框1", 391, 16, 88, 24, "获取资源", 1},
    {"高级选择夹1", "QTabWidget", "", 1, 2, 495, 440, nullptr, 1},
    {"编辑框2", "QLineEdit", "资源列表", 519, 430, 16, 16, "1", 0},
    {"列表", "QTreeView", "资源列表", 8, 8, 479, 406, nullptr, 1},
    {"列表框", "QListWidget", "下载管理", 8, 8, 479, 400, nullptr, 1},
};

const char* const kRadios[] = {"单选框_言情", "单选框_科幻", "单选框_灵异", "单选框_网游",
                               "单选框_穿越", "单选框_都市", "单选框_武侠", "单选框_玄幻"};

using MainWindowTest = AppWindowTest;

TEST_F(MainWindowTest, WindowHasItsCaptionPlaceAndSize) {
  QWidget* frame = widget(toolkit::kMainWindow);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(toolkit::get_text_property(toolkit::kMainWindow), "Quillmere");
  EXPECT_EQ(frame->windowTitle(), "Quillmere");
  EXPECT_EQ(frame->pos(), QPoint(50, 50));
  // 504 x 575 outside: 4-pixel borders and a 26-pixel caption around the client.
  EXPECT_EQ(frame->size(), QSize(504 - 8, 575 - 30));
  EXPECT_EQ(toolkit::client_width(toolkit::kMainWindow), 496);
  EXPECT_EQ(toolkit::client_height(toolkit::kMainWindow), 545);
  EXPECT_TRUE(frame->isVisible());
  EXPECT_EQ(toolkit::get_property(toolkit::kMainWindow, toolkit::Property::visible), 1);
}

TEST_F(MainWindowTest, EveryControlHasItsKindContainerGeometryTextAndState) {
  auto* tabs = qobject_cast<QTabWidget*>(widget("高级选择夹1"));
  ASSERT_NE(tabs, nullptr);
  auto container = [&](std::string_view name) -> QWidget* {
    if (name.empty()) return widget(toolkit::kMainWindow);
    for (int i = 0; i < tabs->count(); ++i) {
      if (tabs->tabText(i).toStdString() == name) return tabs->widget(i);
    }
    return widget(name);
  };
  for (const Expected& e : kForm) {
    SCOPED_TRACE(e.name);
    QWidget* w = widget(e.name);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->inherits(e.kind)) << "is a " << w->metaObject()->className();
    EXPECT_EQ(w->parentWidget(), container(e.container));
    EXPECT_EQ(w->geometry(), QRect(e.x, e.y, e.width, e.height));
    EXPECT_EQ(toolkit::get_property(e.name, toolkit::Property::visible), e.visible);
    EXPECT_EQ(!w->isHidden(), e.visible == 1);
    EXPECT_EQ(toolkit::get_property(e.name, toolkit::Property::disabled), 0);
    if (e.text) {
      EXPECT_EQ(toolkit::get_text_property(e.name), gbk(e.text));
    }
    EXPECT_NE(toolkit::control_handle(e.name), nullptr);
    EXPECT_EQ(win::parent_window(toolkit::control_handle(e.name)), toolkit::control_handle(toolkit::kMainWindow));
  }
  EXPECT_EQ(tabs->count(), 2);
  EXPECT_EQ(tabs->tabText(0), QString::fromUtf8("资源列表"));
  EXPECT_EQ(tabs->tabText(1), QString::fromUtf8("下载管理"));
  const QFont font = tabs->tabBar()->font();
  EXPECT_EQ(font.pixelSize(), 12);
  EXPECT_EQ(font.weight(), QFont::Normal);
  EXPECT_EQ(QFontInfo(font).family(), "WenQuanYi Zen Hei");
  EXPECT_EQ(toolkit::get_property("选择框1", toolkit::Property::ticked), 0);
}

TEST_F(MainWindowTest, CatalogueColumnsAndTheHiddenFifthColumnKeepsItsText) {
  auto* list = qobject_cast<QTreeView*>(widget("列表"));
  ASSERT_NE(list, nullptr);
  QAbstractItemModel* rows = list->model();
  struct Column {
    const char* title;
    int width;
    Qt::Alignment alignment;
  };
  const Column columns[] = {{"", 20, Qt::AlignLeft},
                            {"书籍名字", 130, Qt::AlignHCenter},
                            {"更新时间", 80, Qt::AlignHCenter},
                            {"书籍描述", 220, Qt::AlignHCenter},
                            {"", 0, Qt::AlignLeft}};
  ASSERT_EQ(rows->columnCount(), 5);
  for (int c = 0; c < 5; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(rows->headerData(c, Qt::Horizontal).toString(), QString::fromUtf8(columns[c].title));
    EXPECT_EQ(list->header()->sectionSize(c), columns[c].width);
    EXPECT_TRUE(Qt::Alignment(rows->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt()) &
                columns[c].alignment);
  }
  EXPECT_EQ(toolkit::list_view_count("列表"), 0);

  const std::string address = "http://127.0.0.1/book/" + std::string(300, 'x') + ".html";
  const int row = toolkit::list_view_insert_row("列表", "");
  toolkit::set_cell_text("列表", row, 1, gbk("测试书"));
  toolkit::set_cell_text("列表", row, 4, address);
  EXPECT_EQ(toolkit::cell_text("列表", row, 4), address);
  pump();
  EXPECT_EQ(list->header()->sectionSize(4), 0) << "the fifth column never shows";
  EXPECT_EQ(rows->index(row, 4).data().toString().toStdString(), address);
  EXPECT_EQ(rows->index(row, 1).data().toString(), QString::fromUtf8("测试书"));
  EXPECT_EQ(toolkit::tick_state("列表", row), 0);
  EXPECT_EQ(rows->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), Qt::Unchecked);
}

TEST_F(MainWindowTest, RadioButtonsAreOneExclusiveGroup) {
  auto ticked = [](const char* name) { return toolkit::get_property(name, toolkit::Property::ticked); };
  auto only = [&](const char* chosen) {
    pump();
    for (const char* radio : kRadios) {
      SCOPED_TRACE(std::string(radio) + " with " + chosen + " chosen");
      EXPECT_EQ(ticked(radio), std::string_view(radio) == chosen ? 1 : 0);
      EXPECT_EQ(static_cast<QRadioButton*>(widget(radio))->isChecked(), std::string_view(radio) == chosen);
    }
  };
  only("单选框_玄幻");
  static_cast<QRadioButton*>(widget("单选框_科幻"))->click();  // as the user does
  only("单选框_科幻");
  toolkit::set_property("单选框_网游", toolkit::Property::ticked, 1);
  only("单选框_网游");
}

TEST_F(MainWindowTest, SelectAllTicksAndUnticksEveryRow) {
  auto* box = static_cast<QCheckBox*>(widget("选择框1"));
  QAbstractItemModel* rows = static_cast<QTreeView*>(widget("列表"))->model();

  box->click();  // an empty list: nothing happens
  EXPECT_EQ(toolkit::get_property("选择框1", toolkit::Property::ticked), 1);
  EXPECT_EQ(toolkit::list_view_count("列表"), 0);
  box->click();

  constexpr int kRows = 5;
  for (int i = 0; i < kRows; ++i) toolkit::list_view_insert_row("列表", "");
  toolkit::set_tick_state("列表", 2, 1);
  for (int state : {1, 0}) {
    box->click();
    pump();
    for (int row = 0; row < kRows; ++row) {
      SCOPED_TRACE("row " + std::to_string(row) + " after click to " + std::to_string(state));
      EXPECT_EQ(toolkit::tick_state("列表", row), state);
      EXPECT_EQ(rows->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(),
                state ? Qt::Checked : Qt::Unchecked);
    }
  }
  // A row ticked by the user (the view's tick box sets the model's check
  // state) is seen by the toolkit.
  rows->setData(rows->index(4, 0), Qt::Checked, Qt::CheckStateRole);
  EXPECT_EQ(toolkit::tick_state("列表", 4), 1);
}

TEST_F(MainWindowTest, CreationSetUpTheDownloadList) {
  const win::HWND list = toolkit::control_handle("列表框");
  const win::HWND main = toolkit::control_handle(toolkit::kMainWindow);
  ASSERT_NE(main_window_subclass(), nullptr);
  EXPECT_EQ(main_window_subclass()->window(), main);
  EXPECT_NE(main_window_subclass()->previous_procedure(), 0);
  EXPECT_EQ(download_list_subclass()->window(), list);
  EXPECT_NE(download_list_subclass()->previous_procedure(), 0);
  EXPECT_EQ(toolkit::get_property("列表框", toolkit::Property::current_selection), -1);

  win::RECT rect;
  EXPECT_EQ(toolkit::send_control_message("列表框", win::LB_GETITEMRECT, 0, reinterpret_cast<win::LPARAM>(&rect)),
            win::LB_ERR)
      << "no rows yet";
  for (int i = 0; i < 3; ++i) toolkit::list_box_add("列表框", "");
  EXPECT_EQ(toolkit::send_control_message("列表框", win::LB_GETITEMRECT, 2, reinterpret_cast<win::LPARAM>(&rect)), 1);
  EXPECT_EQ(rect.top, 80);
  EXPECT_EQ(rect.bottom, 120) << "rows are 40 pixels high";
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.right, toolkit::client_width("列表框"));
  EXPECT_TRUE(fs::is_directory(toolkit::program_folder() + "/Download"));
}

TEST(DownloadFolder, CreatedWhenMissingAndLeftAloneOtherwise) {
  const fs::path base = fs::temp_directory_path() / ("quill-folder-" + std::to_string(::getpid()));
  fs::remove_all(base);
  fs::create_directories(base / "fresh");
  fs::create_directories(base / "existing/Download");
  std::ofstream(base / "existing/Download/kept.rar") << "data";
  fs::create_directories(base / "blocked");
  std::ofstream(base / "blocked/Download") << "a file where the folder should be";

  struct Case {
    const char* folder;
    bool created;
  };
  for (const Case& c :
       {Case{"fresh", true}, Case{"existing", false}, Case{"blocked", false}, Case{"missing/x", false}}) {
    EXPECT_EQ(create_download_folder((base / c.folder).string()), c.created) << c.folder;
  }
  EXPECT_TRUE(fs::is_directory(base / "fresh/Download"));
  EXPECT_TRUE(fs::exists(base / "existing/Download/kept.rar"));
  EXPECT_TRUE(fs::is_regular_file(base / "blocked/Download"));
  fs::remove_all(base);
}

}  // namespace
}  // namespace quill::app

namespace quill::app {
namespace {

// A procedure under the program's own on 列表框 sees the row height being set
// while the window is still hidden.
native::WindowSubclass under_list;
int hidden_at_row_height = -1;
int item_height_set = 0;

win::LRESULT watch_row_height(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam) {
  if (message == win::LB_SETITEMHEIGHT) {
    item_height_set = static_cast<int>(lparam);
    bool shown = toolkit::get_property(toolkit::kMainWindow, toolkit::Property::visible) != 0;
    for (QWidget* top : QApplication::topLevelWidgets()) shown = shown || top->isVisible();
    hidden_at_row_height = shown ? 0 : 1;
  }
  return under_list.call_previous(window, message, wparam, lparam);
}

void created_with_watch() {
  under_list.attach(toolkit::control_handle("列表框"), &watch_row_height);
  handle_window_created();
}

TEST(WindowCreation, WindowStaysHiddenUntilProceduresAndRowHeightAreSet) {
  QtToolkit toolkit;
  toolkit::install_backend(&toolkit);
  create_process_objects();
  {
    MainWindow window(toolkit, WindowEvents{&created_with_watch, nullptr});
    window.load();
    EXPECT_EQ(item_height_set, 40);
    EXPECT_EQ(hidden_at_row_height, 1);
    EXPECT_EQ(download_list_subclass()->previous_procedure(), reinterpret_cast<win::LONG_PTR>(&watch_row_height))
        << "the program's procedure is attached over what was there";
    EXPECT_TRUE(window.widget()->isVisible());
    release_process_objects();
    under_list.detach();
  }
  toolkit::install_backend(nullptr);
}

}  // namespace
}  // namespace quill::app
