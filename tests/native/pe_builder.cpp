#include "native/pe_builder.h"

#include <algorithm>

namespace quill::native::testing {
namespace {

std::uint32_t align_up(std::uint32_t value, std::uint32_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

void put16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
  bytes[offset] = static_cast<std::uint8_t>(value);
  bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void append_text(std::vector<std::uint8_t>& bytes, const std::string& text) {
  bytes.insert(bytes.end(), text.begin(), text.end());
  bytes.push_back(0);
}

// The import section at `rva`: descriptors, then per library its address
// table (and lookup table when asked), name, and hint/name entries.
std::vector<std::uint8_t> import_section(const PeBuilder& builder, std::uint32_t rva, PeImage& image) {
  std::vector<std::uint8_t> bytes((builder.imports.size() + 1) * 20, 0);
  for (std::size_t i = 0; i < builder.imports.size(); ++i) {
    const PeImport& import = builder.imports[i];
    const auto table_size = static_cast<std::uint32_t>((import.functions.size() + 1) * 4);
    const auto iat = static_cast<std::uint32_t>(bytes.size());
    bytes.resize(bytes.size() + table_size * (builder.fill_original_first_thunk ? 2 : 1), 0);
    const std::uint32_t lookup = builder.fill_original_first_thunk ? iat + table_size : 0;
    const auto name = static_cast<std::uint32_t>(bytes.size());
    append_text(bytes, import.library);
    std::vector<std::uint32_t> slots;
    for (std::size_t j = 0; j < import.functions.size(); ++j) {
      const std::string& function = import.functions[j];
      std::uint32_t thunk = 0;
      if (function.starts_with("#")) {
        thunk = 0x80000000u | static_cast<std::uint32_t>(std::stoul(function.substr(1)));
      } else {
        if (bytes.size() % 2 != 0) bytes.push_back(0);
        thunk = rva + static_cast<std::uint32_t>(bytes.size());
        bytes.push_back(static_cast<std::uint8_t>(j));  // hint
        bytes.push_back(0);
        append_text(bytes, function);
      }
      put32(bytes, iat + 4 * j, thunk);
      if (lookup != 0) put32(bytes, lookup + 4 * j, thunk);
      slots.push_back(rva + iat + static_cast<std::uint32_t>(4 * j));
    }
    image.import_slots.push_back(slots);
    put32(bytes, 20 * i + 0, lookup == 0 ? 0 : rva + lookup);
    put32(bytes, 20 * i + 12, rva + name);
    put32(bytes, 20 * i + 16, rva + iat);
  }
  return bytes;
}

std::vector<std::uint8_t> export_section(const PeBuilder& builder, std::uint32_t rva) {
  const auto count = static_cast<std::uint32_t>(builder.exports.size());
  std::vector<std::uint32_t> named;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!builder.exports[i].name.empty()) named.push_back(i);
  }
  const std::uint32_t functions = 40;
  const std::uint32_t names = functions + 4 * count;
  const auto ordinals = static_cast<std::uint32_t>(names + 4 * named.size());
  std::vector<std::uint8_t> bytes(ordinals + 2 * named.size(), 0);
  const auto dll_name = static_cast<std::uint32_t>(bytes.size());
  append_text(bytes, "built.dll");
  put32(bytes, 12, rva + dll_name);
  put32(bytes, 16, builder.export_ordinal_base);
  put32(bytes, 20, count);
  put32(bytes, 24, static_cast<std::uint32_t>(named.size()));
  put32(bytes, 28, rva + functions);
  put32(bytes, 32, rva + names);
  put32(bytes, 36, rva + ordinals);
  for (std::uint32_t i = 0; i < count; ++i) put32(bytes, functions + 4 * i, builder.exports[i].rva);
  for (std::size_t k = 0; k < named.size(); ++k) {
    put32(bytes, names + 4 * k, rva + static_cast<std::uint32_t>(bytes.size()));
    put16(bytes, ordinals + 2 * k, static_cast<std::uint16_t>(named[k]));
    append_text(bytes, builder.exports[named[k]].name);
  }
  return bytes;
}

std::vector<std::uint8_t> relocation_section(const PeBuilder& builder) {
  std::vector<std::uint8_t> bytes;
  for (const PeRelocationBlock& block : builder.relocations) {
    append_u32(bytes, block.page);
    append_u32(bytes, static_cast<std::uint32_t>(8 + 2 * block.entries.size()));
    for (std::uint16_t entry : block.entries) {
      bytes.push_back(static_cast<std::uint8_t>(entry));
      bytes.push_back(static_cast<std::uint8_t>(entry >> 8));
    }
  }
  return bytes;
}

}  // namespace

