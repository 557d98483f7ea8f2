#include "platform/global_memory.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <vector>

namespace quill::win {

struct GlobalBlock {
  std::vector<std::uint8_t> bytes;
  UINT flags = 0;
  int locks = 0;
};

namespace {

std::atomic<int> live_blocks{0};

class HGlobalStreamImpl final : public IStream {
 public:
  HGlobalStreamImpl(HGLOBAL block, bool delete_on_release)
      : block_(block), delete_on_release_(delete_on_release), size_(block->bytes.size()) {}

  DWORD AddRef() override { return ++references_; }

  DWORD Release() override {
    const DWORD left = --references_;
    if (left == 0) {
      if (delete_on_release_) GlobalFree(block_);
      delete this;
    }
    return left;
  }

  HRESULT Read(void* buffer, DWORD size, DWORD* read) override {
    if (buffer == nullptr && size > 0) return E_POINTER;
    const std::uint64_t available = position_ < size_ ? size_ - position_ : 0;
    const DWORD count = static_cast<DWORD>(std::min<std::uint64_t>(available, size));
    if (count > 0) std::memcpy(buffer, block_->bytes.data() + position_, count);
    position_ += count;
    if (read != nullptr) *read = count;
    return S_OK;
  }

  HRESULT Write(const void* buffer, DWORD size, DWORD* written) override {
    if (buffer == nullptr && size > 0) return E_POINTER;
    const std::uint64_t end = position_ + size;
    if (end > block_->bytes.size()) {
      if (GlobalReAlloc(block_, static_cast<SIZE_T>(end), GMEM_MOVEABLE) == nullptr) return E_OUTOFMEMORY;
    }
    if (size > 0) std::memcpy(block_->bytes.data() + position_, buffer, size);
    position_ = end;
    size_ = std::max(size_, end);
    if (written != nullptr) *written = size;
    return S_OK;
  }

  HRESULT Seek(std::int64_t move, DWORD origin, std::uint64_t* new_position) override {
    std::int64_t base = 0;
    switch (origin) {
      case STREAM_SEEK_SET:
        base = 0;
        break;
      case STREAM_SEEK_CUR:
        base = static_cast<std::int64_t>(position_);
        break;
      case STREAM_SEEK_END:
        base = static_cast<std::int64_t>(size_);
        break;
      default:
        return STG_E_INVALIDFUNCTION;
    }
    if (base + move < 0) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<std::uint64_t>(base + move);
    if (new_position != nullptr) *new_position = position_;
    return S_OK;
  }

  HRESULT SetSize(std::uint64_t size) override {
    if (size > block_->bytes.size() && GlobalReAlloc(block_, static_cast<SIZE_T>(size), GMEM_MOVEABLE) == nullptr)
      return E_OUTOFMEMORY;
    size_ = size;
    return S_OK;
  }

  std::uint64_t size() const override { return size_; }
  HGLOBAL block() const { return block_; }

 private:
  HGLOBAL block_;
  bool delete_on_release_;
  std::uint64_t size_;
  std::uint64_t position_ = 0;
  DWORD references_ = 1;
};

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  auto* block = new (std::nothrow) GlobalBlock;
  if (block == nullptr) return nullptr;
  try {
    block->bytes.assign(bytes, 0);
  } catch (const std::bad_alloc&) {
    delete block;
    return nullptr;
  }
  block->flags = flags;
  ++live_blocks;
  return block;
}

HGLOBAL GlobalReAlloc(HGLOBAL block, SIZE_T bytes, UINT flags) {
  (void)flags;
  if (block == nullptr || block->locks > 0) return nullptr;
  try {
    block->bytes.resize(bytes, 0);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return block;
}

void* GlobalLock(HGLOBAL block) {
  if (block == nullptr || block->bytes.empty()) return nullptr;
  ++block->locks;
  return block->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL block) {
  if (block == nullptr || block->locks == 0) return 0;
  --block->locks;
  return block->locks > 0 ? 1 : 0;
}

SIZE_T GlobalSize(HGLOBAL block) { return block == nullptr ? 0 : block->bytes.size(); }

HGLOBAL GlobalFree(HGLOBAL block) {
  if (block == nullptr) return nullptr;
  delete block;
  --live_blocks;
  return nullptr;
}

int live_global_blocks() { return live_blocks.load(); }

HRESULT CreateStreamOnHGlobal(HGLOBAL block, BOOL delete_on_release, IStream** stream) {
  if (stream == nullptr) return E_INVALIDARG;
  *stream = nullptr;
  if (block == nullptr) {
    block = GlobalAlloc(GMEM_MOVEABLE, 0);
    if (block == nullptr) return E_OUTOFMEMORY;
  }
  auto* made = new (std::nothrow) HGlobalStreamImpl(block, delete_on_release != 0);
  if (made == nullptr) return E_OUTOFMEMORY;
  *stream = made;
  return S_OK;
}

HRESULT GetHGlobalFromStream(IStream* stream, HGLOBAL* block) {
  auto* impl = dynamic_cast<HGlobalStreamImpl*>(stream);
  if (impl == nullptr || block == nullptr) return E_INVALIDARG;
  *block = impl->block();
  return S_OK;
}

}  // namespace quill::win
