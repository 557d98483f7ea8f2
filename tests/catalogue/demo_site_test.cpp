// The demo site as the download mirror: archives, their length and content,
// the faults it can serve, and its request log.

#include "demo/demo_site.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "catalogue/text_extraction.h"
#include "demo/demo_pages.h"
#include "web/http_client.h"

namespace quill {
namespace {

using demo::DemoOptions;
using demo::DemoSite;
using demo::Fault;

struct Fetched {
  std::string headers;
  std::string status;
  std::string bytes;
};

Fetched fetch(const std::string& url) {
  Fetched f;
  http_fetch(url, 0, {}, nullptr, nullptr, {}, &f.headers, false, {}, {}, {}, {}, {}, 10, nullptr, &f.status, &f.bytes);
  return f;
}

DemoOptions small_archives() {
  DemoOptions options;
  options.port = 0;
  options.pages_per_category = 2;
  options.books_per_page = 4;
  options.min_archive_size = 4 * 1024;
  options.max_archive_size = 256 * 1024;
  return options;
}

TEST(DemoSite, ArchivesHaveTheirLengthAndTheSameBytesEveryTime) {
  DemoOptions options = small_archives();
  DemoSite site(options);
  ASSERT_TRUE(site.start());
  std::set<std::size_t> sizes;
  for (int j = 1; j <= 4; ++j) {
    std::uint64_t id = demo::book_id("7", 2, j, options.books_per_page);
    // The worker's rule finds the id in the detail address the scraper stores.
    std::string detail = site.base_url() + demo::demo_book(id).link;
    ASSERT_EQ(text_between(detail, "com/", ".html"), std::to_string(id)) << detail;

    std::string url = site.base_url() + "/file/" + std::to_string(id) + "_1.rar";
    Fetched first = fetch(url);
    std::size_t size = demo::archive_size(id, options.min_archive_size, options.max_archive_size);
    EXPECT_EQ(first.status, "200 OK") << url;
    EXPECT_NE(first.headers.find("Content-Length: " + std::to_string(size) + "\r\n"), std::string::npos) << url;
    ASSERT_EQ(first.bytes.size(), size) << url;
    EXPECT_EQ(first.bytes.substr(0, 4), "Rar!") << url;
    EXPECT_EQ(fetch(url).bytes, first.bytes) << url;
    sizes.insert(size);
  }
  EXPECT_GT(sizes.size(), 1u) << "archive sizes should vary from book to book";
}

TEST(DemoSite, ServesTheFaultsItIsAskedFor) {
  DemoOptions options = small_archives();
  const std::string no_length = "/file/7000001_1.rar", cut = "/file/7000002_1.rar", missing = "/file/7000003_1.rar";
  options.faults[no_length] = Fault::missing_length;
  options.faults[cut] = Fault::cut_half_way;
  options.faults[missing] = Fault::not_found;
  DemoSite site(options);
  ASSERT_TRUE(site.start());

  Fetched chunked = fetch(site.base_url() + no_length);
  EXPECT_EQ(chunked.headers.find("Content-Length"), std::string::npos);
  EXPECT_EQ(chunked.bytes.size(), demo::archive_size(7000001, options.min_archive_size, options.max_archive_size));

  Fetched half = fetch(site.base_url() + cut);
  std::size_t full = demo::archive_size(7000002, options.min_archive_size, options.max_archive_size);
  EXPECT_NE(half.headers.find("Content-Length: " + std::to_string(full)), std::string::npos);
  EXPECT_LE(half.bytes.size(), full / 2);

  EXPECT_EQ(fetch(site.base_url() + missing).status.substr(0, 3), "404");
  EXPECT_EQ(fetch(site.base_url() + "/class_99.html").status.substr(0, 3), "404");
  EXPECT_EQ(fetch(site.base_url() + "/class_7_3.html").status.substr(0, 3), "404");  // past the last page

  std::vector<std::string> expected = {no_length, cut, missing, "/class_99.html", "/class_7_3.html"};
  EXPECT_EQ(site.request_paths(), expected);
  for (const auto& request : site.requests()) EXPECT_EQ(request.method, "GET");
}

TEST(DemoSite, StopEndsAStalledAnswer) {
  DemoOptions options = small_archives();
  options.faults["/class_7.html"] = Fault::stall;
  options.stall = std::chrono::minutes(10);
  DemoSite site(options);
  ASSERT_TRUE(site.start());
  std::string url = site.base_url() + "/class_7.html";
  std::thread client([url] { fetch(url); });
  while (site.request_paths().empty()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  site.stop();  // returns only once the stalled answer has ended
  client.join();
  EXPECT_EQ(site.request_paths(), std::vector<std::string>{"/class_7.html"});
}

}  // namespace
}  // namespace quill
