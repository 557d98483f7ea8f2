#include "platform/emulated_machine.h"

#include <unicorn/unicorn.h>

#include <algorithm>
#include <cctype>
#include <map>

namespace quill::platform {
namespace {

constexpr std::uint64_t page_size = 0x1000;
constexpr std::uint64_t granularity = 0x10000;
constexpr std::uint64_t lowest_address = 0x00010000;
constexpr std::uint64_t anywhere_start = 0x00100000;
constexpr std::uint64_t stack_base = 0x7FE00000;  // allocations end below the stack
constexpr std::uint64_t stack_size = 0x00100000;
constexpr std::uint64_t trap_base = stack_base + stack_size;
constexpr std::uint64_t trap_size = 0x10000;
constexpr std::uint64_t slot_size = 8;
constexpr std::uint64_t slot_count = trap_size / slot_size;
constexpr std::uint64_t default_largest_allocation = 64ull << 20;
constexpr std::uint64_t largest_allocation_cap = 1ull << 30;
constexpr MachineAddress sentinel = trap_base;  // slot 0: where every call_native returns to
constexpr std::uint32_t library_handle_base = 0x7FF80000;
constexpr std::uint8_t hlt = 0xF4;

std::uint64_t align_up(std::uint64_t value, std::uint64_t alignment) {
  return (value + alignment - 1) / alignment * alignment;
}

std::string library_key(std::string_view name) {
  std::string key;
  for (char c : name) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (key.size() > 4 && key.ends_with(".dll")) key.resize(key.size() - 4);
  return key;
}

struct Slot {
  std::uint32_t argument_count = 0;
  HostRoutine routine;
};

struct Library {
  std::string key;
  std::uint32_t handle = 0;
  std::vector<std::pair<HostFunction, MachineAddress>> functions;
};

}  // namespace

struct EmulatedMachine::State {
  uc_engine* uc = nullptr;
  uc_hook interrupt_hook = 0;
  std::map<std::uint64_t, std::uint64_t> blocks;  // base -> size (page multiple)
  std::vector<Slot> slots = std::vector<Slot>(slot_count);
  std::vector<Library> libraries;
  bool running = false;
  bool faulted = false;
  std::uint64_t instruction_limit = 50'000'000;
  std::uint64_t largest_allocation = default_largest_allocation;

  ~State() {
    if (uc != nullptr) uc_close(uc);
  }

  bool range_free(std::uint64_t base, std::uint64_t size) const {
    if (base < lowest_address || base + size > stack_base) return false;
    auto next = blocks.lower_bound(base);
    if (next != blocks.end() && next->first < base + size) return false;
    if (next != blocks.begin()) {
      auto previous = std::prev(next);
      if (previous->first + previous->second > base) return false;
    }
    return true;
  }

  std::uint64_t find_free(std::uint64_t size) const {
    std::uint64_t candidate = anywhere_start;
    for (const auto& [base, length] : blocks) {
      if (base >= candidate + size) break;
      candidate = std::max(candidate, align_up(base + length, granularity));
    }
    return candidate + size <= stack_base ? candidate : 0;
  }

