// Batch downloads end to end: the real program started as its entry does
// (main window on Qt's offscreen platform, click handlers, exit routine), the
// demo site in-process on a free loopback port as catalogue and mirror. The
// test thread is the UI thread; clicks go through the buttons' widgets.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

#include "app/startup.h"
#include "catalogue/catalogue_scraper.h"
#include "catalogue/text_extraction.h"
#include "demo/demo_pages.h"
#include "demo/demo_site.h"
#include "downloads/dispatcher.h"
#include "downloads/download_file.h"
#include "downloads/download_worker.h"
#include "downloads/task_list.h"
#include "downloads/temp_folder.h"
#include "downloads/test_server.h"
#include "platform/codepage.h"
#include "platform/toolkit.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

extern char** environ;

namespace quill {
namespace {

namespace fs = std::filesystem;
using toolkit::Property;

constexpr std::string_view kCatalogue = "列表";
constexpr std::string_view kDownloadList = "列表框";
constexpr std::size_t kMinArchive = 4 * 1024;
constexpr std::size_t kMaxArchive = 200 * 1024;

// Dispatches the UI thread's events until `done` holds; false after a minute.
bool pump_until(const std::function<bool()>& done) {
  auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!done()) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  QCoreApplication::processEvents();
  return true;
}

void click(std::string_view control) {
  auto* button = qobject_cast<QAbstractButton*>(app::installed_toolkit()->widget(control));
  ASSERT_NE(button, nullptr) << control;
  button->click();
}

std::size_t task_count() {
  std::lock_guard lock(task_list_lock);
  return download_tasks.size();
}
DownloadTask task_copy(std::size_t index) {
  std::lock_guard lock(task_list_lock);
  return download_tasks.at(index);
}

// A batch is over when its dispatcher has let go of batch_lock and every
// worker and transfer has ended.
bool batch_over() {
  if (!batch_lock.try_lock()) return false;
  batch_lock.unlock();
  return active_workers.load() == 0 && downloads::unsettled_transfers() == 0;
}

struct Book {
  std::string name;  // GBK
  std::uint64_t id;
};

class BatchDownloadTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Start-up creates "Download" beside the test program; it is removed
    // again when this run created it. Archives go to a folder of the test's.
    created_download_folder_ = !fs::exists(toolkit::program_folder() + "/Download");
#if defined(__SANITIZE_ADDRESS__)
    // The program's window lives until the process ends, which the program
    // ends with _exit; this test program returns from main instead.
    __lsan::ScopedDisabler immortal_window;
#endif
    app::start_up();
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    if (created_download_folder_) fs::remove(toolkit::program_folder() + "/Download", ignored);
  }
  void SetUp() override {
    start_site({});
    downloads::set_download_folder(folder());
    first_task_ = task_count();
  }
  void TearDown() override {
    EXPECT_TRUE(pump_until(batch_over)) << "the batch never ended";
    site_->stop();
    downloads::set_transfer_time_out_ms(10000);
  }
  // (Re)starts the demo site with two pages of 12 books and `faults`.
  void start_site(std::map<std::string, demo::Fault> faults) {
    if (site_) site_->stop();
    demo::DemoOptions options;
    options.port = 0;
    options.pages_per_category = 2;
    options.books_per_page = 12;
    options.min_archive_size = kMinArchive;
    options.max_archive_size = kMaxArchive;
    options.stall = std::chrono::milliseconds(2500);
    options.faults = std::move(faults);
    site_ = std::make_unique<demo::DemoSite>(options);
    ASSERT_TRUE(site_->start());
    downloads::set_mirror_base(site_->base_url());
  }
  std::string folder() const { return dir_.path() + "/"; }

  // Fetches the first category into 列表 as 按钮1's thread does.
  std::vector<Book> fetch_catalogue() {
    std::atomic<bool> done{false};
    std::thread scraper([&] {
      scrape_catalogue(site_->base_url());
      done = true;
    });
    pump_until([&] { return done.load(); });
    scraper.join();
    std::vector<Book> books;
    for (int row = 0; row < toolkit::list_view_count(kCatalogue); ++row) {
      std::string id = text_between(toolkit::cell_text(kCatalogue, row, 4), "com/", ".html");
      books.push_back({toolkit::cell_text(kCatalogue, row, 1), std::stoull(id)});
    }
    return books;
  }
  void tick_all() {
    toolkit::set_property("选择框1", Property::ticked, 0);
    click("选择框1");  // ticks the box, and with it every row
  }
  std::string archive_of(const Book& book) const {
    std::string bytes;
    demo::archive_bytes(book.id, 0, demo::archive_size(book.id, kMinArchive, kMaxArchive), bytes);
    return bytes;
  }
  // Checks the tasks from `first` on: `copies` tasks for each of `books`.
  // Workers run side by side (and the last workers of one batch beside the
  // first of the next), so tasks follow the order in which they registered.
  void expect_tasks(std::size_t first, const std::vector<Book>& books, int copies = 1) {
    std::size_t count = books.size() * static_cast<std::size_t>(copies);
    ASSERT_GE(task_count(), first + count);
    std::map<std::string, std::pair<const Book*, int>> by_name;
    for (const Book& book : books) by_name[book.name] = {&book, copies};
    ASSERT_EQ(by_name.size(), books.size()) << "book names are not unique";
    for (std::size_t i = first; i < first + count; ++i) {
      DownloadTask task = task_copy(i);
      std::string utf8 = platform::gbk_to_utf8(task.title);
      auto found = by_name.find(task.title);
      ASSERT_NE(found, by_name.end()) << "task " << i << " (" << utf8 << ") is no ticked book, or one task too many";
      const Book& book = *found->second.first;
      if (--found->second.second == 0) by_name.erase(found);
      EXPECT_EQ(task.folder, platform::utf8_to_gbk(folder())) << utf8;
      EXPECT_EQ(task.percent, 100) << utf8;
      std::string archive = archive_of(book);
      EXPECT_EQ(task.size_kb, static_cast<std::int32_t>(archive.size() / 1024)) << utf8;
      EXPECT_TRUE(test::read_file(folder() + utf8 + ".rar") == archive) << utf8 << ": archive differs";
    }
  }

  static inline bool created_download_folder_ = false;
  test::TempFolder dir_;
  std::unique_ptr<demo::DemoSite> site_;
  std::size_t first_task_ = 0;
};

