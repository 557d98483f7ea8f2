// The catalogue scraper end to end: the real main window on Qt's offscreen
// platform, the demo site in-process on a free loopback port. The test thread
// is the UI thread; each run goes on a thread of its own, as a click starts it.

#include "catalogue/catalogue_scraper.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTreeView>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "app/main_window.h"
#include "app/qt_toolkit.h"
#include "demo/demo_pages.h"
#include "demo/demo_site.h"
#include "platform/codepage.h"
#include "platform/toolkit.h"

namespace quill {
namespace {

using demo::DemoBook;
using demo::DemoOptions;
using demo::DemoSite;
using toolkit::Property;

constexpr std::string_view kList = "列表";
constexpr std::string_view kHint = "标签_提示";
constexpr std::string_view kTimeTravel = "单选框_穿越";

using Row = std::vector<std::string>;  // cells 0 to 4

Row expected_row(const DemoBook& book, const std::string& base) {
  return {"", book.name, book.date, book.description, base + book.link};
}

std::string page_hint(const std::string& count_text, int n) {
  return gbk("提示： 正在获取...  总页数：") + count_text + gbk(" 执行第 ") + std::to_string(n) + gbk(" 页.");
}

const std::string& working_hint() {
  static const std::string hint = gbk("提示：操作中、正在获取...");
  return hint;
}

// What the client showed when a request reached the site.
struct Seen {
  std::string path;
  std::string hint;
  int list_disabled = -1;
};

class CatalogueScraperTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    toolkit_ = new app::QtToolkit();
    toolkit::install_backend(toolkit_);
    window_ = new app::MainWindow(*toolkit_, {});
    window_->load();
  }
  static void TearDownTestSuite() {
    delete window_;
    toolkit::install_backend(nullptr);
    delete toolkit_;
  }
  void SetUp() override {
    toolkit::list_view_clear(kList);
    toolkit::set_property("单选框_玄幻", Property::ticked, 1);
    QCoreApplication::processEvents();
  }
  void TearDown() override {
    if (site_) site_->stop();
  }

  // Starts the demo site on a free port; every request also records what the
  // hint label and the list's state were at that moment.
  void start_site(DemoOptions options) {
    options.port = 0;
    options.on_request = [this](const demo::RecordedRequest& request) {
      Seen seen{request.path, toolkit::get_text_property(kHint), toolkit::get_property(kList, Property::disabled)};
      std::lock_guard lock(seen_mutex_);
      seen_.push_back(seen);
    };
    site_ = std::make_unique<DemoSite>(std::move(options));
    ASSERT_TRUE(site_->start());
    base_ = site_->base_url();
  }

  static DemoOptions small_site(int pages, int books) {
    DemoOptions options;
    options.pages_per_category = pages;
    options.books_per_page = books;
    return options;
  }