  // Software interrupts from the trap page call host routines; any other
  // interrupt (int3, divide error, a stray int 0x80) ends the call as a fault.
  static void on_interrupt(uc_engine* uc, std::uint32_t number, void* user) {
    auto* state = static_cast<State*>(user);
    std::uint32_t eip = 0;
    std::uint32_t esp = 0;
    uc_reg_read(uc, UC_X86_REG_EIP, &eip);
    uc_reg_read(uc, UC_X86_REG_ESP, &esp);
    const std::uint64_t stub = static_cast<std::uint64_t>(eip) - 2;  // eip is behind the two-byte int
    const bool from_trap =
        number == 0x80 && stub > trap_base && stub < trap_base + trap_size && (stub - trap_base) % slot_size == 0;
    const Slot* slot = from_trap ? &state->slots[(stub - trap_base) / slot_size] : nullptr;
    if (slot == nullptr || !slot->routine) {
      state->faulted = true;
      uc_emu_stop(uc);
      return;
    }
    std::array<std::uint32_t, native_word_count> arguments{};
    if (slot->argument_count > 0 &&
        uc_mem_read(uc, static_cast<std::uint64_t>(esp) + 4, arguments.data(), 4 * slot->argument_count) != UC_ERR_OK) {
      state->faulted = true;
      uc_emu_stop(uc);
      return;
    }
    std::uint32_t result = slot->routine(std::span<const std::uint32_t>(arguments.data(), slot->argument_count));
    uc_reg_write(uc, UC_X86_REG_EAX, &result);
  }
};

EmulatedMachine& EmulatedMachine::instance() {
  static EmulatedMachine machine;
  return machine;
}

EmulatedMachine::EmulatedMachine() : state_(std::make_unique<State>()) {
  State& s = *state_;
  if (uc_open(UC_ARCH_X86, UC_MODE_32, &s.uc) != UC_ERR_OK) {
    s.uc = nullptr;
    return;
  }
  uc_mem_map(s.uc, stack_base, stack_size, UC_PROT_READ | UC_PROT_WRITE);
  // Module code may run the stubs but not change them.
  uc_mem_map(s.uc, trap_base, trap_size, UC_PROT_READ | UC_PROT_EXEC);
  std::vector<std::uint8_t> halts(trap_size, hlt);
  uc_mem_write(s.uc, trap_base, halts.data(), halts.size());
  uc_hook_add(s.uc, &s.interrupt_hook, UC_HOOK_INTR, reinterpret_cast<void*>(&State::on_interrupt), &s, 1, 0);
}

EmulatedMachine::~EmulatedMachine() = default;

MachineAddress EmulatedMachine::VirtualAlloc(MachineAddress address, std::uint32_t size, std::uint32_t allocation_type,
                                             std::uint32_t protection) {
  std::lock_guard guard(lock_);
  State& s = *state_;
  if (s.uc == nullptr || size == 0 || size > s.largest_allocation || allocation_type != (MEM_COMMIT | MEM_RESERVE) ||
      protection != PAGE_EXECUTE_READWRITE) {
    return 0;
  }
  std::uint64_t base = 0;
  std::uint64_t length = 0;
  if (address != 0) {
    base = address & ~(granularity - 1);
    length = align_up(static_cast<std::uint64_t>(address) + size, page_size) - base;
    if (!s.range_free(base, length)) return 0;
  } else {
    length = align_up(size, page_size);
    base = s.find_free(length);
    if (base == 0) return 0;
  }
  if (uc_mem_map(s.uc, base, length, UC_PROT_ALL) != UC_ERR_OK) return 0;
  s.blocks.emplace(base, length);
  return static_cast<MachineAddress>(base);
}

bool EmulatedMachine::VirtualFree(MachineAddress address, std::uint32_t size, std::uint32_t free_type) {
  std::lock_guard guard(lock_);
  State& s = *state_;
  auto block = s.blocks.find(address);
  if (size != 0 || free_type != MEM_RELEASE || block == s.blocks.end()) return false;
  // Unicorn keeps translated code past an unmap; a later block at the same
  // address must not run the old code.
  uc_ctl_remove_cache(s.uc, block->first, block->first + block->second);
  if (uc_mem_unmap(s.uc, block->first, block->second) != UC_ERR_OK) return false;
  s.blocks.erase(block);
  return true;
}

std::uint32_t EmulatedMachine::allocation_size(MachineAddress address) {
  std::lock_guard guard(lock_);
  auto block = state_->blocks.find(address);
  return block == state_->blocks.end() ? 0 : static_cast<std::uint32_t>(block->second);
}

std::size_t EmulatedMachine::allocation_count() {
  std::lock_guard guard(lock_);
  return state_->blocks.size();
}

bool EmulatedMachine::read(MachineAddress address, std::span<std::uint8_t> out) {
  std::lock_guard guard(lock_);
  if (out.empty()) return true;
  if (state_->uc == nullptr || address == 0 || static_cast<std::uint64_t>(address) + out.size() > (1ull << 32)) {
    return false;
  }
  return uc_mem_read(state_->uc, address, out.data(), out.size()) == UC_ERR_OK;
}

bool EmulatedMachine::write(MachineAddress address, std::span<const std::uint8_t> bytes) {
  std::lock_guard guard(lock_);
  if (bytes.empty()) return true;
  if (state_->uc == nullptr || address == 0 || static_cast<std::uint64_t>(address) + bytes.size() > (1ull << 32)) {
    return false;
  }
  if (uc_mem_write(state_->uc, address, bytes.data(), bytes.size()) != UC_ERR_OK) return false;
  // Host writes do not reach Unicorn's translation cache by themselves.
  uc_ctl_remove_cache(state_->uc, address, static_cast<std::uint64_t>(address) + bytes.size());
  return true;
}

std::optional<std::uint32_t> EmulatedMachine::read_u32(MachineAddress address) {
  std::array<std::uint8_t, 4> bytes{};
  if (!read(address, bytes)) return std::nullopt;
  return static_cast<std::uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                    static_cast<std::uint32_t>(bytes[3]) << 24);
}

