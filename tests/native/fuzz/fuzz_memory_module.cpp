// libFuzzer target: feeds MemoryModule::load with mutated images. A load
// that fails must leave no memory allocated in the machine; a load that
// succeeds is asked for exports and freed again.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "native/memory_module.h"
#include "native/skin_host_library.h"
#include "platform/emulated_machine.h"

namespace {

using quill::platform::EmulatedMachine;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Entry routines of mutated images may loop; keep each call short.
  EmulatedMachine::instance().set_call_instruction_limit(100'000);
  // Larger images only take the allocation-failure path, at great cost.
  EmulatedMachine::instance().set_largest_allocation(1u << 20);
  quill::native::offer_skin_host_library();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  EmulatedMachine& machine = EmulatedMachine::instance();
  const std::size_t blocks_before = machine.allocation_count();
  quill::native::MemoryModule module;
  if (!module.load(std::span(data, size))) {
    if (module.handle() != 0 || machine.allocation_count() != blocks_before) std::abort();
    return 0;
  }
  for (const char* name : {"SkinH_AttachRes", "Alpha", "1", "2", "65535", "-1", ""}) module.get_proc(name);
  module.entry_point();
  const quill::platform::MachineAddress base = module.handle();
  // Module code may have damaged its own headers; then free keeps the handle
  // and the block is released here so that the next input starts clean.
  if (!module.free()) machine.VirtualFree(base, 0, quill::platform::MEM_RELEASE);
  if (machine.allocation_count() != blocks_before) std::abort();
  return 0;
}
