#include "downloads/transfer_engine.h"

#include <algorithm>
#include <system_error>
#include <thread>

namespace quill::downloads {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kReportInterval = std::chrono::milliseconds(10);
// A pass of the clock that overran its interval (each report repaints a row,
// which goes through the UI thread) pauses at least as long as it took before
// the next, so that reports never take more than half of the time.
constexpr long kReceiveBuffer = 16 * 1024;

std::int64_t elapsed_since(Clock::time_point setup) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - setup).count();
}

// Transfer thread: the first piece of the body decides whether there is a
// file at all.
bool open_file(Transfer& t) {
  long status = 0;
  curl_off_t length = -1;
  curl_easy_getinfo(t.easy.get(), CURLINFO_RESPONSE_CODE, &status);
  curl_easy_getinfo(t.easy.get(), CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  // An error page saved as the archive would read as a finished book.
  if (status < 200 || status > 299 || length <= 0) return false;
  if (!ArchiveFile::folder_exists(t.folder) || !t.file.create(t.folder, t.file_name)) return false;
  t.total.store(length, std::memory_order_relaxed);
  return true;
}

size_t on_body(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  std::size_t bytes = size * count;
  if (!t.file.is_open() && !open_file(t)) return 0;  // ends the transfer
  // libcurl hands over no more than Content-Length of a plain body; the cap
  // keeps the file and the count within the announced length regardless.
  std::int64_t room = t.total.load(std::memory_order_relaxed) - t.received.load(std::memory_order_relaxed);
  auto keep = static_cast<std::size_t>(std::clamp<std::int64_t>(room, 0, static_cast<std::int64_t>(bytes)));
  if (keep > 0 && !t.file.write(data, keep)) return 0;
  t.received.fetch_add(static_cast<std::int64_t>(keep), std::memory_order_relaxed);
  return bytes;
}

bool set_up(Transfer& t) {
  t.easy.reset(curl_easy_init());
  CURL* e = t.easy.get();
  if (!e) return false;
  long stall_seconds = std::max(1L, (t.time_out_ms + 999) / 1000);
  bool ok = curl_easy_setopt(e, CURLOPT_URL, t.url.c_str()) == CURLE_OK;
  curl_easy_setopt(e, CURLOPT_PRIVATE, &t);
  curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, t.time_out_ms);
  // A receive that brings nothing for the time-out ends the transfer.
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, stall_seconds);
  curl_easy_setopt(e, CURLOPT_BUFFERSIZE, kReceiveBuffer);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, on_body);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &t);
  return ok;
}

}  // namespace

TransferEngine& TransferEngine::instance() {
  // Never destroyed: detached threads use it until the process ends.
  static TransferEngine* engine = new TransferEngine();
  return *engine;
}

TransferEngine::TransferEngine() {
  curl_global_init(CURL_GLOBAL_DEFAULT);
  multi_.reset(curl_multi_init());
  try {
    std::thread([this] { run_transfers(); }).detach();
    std::thread([this] { run_clock(); }).detach();
  } catch (const std::system_error&) {
    multi_.reset();  // no threads: every transfer fails silently
  }
}

void TransferEngine::start(std::shared_ptr<Transfer> transfer) {
  if (!multi_) return;
  unsettled_.fetch_add(1);
  {
    std::lock_guard lock(clock_mutex_);
    watched_.push_back(transfer);
  }
  clock_wake_.notify_one();
  {
    std::lock_guard lock(pending_mutex_);
    pending_.push_back(std::move(transfer));
  }
  curl_multi_wakeup(multi_.get());
}

void TransferEngine::add_pending() {
  std::vector<std::shared_ptr<Transfer>> batch;
  {
    std::lock_guard lock(pending_mutex_);
    batch.swap(pending_);
  }
  for (auto& t : batch) {
    if (!set_up(*t) || curl_multi_add_handle(multi_.get(), t->easy.get()) != CURLM_OK) {
      t->easy.reset();
      t->state.store(Transfer::State::failed);
    }
  }
}

void TransferEngine::finish(CURL* easy, CURLcode result) {
  // The clock thread keeps the transfer alive until its state leaves running.
  Transfer* t = nullptr;
  curl_easy_getinfo(easy, CURLINFO_PRIVATE, &t);
  curl_multi_remove_handle(multi_.get(), easy);
  bool complete = result == CURLE_OK && t->file.is_open() &&
                  t->received.load(std::memory_order_relaxed) == t->total.load(std::memory_order_relaxed);
  t->easy.reset();
  t->file.close();
  t->state.store(complete ? Transfer::State::finished : Transfer::State::failed);
}

void TransferEngine::run_transfers() {
  for (;;) {
    add_pending();
    int running = 0;
    curl_multi_perform(multi_.get(), &running);
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_.get(), &left)) {
      if (message->msg == CURLMSG_DONE) finish(message->easy_handle, message->data.result);
    }
    curl_multi_poll(multi_.get(), nullptr, 0, 1000, nullptr);
  }
}

bool TransferEngine::look_at(Transfer& t) {
  switch (t.state.load()) {
    case Transfer::State::failed:
      return false;
    case Transfer::State::finished:
      if (t.progress) t.progress(t.number, t.total.load(), 100, t.last_elapsed + 50);
      return false;
    case Transfer::State::running:
      break;
  }
  std::int64_t received = t.received.load(std::memory_order_relaxed);
  if (received > 0 && received > t.last_seen) {
    std::int64_t total = t.total.load(std::memory_order_relaxed);
    if (t.progress)
      t.progress(t.number, total, static_cast<std::int32_t>(received * 100 / total), elapsed_since(t.setup));
    t.last_seen = received;
    t.last_elapsed = elapsed_since(t.setup);
  }
  return true;
}

void TransferEngine::run_clock() {
  std::vector<std::shared_ptr<Transfer>> looking;
  for (;;) {
    {
      std::unique_lock lock(clock_mutex_);
      clock_wake_.wait(lock, [&] { return !watched_.empty() || !looking.empty(); });
      looking.insert(looking.end(), watched_.begin(), watched_.end());
      watched_.clear();
    }
    auto pass = Clock::now();
    auto settled = std::erase_if(looking, [](const std::shared_ptr<Transfer>& t) { return !look_at(*t); });
    unsettled_.fetch_sub(static_cast<std::int64_t>(settled));
    auto now = Clock::now();
    std::this_thread::sleep_until(std::max(pass + kReportInterval, now + (now - pass)));
  }
}

}  // namespace quill::downloads