void append_u32(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t PeImage::file_offset(std::uint32_t rva) const {
  for (const SectionPlace& place : places) {
    if (rva >= place.rva && rva < place.rva + place.size) return place.file_offset + (rva - place.rva);
  }
  return 0;
}

void PeImage::put_u16(std::uint32_t offset, std::uint16_t value) { put16(bytes, offset, value); }
void PeImage::put_u32(std::uint32_t offset, std::uint32_t value) { put32(bytes, offset, value); }
std::uint32_t PeImage::get_u32(std::uint32_t offset) const {
  return static_cast<std::uint32_t>(bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
                                    static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

PeImage PeBuilder::build() const {
  PeImage image;
  std::vector<PeSection> all = sections;
  std::uint32_t next = section_alignment;
  for (const PeSection& section : all) {
    const std::uint32_t size = std::max<std::uint32_t>(section.virtual_size, section.data.size());
    next = std::max(next, align_up(section.virtual_address + std::max<std::uint32_t>(size, 1), section_alignment));
  }
  const auto add_generated = [&](std::vector<std::uint8_t> data) {
    const std::uint32_t rva = next;
    next = align_up(rva + std::max<std::uint32_t>(data.size(), 1), section_alignment);
    all.push_back({rva, std::move(data), 0});
    return rva;
  };
  if (!imports.empty()) image.import_rva = add_generated(import_section(*this, next, image));
  if (!exports.empty()) image.export_rva = add_generated(export_section(*this, next));
  if (!relocations.empty()) image.relocation_rva = add_generated(relocation_section(*this));
  if (!trailing.empty()) image.trailing_rva = add_generated(trailing);

  image.nt_offset = 64;
  const auto headers_end = static_cast<std::uint32_t>(image.nt_offset + 248 + 40 * all.size());
  std::uint32_t file_cursor = align_up(headers_end, file_alignment);
  std::vector<std::uint8_t>& bytes = image.bytes;
  bytes.assign(file_cursor, 0);

  put16(bytes, 0, 0x5A4D);
  put32(bytes, 60, image.nt_offset);
  const std::uint32_t nt = image.nt_offset;
  put32(bytes, nt, 0x4550);
  put16(bytes, nt + 4, 0x014C);
  put16(bytes, nt + 6, static_cast<std::uint16_t>(all.size()));
  put16(bytes, nt + 20, 224);
  put16(bytes, nt + 22, characteristics);
  const std::uint32_t opt = nt + 24;
  put16(bytes, opt, 0x010B);
  put32(bytes, opt + 16, entry_point);
  put32(bytes, opt + 28, image_base);
  put32(bytes, opt + 32, section_alignment);
  put32(bytes, opt + 36, file_alignment);
  put16(bytes, opt + 40, 4);
  put16(bytes, opt + 48, 4);
  put32(bytes, opt + 56, size_of_image != 0 ? size_of_image : next);
  put32(bytes, opt + 60, file_cursor);
  put16(bytes, opt + 68, 2);
  put32(bytes, opt + 92, 16);
  if (image.export_rva != 0) {
    put32(bytes, opt + 96, image.export_rva);
    put32(bytes, opt + 100, static_cast<std::uint32_t>(export_section(*this, image.export_rva).size()));
  }
  if (image.import_rva != 0) {
    put32(bytes, opt + 104, image.import_rva);
    put32(bytes, opt + 108, static_cast<std::uint32_t>((imports.size() + 1) * 20));
  }
  if (image.relocation_rva != 0) {
    put32(bytes, opt + 136, image.relocation_rva);
    put32(bytes, opt + 140, static_cast<std::uint32_t>(relocation_section(*this).size()));
  }

  for (std::size_t i = 0; i < all.size(); ++i) {
    const PeSection& section = all[i];
    const std::uint32_t header = nt + 248 + 40 * static_cast<std::uint32_t>(i);
    const std::string name = ".s" + std::to_string(i);
    std::copy(name.begin(), name.end(), bytes.begin() + header);
    const auto raw_size = static_cast<std::uint32_t>(section.data.size());
    put32(bytes, header + 8, std::max(section.virtual_size, raw_size));
    put32(bytes, header + 12, section.virtual_address);
    put32(bytes, header + 16, align_up(raw_size, file_alignment));
    put32(bytes, header + 20, raw_size == 0 ? 0 : file_cursor);
    put32(bytes, header + 36, 0xE0000060);  // code, data, read, write, execute
    if (raw_size == 0) continue;
    image.places.push_back({section.virtual_address, raw_size, file_cursor});
    bytes.resize(file_cursor + align_up(raw_size, file_alignment), 0);
    std::copy(section.data.begin(), section.data.end(), bytes.begin() + file_cursor);
    file_cursor = static_cast<std::uint32_t>(bytes.size());
  }
  return image;
}

}  // namespace quill::native::testing
