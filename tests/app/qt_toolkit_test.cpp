#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QTreeView>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app_window_fixture.h"
#include "platform/codepage.h"
#include "platform/window_messages.h"

namespace quill::app {
namespace {

using ToolkitTest = AppWindowTest;
using toolkit::Property;

TEST_F(ToolkitTest, BadInputGivesTheDocumentedResults) {
  toolkit::list_view_insert_row("列表", "a");
  toolkit::list_box_add("列表框", "a");
  struct Read {
    const char* what;
    long long got;
    long long expected;
  };
  const Read reads[] = {
      {"unknown get_property", toolkit::get_property("没有", Property::visible), -1},
      {"text as a number", toolkit::get_property("标签_提示", Property::text), -1},
      {"ticked of a label", toolkit::get_property("标签_提示", Property::ticked), -1},
      {"selection of a label", toolkit::get_property("标签_提示", Property::current_selection), -1},
      {"unknown handle", toolkit::control_handle("没有") == nullptr, 1},
      {"unknown text", toolkit::get_text_property("没有").empty(), 1},
      {"unknown list box count", toolkit::list_box_count("没有"), -1},
      {"list view as list box", toolkit::list_box_count("列表"), -1},
      {"list box as list view", toolkit::list_view_count("列表框"), -1},
      {"unknown list box add", toolkit::list_box_add("没有", "x"), -1},
      {"list box insert at -1", toolkit::list_box_insert("列表框", -1, "x"), -1},
      {"list box insert past the end", toolkit::list_box_insert("列表框", 5, "x"), -1},
      {"unknown list view insert", toolkit::list_view_insert_row("没有", "x"), -1},
      {"cell of row -1", toolkit::cell_text("列表", -1, 1).empty(), 1},
      {"cell of row 1 of 1", toolkit::cell_text("列表", 1, 1).empty(), 1},
      {"cell of column 5", toolkit::cell_text("列表", 0, 5).empty(), 1},
      {"cell of column -1", toolkit::cell_text("列表", 0, -1).empty(), 1},
      {"tick of row -1", toolkit::tick_state("列表", -1), -1},
      {"tick of row 1 of 1", toolkit::tick_state("列表", 1), -1},
      {"unknown client width", toolkit::client_width("没有"), -1},
      {"unknown client height", toolkit::client_height("没有"), -1},
      {"message to an unknown control", toolkit::send_control_message("没有", win::LB_SETITEMHEIGHT, 0, 40), 0},
  };
  for (const Read& r : reads) EXPECT_EQ(r.got, r.expected) << r.what;

  // Writes out of range change nothing.
  toolkit::set_cell_text("列表", 3, 1, "x");
  toolkit::set_cell_text("列表", 0, 9, "x");
  toolkit::set_tick_state("列表", -2, 1);
  toolkit::set_property("没有", Property::visible, 0);
  toolkit::set_text_property("没有", "x");
  toolkit::set_property("标签_提示", Property::ticked, 1);
  toolkit::set_property("列表框", Property::current_selection, 7);
  EXPECT_EQ(toolkit::get_property("列表框", Property::current_selection), -1);
  toolkit::list_view_clear("没有");
  pump();
  EXPECT_EQ(toolkit::list_view_count("列表"), 1);
  EXPECT_EQ(toolkit::list_box_count("列表框"), 1);
  EXPECT_EQ(toolkit::cell_text("列表", 0, 0), "a");

  // A list view takes a negative or too large position as an append.
  EXPECT_EQ(toolkit::list_view_insert_row("列表", "b", -5), 1);
  EXPECT_EQ(toolkit::list_view_insert_row("列表", "c", 99), 2);
  EXPECT_EQ(toolkit::list_view_insert_row("列表", "first", 0), 0);
  EXPECT_EQ(toolkit::list_box_insert("列表框", 1, "end"), 1);
  EXPECT_EQ(toolkit::list_box_insert("列表框", 0, "front"), 0);
  pump();
  QAbstractItemModel* rows = static_cast<QTreeView*>(widget("列表"))->model();
  const char* order[] = {"first", "a", "b", "c"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(rows->index(i, 0).data().toString().toStdString(), order[i]) << i;
  auto* list = static_cast<QListWidget*>(widget("列表框"));
  EXPECT_EQ(list->item(0)->text(), "front");
  EXPECT_EQ(list->item(2)->text(), "end");

  toolkit::list_view_clear("列表");
  EXPECT_EQ(toolkit::list_view_count("列表"), 0);
  pump();
  EXPECT_EQ(rows->rowCount(), 0);
}

TEST_F(ToolkitTest, PropertiesReachTheWidgets) {
  toolkit::set_text_property("标签_提示", gbk("第3页"));
  toolkit::set_text_property("编辑框2", "17");
  toolkit::set_property("按钮2", Property::disabled, 1);
  toolkit::set_property("编辑框3", Property::visible, 1);
  toolkit::list_box_add("列表框", "x");
  toolkit::list_box_add("列表框", "y");
  toolkit::set_property("列表框", Property::current_selection, 1);
  // Read back at once, before the widgets were updated.
  EXPECT_EQ(toolkit::get_text_property("标签_提示"), gbk("第3页"));
  EXPECT_EQ(toolkit::get_text_property("编辑框2"), "17");
  EXPECT_EQ(toolkit::get_property("按钮2", Property::disabled), 1);
  EXPECT_EQ(toolkit::get_property("列表框", Property::current_selection), 1);
  pump();
  EXPECT_EQ(static_cast<QLabel*>(widget("标签_提示"))->text(), QString::fromUtf8("第3页"));
  EXPECT_FALSE(widget("按钮2")->isEnabled());
  EXPECT_FALSE(widget("编辑框3")->isHidden());
  EXPECT_EQ(static_cast<QListWidget*>(widget("列表框"))->currentRow(), 1);
  // A row inserted before the selected one moves the selection with its row.
  toolkit::list_box_insert("列表框", 0, "w");
  EXPECT_EQ(toolkit::get_property("列表框", Property::current_selection), 2);
}

// Writes queued by a worker while the UI thread is busy: rows inserted one
// below the other and their cells travel as one update, and whatever the
// order of inserts and cell writes, the widget ends as the toolkit holds it.
TEST_F(ToolkitTest, QueuedRowUpdatesLeaveTheWidgetAsTheToolkitHolds) {
  std::thread worker([] {
    for (int row = 0; row < 3; ++row) toolkit::list_view_insert_row("列表", "n" + std::to_string(row), row);
    toolkit::set_cell_text("列表", 2, 1, "c2");
    toolkit::set_cell_text("列表", 0, 3, "c0");
    toolkit::list_view_insert_row("列表", "middle", 1);  // not below the block: a new update
    toolkit::set_cell_text("列表", 3, 1, "moved");       // the old row 2
    toolkit::list_view_insert_row("列表", "end", -1);
    toolkit::list_view_insert_row("列表", "after end", 5);
    toolkit::set_cell_text("列表", 4, 4, "e4");
    toolkit::set_tick_state("列表", 5, 1);
    toolkit::list_view_insert_row("列表", "front", 0);
  });
  worker.join();  // nothing was applied meanwhile
  pump();
  QAbstractItemModel* rows = static_cast<QTreeView*>(widget("列表"))->model();
  ASSERT_EQ(rows->rowCount(), toolkit::list_view_count("列表"));
  ASSERT_EQ(rows->rowCount(), 7);
  for (int row = 0; row < 7; ++row) {
    for (int column = 0; column < 5; ++column) {
      EXPECT_EQ(rows->index(row, column).data().toString().toStdString(), toolkit::cell_text("列表", row, column))
          << row << "," << column;
    }
    EXPECT_EQ(rows->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked,
              toolkit::tick_state("列表", row) == 1)
        << row;
  }
  EXPECT_EQ(toolkit::cell_text("列表", 4, 1), "moved");
  EXPECT_EQ(toolkit::tick_state("列表", 6), 1);
}

// A flood of writes from a worker reaches the widgets whole and by itself,
// while the UI thread only runs its loop.
TEST_F(ToolkitTest, WritesFromAWorkerReachTheWidgetsByThemselves) {
  constexpr int kRows = 2000;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int row = 0; row < kRows; ++row) {
      toolkit::list_view_insert_row("列表", "", row);
      toolkit::set_cell_text("列表", row, 1, std::to_string(row));
    }
    toolkit::set_text_property("标签_提示", "done");
    done = true;
  });
  QElapsedTimer since_done;
  auto* label = static_cast<QLabel*>(widget("标签_提示"));
  QAbstractItemModel* rows = static_cast<QTreeView*>(widget("列表"))->model();
  while (!done || label->text() != "done" || rows->rowCount() < kRows) {
    if (done && !since_done.isValid()) since_done.start();
    ASSERT_LT(since_done.isValid() ? since_done.elapsed() : 0, 2000) << "the widgets never caught up";
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  worker.join();
  EXPECT_EQ(rows->index(kRows - 1, 1).data().toString(), QString::number(kRows - 1));
}

// Several threads write and read at once, while the UI thread keeps handling
// events; every thread sees its own writes, and the widgets end up exactly as
// the toolkit reports.
TEST_F(ToolkitTest, CallsFromSeveralThreadsStayConsistent) {
  constexpr int kThreads = 4;
  constexpr int kRows = 60;
  std::atomic<int> finished{0};
  std::atomic<int> mismatches{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int k = 0; k < kRows; ++k) {
        const std::string name = "t" + std::to_string(t) + "-" + std::to_string(k);
        const int row = toolkit::list_view_insert_row("列表", name);
        toolkit::set_cell_text("列表", row, 1, name + "/1");
        toolkit::set_cell_text("列表", row, 4, name + "/4");
        toolkit::set_tick_state("列表", row, k % 2);
        if (toolkit::cell_text("列表", row, 0) != name || toolkit::cell_text("列表", row, 4) != name + "/4" ||
            toolkit::tick_state("列表", row) != k % 2) {
          ++mismatches;
        }
        const int item = toolkit::list_box_add("列表框", name);
        if (item < 0) ++mismatches;
        toolkit::set_text_property("标签_提示", name);
        win::RECT rect;
        if (toolkit::send_control_message("列表框", win::LB_GETITEMRECT, 0, reinterpret_cast<win::LPARAM>(&rect)) !=
                1 ||
            rect.bottom - rect.top != 40) {
          ++mismatches;
        }
        toolkit::process_pending_events();  // a no-op off the UI thread
      }
      ++finished;
    });
  }
  while (finished < kThreads) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  for (auto& thread : threads) thread.join();
  pump();

  EXPECT_EQ(mismatches, 0);
  ASSERT_EQ(toolkit::list_view_count("列表"), kThreads * kRows);
  ASSERT_EQ(toolkit::list_box_count("列表框"), kThreads * kRows);
  QAbstractItemModel* rows = static_cast<QTreeView*>(widget("列表"))->model();
  auto* list = static_cast<QListWidget*>(widget("列表框"));
  ASSERT_EQ(rows->rowCount(), kThreads * kRows);
  ASSERT_EQ(list->count(), kThreads * kRows);
  for (int row = 0; row < kThreads * kRows; ++row) {
    const std::string name = toolkit::cell_text("列表", row, 0);
    auto shown = [&](int column) { return rows->index(row, column).data().toString().toStdString(); };
    ASSERT_EQ(shown(0), name) << row;
    EXPECT_EQ(shown(1), name + "/1") << row;
    EXPECT_EQ(shown(4), name + "/4") << row;
    const int tick = std::stoi(name.substr(name.find('-') + 1)) % 2;
    EXPECT_EQ(toolkit::tick_state("列表", row), tick) << row;
    EXPECT_EQ(rows->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>(), tick ? Qt::Checked : Qt::Unchecked)
        << row;
  }
  EXPECT_EQ(static_cast<QLabel*>(widget("标签_提示"))->text().toStdString(), toolkit::get_text_property("标签_提示"));
}

}  // namespace
}  // namespace quill::app
