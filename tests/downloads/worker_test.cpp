#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <latch>
#include <thread>

#include "downloads/dispatcher.h"
#include "downloads/download_worker.h"
#include "downloads/fake_toolkit.h"
#include "downloads/report_log.h"
#include "downloads/task_list.h"
#include "downloads/temp_folder.h"
#include "downloads/test_server.h"
#include "platform/codepage.h"

namespace quill {
namespace {

namespace fs = std::filesystem;
using test::body_of;
using test::read_file;

DownloadTask task_copy(std::size_t index) {
  std::lock_guard lock(task_list_lock);
  return download_tasks.at(index);
}
std::size_t task_count() {
  std::lock_guard lock(task_list_lock);
  return download_tasks.size();
}

void wait_for_workers() {
  auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (active_workers.load() != 0 && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ASSERT_EQ(active_workers.load(), 0);
}

// Every test registers only through begin_download, so task i keeps download
// number i + 1 across the tests of this executable.
class WorkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    downloads::set_mirror_base(server_.base());
    downloads::set_download_folder(folder());
    first_task_ = task_count();
  }
  void TearDown() override {
    wait_for_workers();
    test::wait_until_settled();
  }
  std::string folder() const { return dir_.path() + "/"; }

  test::TempFolder dir_;
  test::TestServer server_;
  test::FakeToolkit toolkit_;
  std::size_t first_task_ = 0;
};

TEST_F(WorkerTest, TickedRowsBecomeArchivesUnderTheirNames) {
  struct Case {
    const char* name;
    std::string book;  // UTF-8
    std::string detail;
    int ticked;
    std::string path;  // requested from the mirror; empty when none
  };
  const std::vector<Case> cases = {
      {"plain", "plain", "http://127.0.0.1:1/book.com/12345.html", 1, "/file/12345_1.rar"},
      {"Chinese name", "测试书", "http://127.0.0.1/book.com/777.html", 1, "/file/777_1.rar"},
      {"first com/, next .html", "twice", "http://x.com/b.com/9.html.html", 1, "/file/b.com/9_1.rar"},
      {"no com/", "nocom", "http://127.0.0.1/book/5.html", 1, "/file/_1.rar"},
      {"unticked", "skipped", "http://x.com/4.html", 0, ""},
  };
  for (const Case& c : cases) toolkit_.add_row(gbk(c.book), c.detail, c.ticked);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    active_workers.fetch_add(1);  // as the dispatcher does
    download_row(static_cast<std::int32_t>(i));
  }
  wait_for_workers();
  test::wait_until_settled();
  auto paths = server_.paths();
  std::size_t task = first_task_;
  for (const Case& c : cases) {
    if (c.path.empty()) {
      EXPECT_FALSE(fs::exists(folder() + c.book + ".rar")) << c.name;
      continue;
    }
    EXPECT_NE(std::find(paths.begin(), paths.end(), c.path), paths.end()) << c.name << " asked for " << c.path;
    std::string id = c.path.substr(6, c.path.size() - 6 - 6);
    std::string body = body_of(1000 + id.size() * 777);
    EXPECT_TRUE(read_file(folder() + c.book + ".rar") == body) << c.name << ": archive differs from the body";
    ASSERT_LT(task, task_count()) << c.name;
    DownloadTask t = task_copy(task++);
    EXPECT_EQ(t.title, gbk(c.book)) << c.name;
    EXPECT_EQ(t.folder, folder()) << c.name;
    EXPECT_EQ(t.percent, 100) << c.name;
    EXPECT_EQ(t.size_kb, static_cast<std::int32_t>(body.size() / 1024)) << c.name;
  }
  EXPECT_EQ(task_count(), task) << "an unticked row got a task";
  EXPECT_EQ(toolkit_.download_rows(), static_cast<int>(task - first_task_));
  EXPECT_EQ(paths.size(), task - first_task_);
}

