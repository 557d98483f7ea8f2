#include "native/image_reader.h"

#include <cstring>

namespace quill::native {

bool ImageReader::require(std::uint64_t offset, std::uint64_t length) {
  if (contains(offset, length)) return true;
  failed_ = true;
  return false;
}

std::uint16_t ImageReader::u16(std::uint64_t offset) {
  if (!require(offset, 2)) return 0;
  return static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
}

std::uint32_t ImageReader::u32(std::uint64_t offset) {
  if (!require(offset, 4)) return 0;
  return static_cast<std::uint32_t>(bytes_[offset]) | static_cast<std::uint32_t>(bytes_[offset + 1]) << 8 |
         static_cast<std::uint32_t>(bytes_[offset + 2]) << 16 | static_cast<std::uint32_t>(bytes_[offset + 3]) << 24;
}

std::string_view ImageReader::text(std::uint64_t offset) {
  if (!require(offset, 1)) return {};
  const auto* start = bytes_.data() + offset;
  const auto* end = static_cast<const std::uint8_t*>(std::memchr(start, 0, bytes_.size() - offset));
  if (end == nullptr) {
    failed_ = true;
    return {};
  }
  return {reinterpret_cast<const char*>(start), static_cast<std::size_t>(end - start)};
}

}  // namespace quill::native