bool EmulatedMachine::write_u32(MachineAddress address, std::uint32_t value) {
  const std::array<std::uint8_t, 4> bytes{static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                          static_cast<std::uint8_t>(value >> 16),
                                          static_cast<std::uint8_t>(value >> 24)};
  return write(address, bytes);
}

std::optional<std::string> EmulatedMachine::read_text(MachineAddress address, std::size_t limit) {
  std::lock_guard guard(lock_);
  std::string text;
  std::uint64_t cursor = address;
  while (text.size() < limit) {
    // Read up to the end of the page, so a text that ends just before
    // unmapped memory still reads.
    const std::uint64_t chunk = std::min<std::uint64_t>(align_up(cursor + 1, page_size) - cursor, limit - text.size());
    std::string piece(chunk, '\0');
    if (!read(static_cast<MachineAddress>(cursor), std::span(reinterpret_cast<std::uint8_t*>(piece.data()), chunk))) {
      return std::nullopt;
    }
    const auto end = piece.find('\0');
    if (end != std::string::npos) return text + piece.substr(0, end);
    text += piece;
    cursor += chunk;
  }
  return std::nullopt;
}

void EmulatedMachine::register_library(std::string_view name, std::vector<HostFunction> functions) {
  std::lock_guard guard(lock_);
  State& s = *state_;
  Library library{library_key(name), library_handle_base + static_cast<std::uint32_t>(s.libraries.size() + 1) * 16, {}};
  for (auto& function : functions) {
    const MachineAddress address = add_host_routine(function.argument_count, function.convention, function.routine);
    library.functions.emplace_back(std::move(function), address);
  }
  s.libraries.push_back(std::move(library));
}

std::uint32_t EmulatedMachine::LoadLibraryA(std::string_view name) {
  std::lock_guard guard(lock_);
  const std::string key = library_key(name);
  // The latest registration of a name wins.
  for (auto library = state_->libraries.rbegin(); library != state_->libraries.rend(); ++library) {
    if (library->key == key) return library->handle;
  }
  return 0;
}

MachineAddress EmulatedMachine::GetProcAddress(std::uint32_t library, std::string_view name) {
  std::lock_guard guard(lock_);
  for (const auto& candidate : state_->libraries) {
    if (candidate.handle != library) continue;
    for (const auto& [function, address] : candidate.functions) {
      if (!function.name.empty() && function.name == name) return address;
    }
  }
  return 0;
}

MachineAddress EmulatedMachine::GetProcAddress(std::uint32_t library, std::uint16_t ordinal) {
  std::lock_guard guard(lock_);
  for (const auto& candidate : state_->libraries) {
    if (candidate.handle != library) continue;
    for (const auto& [function, address] : candidate.functions) {
      if (ordinal != 0 && function.ordinal == ordinal) return address;
    }
  }
  return 0;
}

