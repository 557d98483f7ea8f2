#include "native/module_image.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
#include <string>

#include "native/native_call.h"

namespace quill::native {
namespace {

using platform::EmulatedMachine;

constexpr std::uint32_t dll_process_detach = 0;
constexpr std::uint32_t dll_process_attach = 1;
constexpr std::uint16_t rel_based_highlow = 3;
constexpr std::uint32_t ordinal_flag = 0x80000000;

EmulatedMachine& machine() { return EmulatedMachine::instance(); }

std::uint64_t align_up(std::uint64_t value, std::uint64_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

void put_u32(std::vector<std::uint8_t>& bytes, std::uint64_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// SizeOfImage, grown to cover every section; 0 when the sections cannot be
// laid out (no alignment).
std::uint64_t image_size(ImageReader& file, const PeHeaders& headers) {
  std::uint64_t size = headers.size_of_image;
  for (std::uint16_t i = 0; i < headers.number_of_sections; ++i) {
    const std::uint64_t section = headers.section_table() + section_header_size * i;
    const std::uint64_t virtual_size = file.u32(section + 8);
    const std::uint64_t virtual_address = file.u32(section + 12);
    const std::uint64_t raw_size = file.u32(section + 16);
    if (headers.section_alignment == 0) return 0;
    size = std::max(size, align_up(virtual_address + std::max(virtual_size, raw_size), headers.section_alignment));
  }
  return size;
}

// Copies every section's raw data to its place; false when the data lies
// outside the buffer.
bool copy_sections(ImageReader& file, std::span<const std::uint8_t> buffer, ImageLayout& image) {
  for (std::uint16_t i = 0; i < image.headers.number_of_sections; ++i) {
    const std::uint64_t section = image.headers.section_table() + section_header_size * i;
    const std::uint64_t virtual_address = file.u32(section + 12);
    const std::uint64_t raw_size = file.u32(section + 16);
    const std::uint64_t raw_offset = file.u32(section + 20);
    if (raw_size == 0 || virtual_address == 0) continue;
    if (!file.contains(raw_offset, raw_size) || virtual_address + raw_size > image.bytes.size()) return false;
    std::memcpy(image.bytes.data() + virtual_address, buffer.data() + raw_offset, raw_size);
  }
  return true;
}

// The module handle passed to the entry routine is 0, not the base.
bool call_entry(const ImageLayout& image, std::uint32_t reason) {
  return call_native(image.base + image.headers.entry_point, 0u, reason, 0u) != 0;
}

// Fresh machine memory is zero, so only pages holding something are written.
bool write_image(const ImageLayout& image) {
  constexpr std::size_t page = 0x1000;
  for (std::size_t offset = 0; offset < image.bytes.size(); offset += page) {
    const auto chunk = std::span(image.bytes).subspan(offset, std::min(page, image.bytes.size() - offset));
    if (std::all_of(chunk.begin(), chunk.end(), [](std::uint8_t byte) { return byte == 0; })) continue;
    if (!machine().write(image.base + static_cast<std::uint32_t>(offset), chunk)) return false;
  }
  return true;
}

void release(MachineAddress base) { machine().VirtualFree(base, 0, platform::MEM_RELEASE); }

// Resolver first, then GetProcAddress. `name_address` is the function name
// (or ordinal digits) inside the machine for the resolver.
MachineAddress resolve_one(std::uint32_t library, MachineAddress library_name, std::uint32_t thunk,
                           const ImageLayout& image, ImageReader& reader, MachineAddress resolver,
                           std::uint32_t resolver_data) {
  const bool by_ordinal = (thunk & ordinal_flag) != 0;
  const auto ordinal = static_cast<std::uint16_t>(thunk & 0xFFFF);
  std::string_view name;
  if (!by_ordinal) {
    name = reader.text(static_cast<std::uint64_t>(thunk) + 2);
    if (reader.failed()) return 0;
  }
  MachineAddress address = 0;
  if (resolver != 0) {
    if (by_ordinal) {
      // The digits live in a scratch block for the length of the call.
      const std::string digits = std::to_string(ordinal);
      const MachineAddress scratch =
          machine().VirtualAlloc(0, 16, platform::MEM_COMMIT | platform::MEM_RESERVE, platform::PAGE_EXECUTE_READWRITE);
      if (scratch != 0 && machine().write(scratch, std::span(reinterpret_cast<const std::uint8_t*>(digits.c_str()),
                                                             digits.size() + 1))) {
        address = call_native(resolver, library_name, scratch, resolver_data);
      }
      if (scratch != 0) release(scratch);
    } else {
      address = call_native(resolver, library_name, image.base + thunk + 2, resolver_data);
    }
  }
  if (address == 0) {
    address = by_ordinal ? machine().GetProcAddress(library, ordinal) : machine().GetProcAddress(library, name);
  }
  return address;
}

}  // namespace

std::vector<std::uint8_t> read_mapped_image(MachineAddress base) {
  const std::uint32_t size = machine().allocation_size(base);
  std::vector<std::uint8_t> bytes(size);
  if (size == 0 || !machine().read(base, bytes)) return {};
  return bytes;
}

bool apply_relocations(ImageLayout& image) {
  ImageReader reader(image.bytes);
  const DataDirectory directory = image.headers.directories[relocation_directory];
  const std::uint64_t end = static_cast<std::uint64_t>(directory.virtual_address) + directory.size;
  if (!reader.contains(directory.virtual_address, directory.size)) return false;
  const std::uint32_t difference = image.base - image.headers.image_base;
  std::uint64_t cursor = directory.virtual_address;
  while (cursor + 8 <= end) {
    const std::uint32_t block_address = reader.u32(cursor);
    const std::uint32_t block_size = reader.u32(cursor + 4);
    if (block_address == 0 || block_size < 8) break;
    if (block_size > end - cursor) return false;
    for (std::uint64_t entry = cursor + 8; entry + 2 <= cursor + block_size; entry += 2) {
      const std::uint16_t value = reader.u16(entry);
      if (value >> 12 != rel_based_highlow) continue;
      const std::uint64_t target = static_cast<std::uint64_t>(block_address) + (value & 0x0FFF);
      if (!reader.contains(target, 4)) return false;
      put_u32(image.bytes, target, reader.u32(target) + difference);
    }
    cursor += block_size;
  }
  return !reader.failed();
}

bool resolve_imports(ImageLayout& image, MachineAddress resolver, std::uint32_t resolver_data) {
  ImageReader reader(image.bytes);
  for (std::uint64_t cursor = image.headers.directories[import_directory].virtual_address;; cursor += 20) {
    if (!reader.contains(cursor, 20)) return false;
    const std::uint32_t first_thunk = reader.u32(cursor + 16);
    if (first_thunk == 0) return true;
    const std::uint32_t name = reader.u32(cursor + 12);
    const std::string_view library_name = reader.text(name);
    if (reader.failed()) return false;
    const std::uint32_t library = machine().LoadLibraryA(library_name);
    for (std::uint64_t slot = first_thunk;; slot += 4) {
      const std::uint32_t thunk = reader.u32(slot);
      if (reader.failed()) return false;
      if (thunk == 0) break;
      const MachineAddress address =
          resolve_one(library, image.base + name, thunk, image, reader, resolver, resolver_data);
      if (address == 0 || !machine().write_u32(image.base + static_cast<std::uint32_t>(slot), address)) return false;
      put_u32(image.bytes, slot, address);
    }
  }
}

MachineAddress map_image(std::span<const std::uint8_t> buffer, MachineAddress resolver, std::uint32_t resolver_data) {
  ImageReader file(buffer);
  std::optional<PeHeaders> headers = read_pe_headers(file);
  if (!headers || (headers->characteristics & file_executable_image) == 0 ||
      !file.contains(0, headers->headers_end())) {
    return 0;
  }
  const std::uint64_t size = image_size(file, *headers);
  // The headers must fit the image they are copied into, and the entry
  // routine must lie inside it.
  if (size == 0 || size > UINT32_MAX || headers->headers_end() > size ||
      (headers->is_dll() && headers->entry_point >= size)) {
    return 0;
  }

  EmulatedMachine& m = machine();
  const auto length = static_cast<std::uint32_t>(size);
  constexpr std::uint32_t commit = platform::MEM_COMMIT | platform::MEM_RESERVE;
  MachineAddress base = m.VirtualAlloc(headers->image_base, length, commit, platform::PAGE_EXECUTE_READWRITE);
  if (base == 0) base = m.VirtualAlloc(0, length, commit, platform::PAGE_EXECUTE_READWRITE);
  if (base == 0) return 0;

  ImageLayout image{base, *headers, std::vector<std::uint8_t>(length)};
  std::memcpy(image.bytes.data(), buffer.data(), headers->headers_end());
  const bool laid_out = copy_sections(file, buffer, image) &&
                        (headers->directories[relocation_directory].size == 0 || apply_relocations(image)) &&
                        write_image(image);
  if (!laid_out || (headers->directories[import_directory].virtual_address != 0 &&
                    !resolve_imports(image, resolver, resolver_data))) {
    release(base);
    return 0;
  }
  // An entry point of 0 would call the headers; the system loader skips
  // such DLLs' entry routines, and so does this one.
  if (headers->is_dll() && headers->entry_point != 0 && !call_entry(image, dll_process_attach)) {
    call_entry(image, dll_process_detach);
    release(base);
    return 0;
  }
  return base;
}

bool unmap_image(MachineAddress base) {
  std::vector<std::uint8_t> bytes = read_mapped_image(base);
  ImageReader reader(bytes);
  const std::optional<PeHeaders> headers = read_pe_headers(reader);
  if (!headers) return false;
  if (headers->is_dll() && headers->entry_point != 0 && headers->entry_point < bytes.size()) {
    call_native(base + headers->entry_point, 0u, dll_process_detach, 0u);
  }
  return machine().VirtualFree(base, 0, platform::MEM_RELEASE);
}

MachineAddress find_export(MachineAddress base, std::string_view name) {
  std::vector<std::uint8_t> bytes = read_mapped_image(base);
  ImageReader reader(bytes);
  const std::optional<PeHeaders> headers = read_pe_headers(reader);
  if (!headers || headers->directories[export_directory].size == 0) return 0;
  const std::uint64_t directory = headers->directories[export_directory].virtual_address;
  if (!reader.contains(directory, 40)) return 0;
  const std::uint32_t ordinal_base = reader.u32(directory + 16);
  const std::uint32_t function_count = reader.u32(directory + 20);
  const std::uint32_t name_count = reader.u32(directory + 24);
  const std::uint64_t functions = reader.u32(directory + 28);
  const std::uint64_t names = reader.u32(directory + 32);
  const std::uint64_t name_ordinals = reader.u32(directory + 36);

  // An export is only returned when it lies inside the image (a forwarder
  // text inside the export directory does).
  const auto function_at = [&](std::uint64_t index) -> MachineAddress {
    const std::uint32_t entry = reader.u32(functions + 4 * index);
    if (reader.failed() || entry == 0 || entry >= bytes.size()) return 0;
    return base + entry;
  };

  // An ordinal is a name that is exactly the canonical decimal text of a
  // number: no leading zeros, no plus sign, no blanks.
  std::int64_t number = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), number);
  if (error == std::errc() && end == name.data() + name.size() && std::to_string(number) == name) {
    const std::int64_t index = number - ordinal_base;
    return index >= 0 && index < function_count ? function_at(static_cast<std::uint64_t>(index)) : 0;
  }

  if (name_count == 0) return 0;
  // The name strings are taken to lie one after another in name-table order.
  std::uint64_t current = reader.u32(names);
  for (std::uint32_t i = 0; i < name_count && !reader.failed(); ++i) {
    const std::uint16_t index = reader.u16(name_ordinals + 2 * static_cast<std::uint64_t>(i));
    const std::string_view current_name = reader.text(current);
    if (reader.failed()) return 0;
    if (index < function_count && current_name == name) {
      if (const MachineAddress address = function_at(index); address != 0) return address;
    }
    current += current_name.size() + 1;
  }
  return 0;
}

}  // namespace quill::native