TEST_F(BatchDownloadTest, EveryTickedBookLandsUnderItsNameAndUntickedRowsGiveNothing) {
  std::vector<Book> books = fetch_catalogue();
  ASSERT_EQ(books.size(), 24u);
  tick_all();
  std::vector<Book> ticked;
  for (std::size_t row = 0; row < books.size(); ++row) {
    if (row % 5 == 2) {
      toolkit::set_tick_state(kCatalogue, static_cast<int>(row), 0);
    } else {
      ticked.push_back(books[row]);
    }
  }
  int rows_before = toolkit::list_box_count(kDownloadList);
  click("按钮2");
  ASSERT_TRUE(pump_until([&] { return task_count() == first_task_ + ticked.size() && batch_over(); }));
  expect_tasks(first_task_, ticked);
  EXPECT_EQ(task_count(), first_task_ + ticked.size()) << "an unticked row got a task";
  EXPECT_EQ(toolkit::list_box_count(kDownloadList), rows_before + static_cast<int>(ticked.size()));
  EXPECT_EQ(test::entries_in(folder()), ticked.size()) << "an unticked row got a file";
  EXPECT_EQ(toolkit::get_text_property("编辑框2"), "1");
  EXPECT_EQ(toolkit::get_text_property("标签_提示"), gbk("提示： 软件批量完毕，请继续操作!"));
}

TEST_F(BatchDownloadTest, TwoQuickClicksRunTwoFullBatchesWithinFiveWorkers) {
  std::vector<Book> books = fetch_catalogue();
  tick_all();
  std::atomic<bool> watching{true};
  std::atomic<int> most{0};
  std::thread watcher([&] {
    while (watching.load()) {
      int alive = active_workers.load();
      if (alive > most.load()) most.store(alive);
      std::this_thread::yield();
    }
  });
  click("按钮2");
  click("按钮2");
  bool ended = pump_until([&] { return task_count() == first_task_ + 2 * books.size() && batch_over(); });
  watching.store(false);
  watcher.join();
  ASSERT_TRUE(ended);
  EXPECT_LE(most.load(), 5);
  // The second batch walks the rows again from row 1: every book once more,
  // and each task got its own transfer's reports.
  expect_tasks(first_task_, books, 2);
}

