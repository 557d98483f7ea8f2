#include "downloads/download_file.h"

#include <atomic>
#include <memory>

#include "downloads/archive_file.h"
#include "downloads/transfer_engine.h"

namespace quill::downloads {
namespace {

std::atomic<std::int32_t> calls{0};
std::atomic<long> time_out{10000};

}  // namespace

void set_transfer_time_out_ms(long time_out_ms) { time_out.store(time_out_ms); }

std::int64_t unsettled_transfers() { return TransferEngine::instance().unsettled(); }

}  // namespace quill::downloads

namespace quill {

void download_file(const std::string& url, const std::string& folder, const std::string& file_name,
                   ProgressRoutine progress) {
  using namespace downloads;
  auto transfer = std::make_shared<Transfer>();
  transfer->number = calls.fetch_add(1) + 1;
  transfer->setup = std::chrono::steady_clock::now();
  // A name that is no plain file name keeps its number and writes nothing.
  if (!ArchiveFile::usable_name(file_name)) return;
  transfer->url = url;
  transfer->folder = folder;
  transfer->file_name = file_name;
  transfer->progress = std::move(progress);
  transfer->time_out_ms = time_out.load();
  TransferEngine::instance().start(std::move(transfer));
}

}  // namespace quill
