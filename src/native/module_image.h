#pragma once
// The steps of mapping a 32-bit PE DLL image into the emulated machine and
// finding its exports. MemoryModule strings them together; they are public
// so that each can be tested and reasoned about on its own.
//
// Damaged images fail cleanly: every relative address, size and table is
// checked against the buffer or the image before it is followed, the
// relocation walk is bounded by its directory, and a failure after the
// allocation releases the memory. Nothing is reported beyond the results.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "native/pe_headers.h"
#include "platform/emulated_machine.h"

namespace quill::native {

using platform::MachineAddress;

// An image laid out in host memory, as it will be (or is) in the machine.
struct ImageLayout {
  MachineAddress base = 0;
  PeHeaders headers;
  std::vector<std::uint8_t> bytes;  // the whole image, SizeOfImage or more
};

// Maps the image in `buffer`: headers, sections, relocations, imports, then
// the DLL entry routine with (0, DLL_PROCESS_ATTACH, 0). Returns the base,
// or 0 with nothing left allocated. `resolver`, when not 0, is asked for
// each import before GetProcAddress (see resolve_imports).
MachineAddress map_image(std::span<const std::uint8_t> buffer, MachineAddress resolver = 0,
                         std::uint32_t resolver_data = 0);

// Adds base - ImageBase (mod 2^32) to every HIGHLOW target in the image.
// The walk ends at a block with VirtualAddress 0, a block smaller than 8
// bytes, or the end of the directory; false when a block or target lies
// outside the directory or the image.
bool apply_relocations(ImageLayout& image);

// Loads every imported library and fills the FirstThunk tables (the names
// are read from those tables, OriginalFirstThunk is ignored). The resolver
// gets (library name address, function name address, resolver_data); an
// ordinal import is named by its decimal digits. A resolver result of 0
// falls back to GetProcAddress; false when both give 0 or a table is damaged.
// Resolved addresses are written to the machine and to `image`.
bool resolve_imports(ImageLayout& image, MachineAddress resolver, std::uint32_t resolver_data);

// Calls a DLL's entry routine with DLL_PROCESS_DETACH and releases the
// memory. False, with nothing released, when the mapped headers no longer
// read "MZ" and "PE" or the release fails.
bool unmap_image(MachineAddress base);

// Address of an export of the image mapped at `base`, by name or by ordinal
// (a name that is the canonical decimal text of a number); 0 when there is
// none or the tables are damaged or point outside the image.
MachineAddress find_export(MachineAddress base, std::string_view name);

// A copy of the block mapped at `base`; empty when there is none.
std::vector<std::uint8_t> read_mapped_image(MachineAddress base);

}  // namespace quill::native