// The mirror's faults, and a missing "Download" folder: the rows stay at 0 %
// (a cut transfer keeps what it reported, short of 100 %), nothing is written
// but the part of the cut archive that arrived, and the other books complete.
TEST_F(BatchDownloadTest, MirrorFaultsLeaveTheirRowsShortOf100) {
  std::vector<Book> books = fetch_catalogue();
  auto archive_path = [&](int row) { return "/file/" + std::to_string(books[row].id) + "_1.rar"; };
  // The mirror restarted with a fault on each of the first four archives.
  start_site({{archive_path(0), demo::Fault::missing_length},
              {archive_path(1), demo::Fault::not_found},
              {archive_path(2), demo::Fault::cut_half_way},
              {archive_path(3), demo::Fault::stall}});
  downloads::set_transfer_time_out_ms(1000);  // the stall outlasts it
  tick_all();
  click("按钮2");
  ASSERT_TRUE(pump_until([&] { return task_count() == first_task_ + books.size() && batch_over(); }));
  std::map<std::string, DownloadTask> tasks;
  for (std::size_t i = first_task_; i < task_count(); ++i) tasks[task_copy(i).title] = task_copy(i);
  for (std::size_t row = 0; row < books.size(); ++row) {
    const DownloadTask& task = tasks[books[row].name];
    std::string file = folder() + platform::gbk_to_utf8(books[row].name) + ".rar";
    switch (row) {
      case 0:  // no Content-Length
      case 1:  // 404
      case 3:  // stalled past the time-out
        EXPECT_EQ(task.percent, 0) << "row " << row;
        EXPECT_EQ(task.size_kb, 0) << "row " << row;
        EXPECT_FALSE(fs::exists(file)) << "row " << row;
        break;
      case 2:  // cut half way
        EXPECT_LT(task.percent, 100);
        EXPECT_TRUE(test::read_file(file) == archive_of(books[row]).substr(0, test::read_file(file).size()));
        EXPECT_LE(fs::file_size(file), archive_of(books[row]).size() / 2);
        break;
      default:
        EXPECT_EQ(task.percent, 100) << "row " << row;
        EXPECT_TRUE(test::read_file(file) == archive_of(books[row])) << "row " << row;
    }
  }

  // The same batch into a folder that does not exist.
  downloads::set_download_folder(folder() + "missing/");
  std::size_t first = task_count();
  click("按钮2");
  ASSERT_TRUE(pump_until([&] { return task_count() == first + books.size() && batch_over(); }));
  for (std::size_t i = first; i < task_count(); ++i) EXPECT_EQ(task_copy(i).percent, 0) << "task " << i;
  EXPECT_FALSE(fs::exists(folder() + "missing"));
}

// The child of the next test: a batch whose archives stop half way, then the
// window is closed. Runs only when the parent starts it.
TEST(BatchExitChild, CloseDuringABatch) {
  const char* folder = std::getenv("QUILL_EXIT_CHILD_FOLDER");
  if (folder == nullptr) GTEST_SKIP() << "runs as the child of CloseDuringABatchEndsTheProcessAtOnce";
  app::start_up();
  static test::TestServer mirror(60000, true);  // never destroyed: the process ends first
  downloads::set_mirror_base(mirror.base());
  downloads::set_download_folder(folder);
  for (int row = 0; row < 8; ++row) {
    toolkit::list_view_insert_row(kCatalogue, "");
    toolkit::set_cell_text(kCatalogue, row, 1, "book" + std::to_string(row));
    toolkit::set_cell_text(kCatalogue, row, 4, "http://127.0.0.1/book.com/" + std::to_string(row) + ".html");
    toolkit::set_tick_state(kCatalogue, row, 1);
  }
  click("按钮2");
  pump_until([&] {
    for (int row = 0; row < 8; ++row) {
      std::error_code missing;
      auto size = fs::file_size(std::string(folder) + "/book" + std::to_string(row) + ".rar", missing);
      if (missing || size == 0) return false;
    }
    return true;
  });
  app::installed_toolkit()->widget(toolkit::kMainWindow)->close();
  ADD_FAILURE() << "the process went on after the window was closed";
}

TEST(BatchExit, CloseDuringABatchEndsTheProcessAtOnce) {
  test::TempFolder dir;
  std::string download_beside = toolkit::program_folder() + "/Download";
  bool created_download_folder = !fs::exists(download_beside);
  std::string self = fs::read_symlink("/proc/self/exe").string();
  std::string filter = "--gtest_filter=BatchExitChild.CloseDuringABatch";
  std::vector<char*> argv = {self.data(), filter.data(), nullptr};
  setenv("QUILL_EXIT_CHILD_FOLDER", dir.path().c_str(), 1);
  pid_t child = 0;
  int spawned = posix_spawn(&child, self.c_str(), nullptr, nullptr, argv.data(), environ);
  unsetenv("QUILL_EXIT_CHILD_FOLDER");
  ASSERT_EQ(spawned, 0);
  // The mirror holds every archive open for a minute; an exit that waited
  // for the transfers would still be running after this.
  int status = 0;
  auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > give_up) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      FAIL() << "closing the window did not end the process";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::error_code ignored;
  if (created_download_folder) fs::remove(download_beside, ignored);  // the child's start-up made it
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  for (int row = 0; row < 8; ++row) {
    std::string name = "book" + std::to_string(row) + ".rar";
    std::size_t size = 1000 + std::to_string(row).size() * 777;
    EXPECT_TRUE(test::read_file(dir.path() + "/" + name) == test::body_of(size / 2)) << name << " not kept as written";
  }
}

}  // namespace
}  // namespace quill
