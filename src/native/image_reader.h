#pragma once
// Bounds-checked little-endian reads over an image held in host memory (the
// file buffer, or a copy of a mapped image). Every relative address and size
// the loader follows goes through this reader. A read outside the bytes
// returns 0 (or an empty text) and marks the reader failed; the flag stays
// set until the reader is dropped.

#include <cstdint>
#include <span>
#include <string_view>

namespace quill::native {

class ImageReader final {
 public:
  explicit ImageReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::uint64_t size() const { return bytes_.size(); }
  // True when [offset, offset + length) lies inside the bytes.
  bool contains(std::uint64_t offset, std::uint64_t length) const {
    return offset <= bytes_.size() && length <= bytes_.size() - offset;
  }
  // Like contains, but a miss marks the reader failed.
  bool require(std::uint64_t offset, std::uint64_t length);

  std::uint16_t u16(std::uint64_t offset);
  std::uint32_t u32(std::uint64_t offset);
  // The zero-terminated text at offset, without its terminator; a text whose
  // terminator is missing inside the bytes fails.
  std::string_view text(std::uint64_t offset);

  bool failed() const { return failed_; }

 private:
  std::span<const std::uint8_t> bytes_;
  bool failed_ = false;
};

}  // namespace quill::native
