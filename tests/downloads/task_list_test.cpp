#include "downloads/task_list.h"

#include <gtest/gtest.h>

#include <thread>

#include "downloads/fake_toolkit.h"

namespace quill {
namespace {

struct Paint {
  win::HWND list_box;
  int row;
  bool selected;
  bool lock_free;  // task_list_lock could be taken while painting
};
std::vector<Paint> paints;

void record_paint(win::HWND list_box, int row, bool selected) {
  bool free = task_list_lock.try_lock();
  if (free) task_list_lock.unlock();
  paints.push_back({list_box, row, selected, free});
}

DownloadTask task_copy(std::size_t index) {
  std::lock_guard lock(task_list_lock);
  return download_tasks.at(index);
}

class TaskListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    release_download_tasks();
    paints.clear();
    set_row_painter(record_paint);
  }
  void TearDown() override { set_row_painter(nullptr); }
  test::FakeToolkit toolkit_;
};

TEST_F(TaskListTest, RegistrationAppendsATaskAndARow) {
  register_download_task(0, false, "first", "/dl/");
  register_download_task(0, false, "second", "/dl/");
  register_download_task(1, true, "between", "/dl/");
  register_download_task(9, true, "nowhere", "/dl/");  // beyond the count: nothing
  register_download_task(-1, true, "nowhere", "/dl/");
  ASSERT_EQ(download_tasks.size(), 3u);
  EXPECT_EQ(task_copy(0).title, "first");
  EXPECT_EQ(task_copy(1).title, "between");
  EXPECT_EQ(task_copy(2).title, "second");
  EXPECT_EQ(toolkit_.download_rows(), 3);
  DownloadTask fresh = task_copy(2);
  EXPECT_EQ(fresh.folder, "/dl/");
  EXPECT_EQ(fresh.percent + fresh.size_kb + fresh.time_ms, 0);
}

TEST_F(TaskListTest, ReportsReachTheirTaskAndRepaintItsRow) {
  register_download_task(0, false, "one", "/dl/");
  register_download_task(0, false, "two", "/dl/");
  toolkit::set_property("列表框", toolkit::Property::current_selection, 1);
  struct Case {
    const char* name;
    std::int32_t number;
    std::int64_t total;
    std::int64_t elapsed;
    int task;  // -1: no task changes
    std::int32_t size_kb;
    std::int32_t time_ms;
  };
  const Case cases[] = {
      {"number 1 is task 0", 1, 1048576, 30, 0, 1024, 30},
      {"1023 bytes are 0 KiB", 2, 1023, 40, 1, 0, 40},
      {"3 GiB", 1, std::int64_t{3} << 30, 50, 0, 3 << 20, 50},
      {"elapsed keeps its low 32 bits", 2, 2048, (std::int64_t{1} << 32) + 7, 1, 2, 7},
      {"number 0", 0, 4096, 1, -1, 0, 0},
      {"number past the last task", 3, 4096, 1, -1, 0, 0},
  };
  for (const Case& c : cases) {
    DownloadTask before[] = {task_copy(0), task_copy(1)};
    paints.clear();
    on_download_progress(c.number, c.total, 42, c.elapsed);
    if (c.task < 0) {
      EXPECT_TRUE(paints.empty()) << c.name;
      EXPECT_EQ(task_copy(0).time_ms, before[0].time_ms) << c.name;
      EXPECT_EQ(task_copy(1).time_ms, before[1].time_ms) << c.name;
      continue;
    }
    DownloadTask task = task_copy(static_cast<std::size_t>(c.task));
    EXPECT_EQ(task.title, before[c.task].title) << c.name;
    EXPECT_EQ(task.folder, "/dl/") << c.name;
    EXPECT_EQ(task.percent, 42) << c.name;
    EXPECT_EQ(task.size_kb, c.size_kb) << c.name;
    EXPECT_EQ(task.time_ms, c.time_ms) << c.name;
    ASSERT_EQ(paints.size(), 1u) << c.name;
    EXPECT_EQ(paints[0].row, c.task) << c.name;
    EXPECT_EQ(paints[0].selected, c.task == 1) << c.name;
    EXPECT_EQ(paints[0].list_box, toolkit::control_handle("列表框")) << c.name;
    EXPECT_TRUE(paints[0].lock_free) << c.name << ": painted under task_list_lock";
  }
}

TEST_F(TaskListTest, UpdatesKeepTextsUnlessGivenAndIgnoreUnknownRows) {
  register_download_task(0, false, "title", "/dl/");
  update_download_task(0, "", "", 5, 6, 7);
  update_download_task(0, "renamed", "", 8, 9, 10);
  update_download_task(1, "x", "x", 1, 1, 1);
  update_download_task(-1, "x", "x", 1, 1, 1);
  DownloadTask task = task_copy(0);
  EXPECT_EQ(task.title, "renamed");
  EXPECT_EQ(task.folder, "/dl/");
  EXPECT_EQ(task.percent, 8);
  EXPECT_EQ(paints.size(), 2u);
}

TEST_F(TaskListTest, WithoutAPainterNothingIsPaintedAndReleaseEmptiesTheList) {
  set_row_painter(nullptr);
  register_download_task(0, false, "title", "/dl/");
  on_download_progress(1, 2048, 50, 10);
  EXPECT_TRUE(paints.empty());
  EXPECT_EQ(task_copy(0).percent, 50);
  release_download_tasks();
  on_download_progress(1, 2048, 60, 10);  // a late report after the exit routine
  EXPECT_TRUE(download_tasks.empty());
}

}  // namespace
}  // namespace quill
