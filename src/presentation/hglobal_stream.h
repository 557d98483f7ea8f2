#pragma once
// HGlobalStream: one global memory block and one IStream over it.
//
// Made from bytes, the block holds a copy of them and this object frees it;
// made empty, the stream grows its block as it is written and frees it on its
// final release. Each block is freed exactly once. One thread at a time.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/global_memory.h"

namespace quill::presentation {

class HGlobalStream final {
 public:
  HGlobalStream() = default;
  ~HGlobalStream() { dispose(); }
  HGlobalStream(const HGlobalStream&) = delete;
  HGlobalStream& operator=(const HGlobalStream&) = delete;

  // Releases the stream, then frees the block unless the stream owned it.
  void dispose();
  // Disposes what is held, then makes a block (a copy of `bytes` when
  // from_bytes, else an empty growable one) and a stream over it. The new
  // stream, or nullptr when memory is short (nothing is held then).
  win::IStream* create(std::string_view bytes, bool from_bytes);
  win::IStream* stream() const { return stream_; }
  // GlobalSize of the block; 0 without one.
  std::size_t size() const;
  // A copy of the block's content (`size` bytes).
  std::string bytes() const;

 private:
  win::HGLOBAL block_ = nullptr;
  win::IStream* stream_ = nullptr;
  bool stream_frees_block_ = false;
};

}  // namespace quill::presentation