  // Runs one scrape on a thread of its own, as the button's handler does,
  // while this (UI) thread keeps dispatching events.
  bool run_scrape() {
    std::atomic<bool> done{false};
    bool ran = false;
    std::thread worker([&] {
      ran = scrape_catalogue(base_);
      done = true;
    });
    while (!done) {
      QCoreApplication::processEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    worker.join();
    // The widgets catch up with the toolkit by themselves, within a tenth of a
    // second.
    auto* view = qobject_cast<QTreeView*>(toolkit_->widget(kList));
    auto* hint = qobject_cast<QLabel*>(toolkit_->widget(kHint));
    auto caught_up = [&] {
      return view->model()->rowCount() == toolkit::list_view_count(kList) &&
             view->isEnabled() == (toolkit::get_property(kList, Property::disabled) == 0) &&
             hint->text() == QString::fromStdString(platform::gbk_to_utf8(toolkit::get_text_property(kHint)));
    };
    QElapsedTimer waited;
    waited.start();
    while (!caught_up() && waited.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_TRUE(caught_up()) << "the widgets never caught up with the toolkit";
    return ran;
  }

  std::vector<Row> rows() {
    std::vector<Row> result;
    int count = toolkit::list_view_count(kList);
    for (int r = 0; r < count; ++r) {
      Row row;
      for (int c = 0; c < 5; ++c) row.push_back(toolkit::cell_text(kList, r, c));
      result.push_back(row);
    }
    return result;
  }

  std::vector<Seen> seen() {
    std::lock_guard lock(seen_mutex_);
    return seen_;
  }

  static inline app::QtToolkit* toolkit_ = nullptr;
  static inline app::MainWindow* window_ = nullptr;
  std::unique_ptr<DemoSite> site_;
  std::string base_;
  std::mutex seen_mutex_;
  std::vector<Seen> seen_;
};

std::vector<DemoBook> site_page_books(std::string_view code, int page, int books) {
  std::vector<DemoBook> result;
  for (int j = 1; j <= books; ++j) result.push_back(demo::demo_book(demo::book_id(code, page, j, books)));
  return result;
}

TEST_F(CatalogueScraperTest, FetchesEveryPageAndPutsLaterPagesInFront) {
  start_site(small_site(2, 2));
  toolkit::set_property(kTimeTravel, Property::ticked, 1);
  ASSERT_TRUE(run_scrape());

  std::vector<std::string> expected_paths = {"/class_12.html", "/class_12_1.html", "/class_12_2.html"};
  EXPECT_EQ(site_->request_paths(), expected_paths);

  // Page 2's books C, D go in front of page 1's A, B; cell 4 is base + link.
  auto page1 = site_page_books("12", 1, 2);
  auto page2 = site_page_books("12", 2, 2);
  std::vector<Row> expected = {expected_row(page2[0], base_), expected_row(page2[1], base_),
                               expected_row(page1[0], base_), expected_row(page1[1], base_)};
  EXPECT_EQ(rows(), expected);
  EXPECT_EQ(toolkit::cell_text(kList, 0, 4), base_ + "/book.com/12000003.html");
  for (int r = 0; r < 4; ++r) EXPECT_EQ(toolkit::tick_state(kList, r), 0) << "row " << r;

  // The hint of each page is up while that page is fetched, and stays after the run.
  auto requests = seen();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].hint, working_hint());
  EXPECT_EQ(requests[1].hint, page_hint("2", 1));
  EXPECT_EQ(requests[2].hint, page_hint("2", 2));
  for (const Seen& s : requests) EXPECT_EQ(s.list_disabled, 1) << s.path;
  EXPECT_EQ(toolkit::get_text_property(kHint), page_hint("2", 2));
  EXPECT_EQ(toolkit::get_property(kList, Property::disabled), 0);

  // The widgets show what the toolkit holds.
  auto* view = qobject_cast<QTreeView*>(toolkit_->widget(kList));
  auto* label = qobject_cast<QLabel*>(toolkit_->widget(kHint));
  ASSERT_TRUE(view && label);
  ASSERT_EQ(view->model()->rowCount(), 4);
  for (int r = 0; r < 4; ++r) {
    for (int c = 1; c < 5; ++c) {
      EXPECT_EQ(view->model()->index(r, c).data().toString().toStdU16String(), platform::gbk_to_utf16(expected[r][c]))
          << "row " << r << " cell " << c;
    }
  }
  EXPECT_TRUE(view->isEnabled());
  EXPECT_EQ(label->text().toStdU16String(), platform::gbk_to_utf16(page_hint("2", 2)));
}

