#include "presentation/hglobal_stream.h"

#include <cstring>

namespace quill::presentation {

void HGlobalStream::dispose() {
  if (stream_ != nullptr) stream_->Release();
  if (block_ != nullptr && !stream_frees_block_) win::GlobalFree(block_);
  stream_ = nullptr;
  block_ = nullptr;
  stream_frees_block_ = false;
}

win::IStream* HGlobalStream::create(std::string_view bytes, bool from_bytes) {
  dispose();
  win::HGLOBAL block = nullptr;
  if (from_bytes) {
    block = win::GlobalAlloc(win::GMEM_FIXED, bytes.size());
    if (block == nullptr) return nullptr;
    if (void* target = win::GlobalLock(block)) {
      std::memcpy(target, bytes.data(), bytes.size());
      win::GlobalUnlock(block);
    }
  } else {
    block = win::GlobalAlloc(win::GMEM_MOVEABLE, 0);
    if (block == nullptr) return nullptr;
  }
  win::IStream* stream = nullptr;
  if (win::CreateStreamOnHGlobal(block, from_bytes ? 0 : 1, &stream) != win::S_OK) {
    win::GlobalFree(block);
    return nullptr;
  }
  block_ = block;
  stream_ = stream;
  stream_frees_block_ = !from_bytes;
  return stream_;
}

std::size_t HGlobalStream::size() const { return win::GlobalSize(block_); }

std::string HGlobalStream::bytes() const {
  std::string out;
  const std::size_t count = size();
  if (count == 0) return out;
  if (const void* source = win::GlobalLock(block_)) {
    out.assign(static_cast<const char*>(source), count);
    win::GlobalUnlock(block_);
  }
  return out;
}

}  // namespace quill::presentation