MachineAddress EmulatedMachine::add_host_routine(std::uint32_t argument_count, CallingConvention convention,
                                                 HostRoutine routine) {
  std::lock_guard guard(lock_);
  State& s = *state_;
  if (s.uc == nullptr || argument_count > native_word_count || !routine) return 0;
  for (std::uint64_t index = 1; index < slot_count; ++index) {
    if (s.slots[index].routine) continue;
    // int 0x80, then ret imm16 (stdcall) or ret (cdecl).
    const std::uint16_t removed = convention == CallingConvention::stdcall ? 4 * argument_count : 0;
    const std::array<std::uint8_t, slot_size> stub{
        0xCD, 0x80, 0xC2, static_cast<std::uint8_t>(removed), static_cast<std::uint8_t>(removed >> 8), hlt, hlt, hlt};
    const MachineAddress address = static_cast<MachineAddress>(trap_base + index * slot_size);
    if (!write(address, stub)) return 0;
    s.slots[index] = Slot{argument_count, std::move(routine)};
    return address;
  }
  return 0;
}

void EmulatedMachine::release_host_routine(MachineAddress address) {
  std::lock_guard guard(lock_);
  State& s = *state_;
  if (address <= trap_base || address >= trap_base + trap_size || (address - trap_base) % slot_size != 0) return;
  s.slots[(address - trap_base) / slot_size] = Slot{};
  const std::array<std::uint8_t, slot_size> halts{hlt, hlt, hlt, hlt, hlt, hlt, hlt, hlt};
  write(address, halts);
}

std::uint32_t EmulatedMachine::call_native(MachineAddress address, const NativeWords& words) {
  std::lock_guard guard(lock_);
  State& s = *state_;
  if (s.uc == nullptr || s.running) return 0;

  std::uint32_t saved_esp = static_cast<std::uint32_t>(stack_base + stack_size - 64);
  std::array<std::uint32_t, native_word_count + 1> frame{};
  frame[0] = sentinel;
  std::copy(words.begin(), words.end(), frame.begin() + 1);
  const std::uint32_t esp = saved_esp - static_cast<std::uint32_t>(sizeof(frame));
  if (uc_mem_write(s.uc, esp, frame.data(), sizeof(frame)) != UC_ERR_OK) return 0;

  const std::uint32_t zero = 0;
  for (int reg : {UC_X86_REG_EAX, UC_X86_REG_EBX, UC_X86_REG_ECX, UC_X86_REG_EDX, UC_X86_REG_ESI, UC_X86_REG_EDI,
                  UC_X86_REG_EBP}) {
    uc_reg_write(s.uc, reg, &zero);
  }
  uc_reg_write(s.uc, UC_X86_REG_ESP, &esp);

  s.running = true;
  s.faulted = false;
  const uc_err error = uc_emu_start(s.uc, address, sentinel, 0, s.instruction_limit);
  s.running = false;

  std::uint32_t eip = 0;
  std::uint32_t eax = 0;
  uc_reg_read(s.uc, UC_X86_REG_EIP, &eip);
  uc_reg_read(s.uc, UC_X86_REG_EAX, &eax);
  uc_reg_write(s.uc, UC_X86_REG_ESP, &saved_esp);
  // Only a return to the sentinel counts; a fault, a halt or the instruction
  // limit all end the call with 0.
  return error == UC_ERR_OK && !s.faulted && eip == sentinel ? eax : 0;
}

void EmulatedMachine::set_largest_allocation(std::uint32_t bytes) {
  std::lock_guard guard(lock_);
  state_->largest_allocation = std::min<std::uint64_t>(bytes, largest_allocation_cap);
}

void EmulatedMachine::set_call_instruction_limit(std::uint64_t instructions) {
  std::lock_guard guard(lock_);
  state_->instruction_limit = instructions;
}

}  // namespace quill::platform