TEST_F(CatalogueScraperTest, EachRadioButtonChoosesItsCategoryCode) {
  start_site(small_site(1, 1));
  const std::pair<std::string_view, std::string> cases[] = {
      {"单选框_玄幻", "1"}, {"单选框_武侠", "2"}, {"单选框_都市", "3"}, {"单选框_穿越", "12"},
      {"单选框_网游", "5"}, {"单选框_灵异", "6"}, {"单选框_科幻", "7"}, {"单选框_言情", "15"},
  };
  for (const auto& [radio, code] : cases) {
    for (const auto& other : cases) toolkit::set_property(other.first, Property::ticked, 0);
    toolkit::set_property(radio, Property::ticked, 1);
    site_->clear_requests();
    ASSERT_TRUE(run_scrape());
    std::vector<std::string> expected = {"/class_" + code + ".html", "/class_" + code + "_1.html"};
    EXPECT_EQ(site_->request_paths(), expected) << radio;
    ASSERT_EQ(rows().size(), 1u) << radio;
    EXPECT_EQ(rows()[0], expected_row(site_page_books(code, 1, 1)[0], base_)) << radio;
  }
}

TEST_F(CatalogueScraperTest, RunStartsByRemovingExistingRows) {
  start_site(small_site(1, 2));
  toolkit::set_property(kTimeTravel, Property::ticked, 1);
  for (int i = 0; i < 3; ++i) {
    int row = toolkit::list_view_insert_row(kList, "");
    toolkit::set_cell_text(kList, row, 1, "old");
  }
  ASSERT_TRUE(run_scrape());
  auto page1 = site_page_books("12", 1, 2);
  std::vector<Row> expected = {expected_row(page1[0], base_), expected_row(page1[1], base_)};
  EXPECT_EQ(rows(), expected);
}

TEST_F(CatalogueScraperTest, FailedFirstRequestLeavesAnEmptyEnabledList) {
  start_site(small_site(1, 1));
  site_->stop();  // nothing listens on the port any more
  toolkit::list_view_insert_row(kList, "");
  ASSERT_TRUE(run_scrape());
  EXPECT_TRUE(rows().empty());
  EXPECT_EQ(toolkit::get_property(kList, Property::disabled), 0);
  EXPECT_EQ(toolkit::get_text_property(kHint), working_hint());
}

// The first page is a hand-made one whose page count cell says `count_text`;
// the site itself has two real pages of two books.
TEST_F(CatalogueScraperTest, PageCountCellDecidesHowManyPagesAreFetched) {
  struct Case {
    const char* name;
    std::string count_text;
    std::string after_cell;
    int expected_page_requests;
    std::size_t expected_rows;
    std::string final_hint_page;  // "" when no page ran
  };
  const Case cases[] = {
      {"carriage return", "2", "\r\n", 2, 4, "2"},
      {"line feed only", "2", "\n", 0, 0, ""},
      {"zero", "0", "\r\n", 0, 0, ""},
      {"non-digits", gbk("三"), "\r\n", 0, 0, ""},
      {"negative", "-2", "\r\n", 0, 0, ""},
      {"digits then junk", "1x", "\r\n", 1, 2, "1"},
      // Pages 3, 4 and 5 are 404 pages: the run stops after three empty pages in a row.
      {"far too many", "100000", "\r\n", 5, 4, "5"},
  };
  for (const Case& c : cases) {
    DemoOptions options = small_site(2, 2);
    demo::PageLayout layout;
    layout.after_count_cell = c.after_cell;
    options.fixed["/class_12.html"] = {demo::catalogue_page("12", 1, c.count_text, {}, layout)};
    seen_.clear();
    start_site(options);
    toolkit::set_property(kTimeTravel, Property::ticked, 1);
    ASSERT_TRUE(run_scrape()) << c.name;
    auto paths = site_->request_paths();
    ASSERT_FALSE(paths.empty()) << c.name;
    EXPECT_EQ(paths[0], "/class_12.html") << c.name;
    EXPECT_EQ(static_cast<int>(paths.size()) - 1, c.expected_page_requests) << c.name;
    for (std::size_t i = 1; i < paths.size(); ++i) EXPECT_EQ(paths[i], "/class_12_" + std::to_string(i) + ".html");
    EXPECT_EQ(rows().size(), c.expected_rows) << c.name;
    EXPECT_EQ(toolkit::get_property(kList, Property::disabled), 0) << c.name;
    std::string hint =
        c.final_hint_page.empty() ? working_hint() : page_hint(c.count_text, std::stoi(c.final_hint_page));
    EXPECT_EQ(toolkit::get_text_property(kHint), hint) << c.name;
    site_->stop();
  }
}