TEST_F(WorkerTest, UnusableNamesGetATaskButNoArchive) {
  test::TempFolder parent_check;
  const std::vector<std::string> names = {"", ".", "..", "../escape", "a/b", "a\\b"};
  for (const std::string& name : names) begin_download(server_.base() + "/size/3000", gbk(name));
  test::wait_until_settled();
  ASSERT_EQ(task_count(), first_task_ + names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    DownloadTask t = task_copy(first_task_ + i);
    EXPECT_EQ(t.title, gbk(names[i])) << "name '" << names[i] << "'";
    EXPECT_EQ(t.percent, 0) << "name '" << names[i] << "'";
  }
  EXPECT_EQ(test::entries_in(folder()), 0u);
  EXPECT_FALSE(fs::exists(fs::path(dir_.path()).parent_path() / "escape.rar"));
  EXPECT_TRUE(server_.paths().empty()) << "an unusable name still fetched its archive";
}

TEST_F(WorkerTest, WorkersRegisteringAtOnceGetTheirOwnReports) {
  constexpr int kWorkers = 24;
  std::latch go(kWorkers);
  std::vector<std::thread> workers;
  for (int k = 1; k <= kWorkers; ++k) {
    workers.emplace_back([&, k] {
      go.arrive_and_wait();
      begin_download(server_.base() + "/size/" + std::to_string(k * 2048), "t" + std::to_string(k));
    });
  }
  for (auto& w : workers) w.join();
  test::wait_until_settled();
  ASSERT_EQ(task_count(), first_task_ + kWorkers);
  for (int i = 0; i < kWorkers; ++i) {
    DownloadTask t = task_copy(first_task_ + i);
    int k = std::stoi(t.title.substr(1));
    EXPECT_EQ(t.size_kb, 2 * k) << t.title << " got another download's reports";
    EXPECT_EQ(t.percent, 100) << t.title;
    EXPECT_TRUE(read_file(folder() + t.title + ".rar") == body_of(k * 2048)) << t.title << ": archive differs";
  }
}

class DispatcherTest : public WorkerTest {};

std::vector<std::string> expected_hints(int rows) {
  std::vector<std::string> hints;
  for (int i = 1; i <= rows; ++i) {
    hints.push_back(gbk("提示： 正在批量添加下载... 执行第 ") + std::to_string(i) + gbk(" 个书籍."));
  }
  hints.push_back(gbk("提示： 软件批量完毕，请继续操作!"));
  return hints;
}

TEST_F(DispatcherTest, AnEmptyCatalogueEndsAtOnce) {
  toolkit::set_text_property("编辑框2", "1");
  dispatch_downloads();
  EXPECT_EQ(toolkit_.hints(), expected_hints(0));
  EXPECT_EQ(toolkit::get_text_property("编辑框2"), "1");
}

TEST_F(DispatcherTest, TwoClicksRunTwoFullBatchesWithinTheLimit) {
  constexpr int kRows = 40;
  for (int i = 0; i < kRows; ++i) {
    toolkit_.add_row("b" + std::to_string(i), "http://x.com/book.com/" + std::to_string(i) + ".html", i % 3 != 0);
  }
  std::atomic<bool> watching{true};
  std::atomic<int> most{0};
  std::thread watcher([&] {
    while (watching.load()) {
      int alive = active_workers.load();
      if (alive > most.load()) most.store(alive);
      std::this_thread::yield();
    }
  });
  std::thread first(dispatch_downloads);
  std::thread second(dispatch_downloads);
  first.join();
  second.join();
  wait_for_workers();
  watching.store(false);
  watcher.join();
  test::wait_until_settled();

  auto twice = expected_hints(kRows);
  auto once = twice;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(toolkit_.hints(), twice);
  EXPECT_EQ(toolkit::get_text_property("编辑框2"), "1");
  EXPECT_LE(most.load(), 5);
  EXPECT_GE(most.load(), 1);
  int ticked = kRows - (kRows + 2) / 3;
  ASSERT_EQ(task_count(), first_task_ + 2 * ticked);
  for (std::size_t i = first_task_; i < task_count(); ++i) {
    DownloadTask t = task_copy(i);
    EXPECT_EQ(t.percent, 100) << t.title;
    EXPECT_TRUE(fs::exists(folder() + t.title + ".rar")) << t.title;
  }
}

}  // namespace
}  // namespace quill
