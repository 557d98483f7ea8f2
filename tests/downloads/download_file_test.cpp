#include "downloads/download_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "downloads/report_log.h"
#include "downloads/temp_folder.h"
#include "downloads/test_server.h"

namespace quill {
namespace {

namespace fs = std::filesystem;
using test::body_of;
using test::read_file;
using test::Report;

// Write calls of this process so far (/proc/self/io).
long write_calls() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long value = 0;
  while (io >> key >> value) {
    if (key == "syscw:") return value;
  }
  return -1;
}

// Checks the reports of one finished transfer: one number, the announced
// length, a growing sequence and the final report last.
void expect_complete_sequence(const std::vector<Report>& reports, std::int64_t size, const std::string& name) {
  ASSERT_FALSE(reports.empty()) << name;
  const Report& last = reports.back();
  EXPECT_EQ(last.percent, 100) << name;
  for (std::size_t i = 0; i < reports.size(); ++i) {
    EXPECT_EQ(reports[i].number, reports[0].number) << name << " report " << i;
    EXPECT_EQ(reports[i].total, size) << name << " report " << i;
    EXPECT_NE(reports[i].thread, std::this_thread::get_id()) << name << " report on the caller's thread";
    if (i > 0 && i + 1 < reports.size()) {
      EXPECT_GE(reports[i].percent, reports[i - 1].percent) << name << " report " << i;
      EXPECT_GE(reports[i].elapsed, reports[i - 1].elapsed) << name << " report " << i;
    }
    if (i + 1 < reports.size()) {
      EXPECT_LE(reports[i].percent, 100) << name << " report " << i;
    }
  }
  if (reports.size() == 1) {
    EXPECT_EQ(last.elapsed, 50) << name << ": final report without an earlier one";
  } else {
    EXPECT_GE(last.elapsed, reports[reports.size() - 2].elapsed + 50) << name;
  }
}

class DownloadFileTest : public ::testing::Test {
 protected:
  void TearDown() override {
    test::wait_until_settled();
    downloads::set_transfer_time_out_ms(10000);
  }
  std::string folder() const { return dir_.path() + "/"; }

  test::TempFolder dir_;
  test::ReportLog log_;
};

TEST_F(DownloadFileTest, NumbersCallsInOrderAndStoresEveryBodyInPieces) {
  test::TestServer server;
  const std::vector<std::size_t> sizes = {1, 5119, 5120, 5121, 300000, 1 << 20};
  long writes_before = write_calls();
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    download_file(server.base() + "/size/" + std::to_string(sizes[i]), folder(), "book" + std::to_string(i) + ".rar",
                  log_.routine(static_cast<int>(i)));
  }
  test::wait_until_settled();
  long writes = write_calls() - writes_before;
  long least_pieces = 0;
  std::int32_t first = log_.of(0).empty() ? 0 : log_.of(0)[0].number;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    std::string name = "size " + std::to_string(sizes[i]);
    EXPECT_TRUE(read_file(folder() + "book" + std::to_string(i) + ".rar") == body_of(sizes[i])) << name;
    auto reports = log_.of(static_cast<int>(i));
    expect_complete_sequence(reports, static_cast<std::int64_t>(sizes[i]), name);
    if (!reports.empty()) {
      EXPECT_EQ(reports[0].number, first + static_cast<std::int32_t>(i)) << name;
    }
    least_pieces += static_cast<long>((sizes[i] + downloads::kMaxWritePiece - 1) / downloads::kMaxWritePiece);
  }
  EXPECT_GE(writes, least_pieces) << "bodies written in pieces larger than 5120 bytes";
}

TEST_F(DownloadFileTest, ReportsWhileTheCountGrowsThenOnceMore) {
  test::TestServer server;
  const std::size_t size = 200 * 1024;
  download_file(server.base() + "/slow/" + std::to_string(size), folder(), "slow.rar", log_.routine(0));
  test::wait_until_settled();
  auto reports = log_.of(0);
  expect_complete_sequence(reports, size, "slow body");
  ASSERT_GE(reports.size(), 3u) << "a body arriving over ~100 ms gets reports on the way";
  for (std::size_t i = 1; i + 1 < reports.size(); ++i) {
    EXPECT_GT(reports[i].elapsed, reports[i - 1].elapsed) << "report " << i << " without new bytes";
  }
  EXPECT_TRUE(read_file(folder() + "slow.rar") == body_of(size));
}

