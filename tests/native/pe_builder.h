#pragma once
// Writes small i386 PE DLL images for loader tests: chosen sections (code or
// data bytes at chosen RVAs), base relocation blocks, imports (descriptors
// with OriginalFirstThunk 0 unless asked), exports with their name strings
// one after another in name-table order, and an entry point.
// Generated tables get their own sections behind the chosen ones.

#include <cstdint>
#include <string>
#include <vector>

namespace quill::native::testing {

struct PeSection {
  std::uint32_t virtual_address = 0;
  std::vector<std::uint8_t> data;
  std::uint32_t virtual_size = 0;  // 0: the data's size
};

struct PeImport {
  std::string library;
  // A name, or "#" followed by decimal digits for an import by ordinal.
  std::vector<std::string> functions;
};

struct PeExport {
  std::string name;  // empty: reachable by ordinal only
  std::uint32_t rva = 0;
};

struct PeRelocationBlock {
  std::uint32_t page = 0;
  std::vector<std::uint16_t> entries;  // type << 12 | offset
};

struct PeImage {
  std::vector<std::uint8_t> bytes;
  std::uint32_t nt_offset = 0;
  // import_slots[i][j]: RVA of the address-table slot of function j of import i.
  std::vector<std::vector<std::uint32_t>> import_slots;
  std::uint32_t import_rva = 0;
  std::uint32_t export_rva = 0;
  std::uint32_t relocation_rva = 0;
  std::uint32_t trailing_rva = 0;

  // File offset of an RVA inside a section's raw data; 0 when there is none.
  std::uint32_t file_offset(std::uint32_t rva) const;
  void put_u16(std::uint32_t offset, std::uint16_t value);
  void put_u32(std::uint32_t offset, std::uint32_t value);
  std::uint32_t get_u32(std::uint32_t offset) const;

  struct SectionPlace {
    std::uint32_t rva, size, file_offset;
  };
  std::vector<SectionPlace> places;
};

struct PeBuilder {
  std::uint32_t image_base = 0x10000000;
  std::uint16_t characteristics = 0x2102;  // executable, 32-bit, DLL
  std::uint32_t entry_point = 0;
  std::uint32_t section_alignment = 0x1000;
  std::uint32_t file_alignment = 0x200;
  std::uint32_t size_of_image = 0;  // 0: computed
  std::vector<PeSection> sections;
  std::vector<PeImport> imports;
  bool fill_original_first_thunk = false;
  std::vector<PeExport> exports;
  std::uint32_t export_ordinal_base = 1;
  std::vector<PeRelocationBlock> relocations;
  // Raw bytes of a last section behind the generated ones, ending exactly at
  // the end of the image (for texts that run to the image's last byte).
  std::vector<std::uint8_t> trailing;

  PeImage build() const;
};

// Little-endian words for code and data sections.
void append_u32(std::vector<std::uint8_t>& bytes, std::uint32_t value);

}  // namespace quill::native::testing
