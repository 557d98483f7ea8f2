#pragma once
// The fields of a 32-bit PE image's headers that the loader uses, read
// through an ImageReader. Offsets are those of the PE/COFF format: the NT
// headers at e_lfanew, a 224-byte optional header, the section table behind.

#include <array>
#include <cstdint>
#include <optional>

#include "native/image_reader.h"

namespace quill::native {

inline constexpr std::uint16_t dos_magic = 0x5A4D;     // "MZ"
inline constexpr std::uint32_t nt_signature = 0x4550;  // "PE\0\0"
inline constexpr std::uint64_t dos_header_size = 64;
inline constexpr std::uint64_t nt_headers_size = 248;
inline constexpr std::uint64_t section_header_size = 40;
inline constexpr std::uint16_t file_executable_image = 0x0002;
inline constexpr std::uint16_t file_dll = 0x2000;
inline constexpr std::size_t export_directory = 0;
inline constexpr std::size_t import_directory = 1;
inline constexpr std::size_t relocation_directory = 5;

struct DataDirectory {
  std::uint32_t virtual_address = 0;
  std::uint32_t size = 0;
};

struct PeHeaders {
  std::uint64_t nt_offset = 0;  // e_lfanew
  std::uint16_t number_of_sections = 0;
  std::uint16_t characteristics = 0;
  std::uint32_t entry_point = 0;  // AddressOfEntryPoint
  std::uint32_t image_base = 0;
  std::uint32_t section_alignment = 0;
  std::uint32_t size_of_image = 0;
  std::array<DataDirectory, 16> directories{};

  std::uint64_t section_table() const { return nt_offset + nt_headers_size; }
  // End of DOS header, NT headers and section table: the bytes copied into
  // the mapped image.
  std::uint64_t headers_end() const { return section_table() + section_header_size * number_of_sections; }
  bool is_dll() const { return (characteristics & file_dll) != 0; }
};

// Checks "MZ", that the NT headers fit, and "PE"; reads the fields. nullopt
// for anything else. The section table is not checked here.
std::optional<PeHeaders> read_pe_headers(ImageReader& reader);

}  // namespace quill::native