TEST_F(DownloadFileTest, ReplacesAnExistingFileAndNeverFollowsALink) {
  test::TestServer server;
  test::TempFolder outside;
  std::ofstream(folder() + "old.rar") << std::string(100000, 'x');
  std::ofstream(outside.path() + "/target") << "untouched";
  fs::create_symlink(outside.path() + "/target", folder() + "link.rar");
  download_file(server.base() + "/size/7000", folder(), "old.rar", log_.routine(0));
  download_file(server.base() + "/size/7000", dir_.path(), "link.rar", log_.routine(1));  // no trailing '/'
  test::wait_until_settled();
  EXPECT_TRUE(read_file(folder() + "old.rar") == body_of(7000));
  EXPECT_TRUE(read_file(folder() + "link.rar") == body_of(7000));
  EXPECT_FALSE(fs::is_symlink(folder() + "link.rar"));
  EXPECT_EQ(read_file(outside.path() + "/target"), "untouched");
}

// Transfers that must write no file and make no report at all.
TEST_F(DownloadFileTest, FailuresBeforeTheBodyWriteAndReportNothing) {
  test::TestServer server;
  std::string refused;
  {
    test::TestServer gone;
    refused = gone.base();
  }
  struct Case {
    const char* name;
    std::string url;
    std::string folder;
    std::string file_name;
  };
  const std::vector<Case> cases = {
      {"no Content-Length", server.base() + "/chunked/5000", folder(), "a.rar"},
      {"Content-Length 0", server.base() + "/size/0", folder(), "a.rar"},
      {"status 404", server.base() + "/missing", folder(), "a.rar"},
      {"connection refused", refused + "/size/100", folder(), "a.rar"},
      {"missing folder", server.base() + "/size/100", folder() + "none/", "a.rar"},
      {"empty file name", server.base() + "/size/100", folder(), ""},
      {"file name ..", server.base() + "/size/100", folder() + "sub/", ".."},
      {"file name with '/'", server.base() + "/size/100", folder() + "sub/", "../escape.rar"},
  };
  fs::create_directory(folder() + "sub");
  for (std::size_t i = 0; i < cases.size(); ++i) {
    download_file(cases[i].url, cases[i].folder, cases[i].file_name, log_.routine(static_cast<int>(i)));
  }
  test::wait_until_settled();
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_TRUE(log_.of(static_cast<int>(i)).empty()) << cases[i].name;
  }
  EXPECT_EQ(test::entries_in(folder()), 1u) << "only the folder 'sub' may exist";
  EXPECT_EQ(test::entries_in(folder() + "sub"), 0u);
}

// Transfers that end after part of the body: what arrived stays, no final
// report.
TEST_F(DownloadFileTest, ATransferEndingEarlyGetsNoFinalReport) {
  test::TestServer server(2500);
  downloads::set_transfer_time_out_ms(1000);
  const std::int64_t huge = std::int64_t{3} << 30;
  struct Case {
    const char* name;
    std::string path;
    std::int64_t total;
    std::size_t kept;
  };
  const std::vector<Case> cases = {
      {"connection cut", "/cut/200000", 200000, 100000},
      {"stall past the time-out", "/stall/200000", 200000, 100000},
      {"3 GiB announced", "/huge", huge, 64 * 1024},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    download_file(server.base() + cases[i].path, folder(), std::to_string(i) + ".rar",
                  log_.routine(static_cast<int>(i)));
  }
  test::wait_until_settled();
  for (std::size_t i = 0; i < cases.size(); ++i) {
    auto reports = log_.of(static_cast<int>(i));
    EXPECT_TRUE(read_file(folder() + std::to_string(i) + ".rar") == body_of(cases[i].kept)) << cases[i].name;
    for (const Report& r : reports) {
      EXPECT_EQ(r.total, cases[i].total) << cases[i].name;
      EXPECT_LE(r.percent, static_cast<std::int32_t>(static_cast<std::int64_t>(cases[i].kept) * 100 / cases[i].total))
          << cases[i].name << ": a final report after an early end";
    }
  }
}

TEST_F(DownloadFileTest, BytesBeyondTheAnnouncedLengthAreDropped) {
  test::TestServer server;
  download_file(server.base() + "/excess/6000", folder(), "excess.rar", log_.routine(0));
  test::wait_until_settled();
  EXPECT_TRUE(read_file(folder() + "excess.rar") == body_of(6000));
  expect_complete_sequence(log_.of(0), 6000, "excess");
}

}  // namespace
}  // namespace quill