// Faults on page 1 of a two-page category: page 2's rows always arrive.
TEST_F(CatalogueScraperTest, FaultyPageAddsNoRowsAndTheRunGoesOn) {
  struct Case {
    const char* name;
    demo::Fault fault;
    std::size_t page1_rows;
  };
  const Case cases[] = {
      {"page without markers", demo::Fault::no_markers, 0},
      {"404", demo::Fault::not_found, 0},
      {"connection cut half way", demo::Fault::cut_half_way, 0},
      {"no Content-Length", demo::Fault::missing_length, 3},
      {"stalled answer", demo::Fault::stall, 3},
  };
  for (const Case& c : cases) {
    DemoOptions options = small_site(2, 3);
    options.faults["/class_12_1.html"] = c.fault;
    options.stall = std::chrono::milliseconds(300);
    start_site(options);
    toolkit::set_property(kTimeTravel, Property::ticked, 1);
    ASSERT_TRUE(run_scrape()) << c.name;
    auto page2 = site_page_books("12", 2, 3);
    auto page1 = site_page_books("12", 1, 3);
    std::vector<Row> expected;
    for (const auto& b : page2) expected.push_back(expected_row(b, base_));
    for (std::size_t j = 0; j < c.page1_rows; ++j) expected.push_back(expected_row(page1[j], base_));
    EXPECT_EQ(rows(), expected) << c.name;
    EXPECT_EQ(toolkit::get_text_property(kHint), page_hint("2", 2)) << c.name;
    site_->stop();
  }
}

// Hand-made single pages: the rows they give, cell by cell.
TEST_F(CatalogueScraperTest, UnusualPagesGiveTheRowsTheyHold) {
  DemoBook plain{gbk("平常书名"), "2026-01-02", gbk("简介"), "/book.com/7.html"};
  DemoBook markup{gbk("<b>粗体</b>书名"), "2026-01-03", gbk("\r\n第一行\r\n第二行\r\n"), "/book.com/8.html"};
  DemoBook two_lines{gbk("上半\r\n下半"), "2026-01-04", "x", "/book.com/9.html"};
  std::string big_filler = "<!--" + std::string(4 * 1024 * 1024, 'x') + "-->\r\n";

  struct Case {
    const char* name;
    std::string body;
    std::vector<Row> expected;  // with base "" in cell 4; the base is prepended below
  };
  std::vector<Case> cases;
  cases.push_back({"markup and line breaks in names",
                   demo::catalogue_page("12", 1, "1", {plain, markup, two_lines}),
                   {expected_row(plain, ""), expected_row(markup, ""), expected_row(two_lines, "")}});
  {
    std::string page = demo::catalogue_page("12", 1, "1", {plain, markup});
    page.insert(page.find("<div class=\"mainListItem\">"), big_filler);
    cases.push_back({"several MiB", page, {expected_row(plain, ""), expected_row(markup, "")}});
  }
  {
    demo::PageLayout utf8;
    utf8.charset = "utf-8";
    std::string page = platform::gbk_to_utf8(demo::catalogue_page("12", 1, "1", {plain, markup}, utf8));
    cases.push_back({"declared utf-8", page, {expected_row(plain, ""), expected_row(markup, "")}});
  }
  {
    // UTF-8 bytes that claim to be GBK: the markers' Chinese words are GBK
    // bytes, so neither the page count nor the listing area is found.
    std::string page = platform::gbk_to_utf8(demo::catalogue_page("12", 1, "1", {plain, markup}));
    cases.push_back({"utf-8 declared as gb2312", page, {}});
  }
  {
    // Three names, one date, no description, two links: missing cells stay empty.
    std::string page = demo::catalogue_page("12", 1, "1", {plain, markup, two_lines});
    auto erase_all = [&page](const std::string& from, const std::string& to, int keep) {
      std::size_t at = 0;
      for (int seen = 0; (at = page.find(from, at)) != std::string::npos; ++seen) {
        if (seen < keep) {
          at += from.size();
          continue;
        }
        std::size_t end = page.find(to, at);
        page.erase(at, end + to.size() - at);
      }
    };
    erase_all("<div class=\"mainListDate\">", "</div>\r\n", 1);
    erase_all("<div class=\"soft_content_1\">", "</div>\r\n", 0);
    std::string third_link = "<a href=\"/book.com/9.html\" title=\"";
    page.replace(page.find(third_link), third_link.size(), "<a title=\"");
    cases.push_back({"fewer dates, descriptions and links than names",
                     page,
                     {{"", plain.name, plain.date, "", plain.link},
                      {"", markup.name, "", "", markup.link},
                      {"", two_lines.name, "", "", ""}}});
  }

  for (Case& c : cases) {
    DemoOptions options = small_site(1, 1);
    options.fixed["/class_12.html"] = {c.body};
    options.fixed["/class_12_1.html"] = {c.body};
    start_site(options);
    toolkit::set_property(kTimeTravel, Property::ticked, 1);
    ASSERT_TRUE(run_scrape()) << c.name;
    for (Row& row : c.expected) {
      if (!row[4].empty()) row[4] = base_ + row[4];
    }
    EXPECT_EQ(rows(), c.expected) << c.name;
    EXPECT_EQ(toolkit::get_property(kList, Property::disabled), 0) << c.name;
    site_->stop();
  }
}

