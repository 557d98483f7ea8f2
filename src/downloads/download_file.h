#pragma once
// The file download operation: fetches one URL over HTTP into a folder and
// reports its progress through a routine.
//
// download_file returns at once. Each call gets download_number = 1 + the
// number of earlier calls in the process, in call order. The transfer runs on
// the operation's own transfer thread (one libcurl multi handle carries every
// transfer) and the reports come from its reporting clock thread, never from
// the caller's thread. Nothing is reported to the caller:
//  - the file (folder joined with file_name, UTF-8 path) is created, replacing
//    an existing file, only when the response status is 2xx, the folder exists
//    and Content-Length is above 0; the body is written in pieces of at most
//    5120 bytes. Bytes beyond Content-Length are never written.
//  - while the received count grows, every 10 ms the routine gets
//    (number, Content-Length, received * 100 / Content-Length, elapsed ms
//    since set-up); after the last read one final call with 100 % and the
//    elapsed value read just after the previous report plus 50.
//  - a failed request, a status other than 2xx, a missing or zero length, a
//    missing folder or a file name that is not one plain path component
//    (empty, ".", "..", holding '/') write nothing and report nothing; a
//    transfer that ends before its last read gets no final call. An empty
//    routine gets nothing; the file is written all the same.

#include <cstdint>
#include <functional>
#include <string>

namespace quill {

using ProgressRoutine = std::function<void(std::int32_t download_number, std::int64_t total_bytes, std::int32_t percent,
                                           std::int64_t elapsed_ms)>;

void download_file(const std::string& url, const std::string& folder, const std::string& file_name,
                   ProgressRoutine progress);

}  // namespace quill

namespace quill::downloads {

// Time-out for name resolution and connection, and for a receive stall
// (a stall is measured in whole seconds, at least one). 10 000 ms unless
// changed; applies to transfers started afterwards. Tests shorten it.
void set_transfer_time_out_ms(long time_out_ms);

// Transfers started and not yet settled: still running, or ended and not yet
// given their final report. Tests wait for 0 before they look at the results.
std::int64_t unsettled_transfers();

// Largest piece that a transfer writes to its file at once.
inline constexpr std::size_t kMaxWritePiece = 5120;

}  // namespace quill::downloads
