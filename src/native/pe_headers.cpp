#include "native/pe_headers.h"

namespace quill::native {

std::optional<PeHeaders> read_pe_headers(ImageReader& reader) {
  if (reader.size() < dos_header_size || reader.u16(0) != dos_magic) return std::nullopt;
  PeHeaders headers;
  headers.nt_offset = reader.u32(60);
  if (!reader.contains(headers.nt_offset, nt_headers_size) || reader.u32(headers.nt_offset) != nt_signature) {
    return std::nullopt;
  }
  const std::uint64_t file_header = headers.nt_offset + 4;
  const std::uint64_t optional_header = file_header + 20;
  headers.number_of_sections = reader.u16(file_header + 2);
  headers.characteristics = reader.u16(file_header + 18);
  headers.entry_point = reader.u32(optional_header + 16);
  headers.image_base = reader.u32(optional_header + 28);
  headers.section_alignment = reader.u32(optional_header + 32);
  headers.size_of_image = reader.u32(optional_header + 56);
  for (std::size_t i = 0; i < headers.directories.size(); ++i) {
    headers.directories[i] = {reader.u32(optional_header + 96 + 8 * i), reader.u32(optional_header + 100 + 8 * i)};
  }
  if (reader.failed()) return std::nullopt;
  return headers;
}

}  // namespace quill::native