TEST_F(CatalogueScraperTest, SecondRunIsRefusedWhileOneIsInProgress) {
  DemoOptions options = small_site(1, 1);
  options.faults["/class_12.html"] = demo::Fault::stall;
  options.stall = std::chrono::seconds(30);
  start_site(options);
  toolkit::set_property(kTimeTravel, Property::ticked, 1);

  std::atomic<bool> first_done{false};
  std::thread first([&] {
    scrape_catalogue(base_);
    first_done = true;
  });
  while (site_->request_paths().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(catalogue_run_in_progress());
  EXPECT_FALSE(scrape_catalogue(base_));
  EXPECT_EQ(site_->request_paths(), std::vector<std::string>{"/class_12.html"});

  site_->stop();  // ends the stalled answer; the first run then finds no pages
  while (!first_done) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  first.join();
  EXPECT_FALSE(catalogue_run_in_progress());
  EXPECT_EQ(toolkit::get_property(kList, Property::disabled), 0);
}

TEST_F(CatalogueScraperTest, CategoryCodeIsKeptWhenNoRadioButtonIsTicked) {
  start_site(small_site(1, 1));
  toolkit::set_property("单选框_言情", Property::ticked, 1);
  ASSERT_TRUE(run_scrape());
  toolkit::set_property("单选框_言情", Property::ticked, 0);
  site_->clear_requests();
  ASSERT_TRUE(run_scrape());
  EXPECT_EQ(current_category_code(), "15");
  EXPECT_EQ(site_->request_paths(), (std::vector<std::string>{"/class_15.html", "/class_15_1.html"}));
}

TEST(PageCountValue, ConvertsLikeTheSiteCountCellNeeds) {
  const std::pair<const char*, int> cases[] = {
      {"3", 3},
      {"  42", 42},
      {"\t+7", 7},
      {"-5", -5},
      {"12abc", 12},
      {"abc", 0},
      {"", 0},
      {"0", 0},
      {"99999999999", INT_MAX},
      {"-99999999999", INT_MIN},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(page_count_value(text), value) << '"' << text << '"';
}

}  // namespace
}  // namespace quill
