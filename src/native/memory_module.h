#pragma once
// MemoryModule: a 32-bit PE DLL mapped from a byte buffer into the emulated
// machine by our own loader (no file, no system loader), started through its
// entry routine and asked for its exports.
//
// The object holds only the base address of the mapped image (`handle`, 0
// when empty). Destruction leaves a held module mapped and attached until the
// process ends; only `free` detaches and releases it. Copying is disabled so
// that one module never has two owners that could both free it.
// Used on one thread at a time; takes no locks of its own (the machine
// serialises its calls). Failures are the results false or 0, nothing else.

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/emulated_machine.h"

namespace quill::native {

class MemoryModule final {
 public:
  MemoryModule() = default;
  ~MemoryModule() = default;  // deliberately leaves the module mapped
  MemoryModule(const MemoryModule&) = delete;
  MemoryModule& operator=(const MemoryModule&) = delete;

  // Frees a held module first (ignoring the result), then maps `image`.
  // `resolver` (a machine address, 0 for none) is asked for every import
  // before GetProcAddress, with `resolver_data` as its third word.
  bool load(std::span<const std::uint8_t> image, platform::MachineAddress resolver = 0,
            std::uint32_t resolver_data = 0);
  // Detaches and releases the held module. True when nothing is held
  // afterwards; false, keeping `handle`, when the mapped headers are damaged.
  bool free();
  // Export address by name, or by ordinal given as canonical decimal digits;
  // 0 when nothing is held or found.
  platform::MachineAddress get_proc(std::string_view name) const;
  // handle + AddressOfEntryPoint from the mapped headers; 0 when empty.
  platform::MachineAddress entry_point() const;
  platform::MachineAddress handle() const { return handle_; }

 private:
  platform::MachineAddress handle_ = 0;
};

}  // namespace quill::native
