#pragma once
// The emulated 32-bit x86 machine that module images run on (Unicorn), with
// the kernel32 calls the module loader needs: VirtualAlloc, VirtualFree,
// LoadLibraryA, GetProcAddress, memory copies and entering native code.
//
// One machine per process (EmulatedMachine::instance()). Every operation takes
// the machine's lock, so any thread may call, one at a time; host routines run
// on the calling thread, inside that lock, and may read and write machine
// memory (but a nested call_native from a host routine returns 0).
// Addresses and words are 32-bit; address 0 is never mapped.
//
// Not supported: page protections (every block is read/write/execute),
// partial releases, blocks above the largest allocation (64 MiB unless set),
// threads inside the machine.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quill::platform {

using MachineAddress = std::uint32_t;

inline constexpr std::uint32_t MEM_COMMIT = 0x1000;
inline constexpr std::uint32_t MEM_RESERVE = 0x2000;
inline constexpr std::uint32_t MEM_RELEASE = 0x8000;
inline constexpr std::uint32_t PAGE_EXECUTE_READWRITE = 0x40;

inline constexpr std::size_t native_word_count = 10;
using NativeWords = std::array<std::uint32_t, native_word_count>;

// How a host routine leaves the stack: stdcall removes its arguments, cdecl
// leaves them to the caller.
enum class CallingConvention { stdcall, cdecl_ };

// A program routine that module code can call. It receives its argument words
// (as many as it was registered with) and returns EAX.
using HostRoutine = std::function<std::uint32_t(std::span<const std::uint32_t> arguments)>;

struct HostFunction {
  std::string name;              // empty: reachable by ordinal only
  std::uint16_t ordinal;         // 0: reachable by name only
  std::uint32_t argument_count;  // at most 10
  CallingConvention convention;
  HostRoutine routine;
};

class EmulatedMachine final {
 public:
  static EmulatedMachine& instance();

  EmulatedMachine(const EmulatedMachine&) = delete;
  EmulatedMachine& operator=(const EmulatedMachine&) = delete;

  // VirtualAlloc: a zero-filled block at `address` (rounded down to 64 KiB)
  // or, with address 0, anywhere. Only MEM_COMMIT | MEM_RESERVE with
  // PAGE_EXECUTE_READWRITE is supported. Returns 0 when the range is taken,
  // outside the machine, of size 0 or too large.
  MachineAddress VirtualAlloc(MachineAddress address, std::uint32_t size, std::uint32_t allocation_type,
                              std::uint32_t protection);
  // VirtualFree with size 0 and MEM_RELEASE on the base of a block; false
  // for anything else.
  bool VirtualFree(MachineAddress address, std::uint32_t size, std::uint32_t free_type);
  // Size of the block whose base is `address`, 0 when there is none.
  std::uint32_t allocation_size(MachineAddress address);
  // Number of blocks currently allocated.
  std::size_t allocation_count();

  // Copies; false when any byte of the range lies outside allocated memory.
  bool read(MachineAddress address, std::span<std::uint8_t> out);
  bool write(MachineAddress address, std::span<const std::uint8_t> bytes);
  std::optional<std::uint32_t> read_u32(MachineAddress address);
  bool write_u32(MachineAddress address, std::uint32_t value);
  // A zero-terminated text of at most `limit` bytes; nullopt without a
  // terminator inside allocated memory and the limit.
  std::optional<std::string> read_text(MachineAddress address, std::size_t limit = 4096);

  // Host libraries offered to modules. Registering a name again replaces the
  // earlier library's functions for later lookups. Names match without regard
  // to letter case, with or without ".dll".
  void register_library(std::string_view name, std::vector<HostFunction> functions);
  // LoadLibraryA: a non-zero handle for a registered library, 0 otherwise.
  std::uint32_t LoadLibraryA(std::string_view name);
  // GetProcAddress by name (case-sensitive) or by 16-bit ordinal; 0 when the
  // handle or the function is unknown.
  MachineAddress GetProcAddress(std::uint32_t library, std::string_view name);
  MachineAddress GetProcAddress(std::uint32_t library, std::uint16_t ordinal);

  // A machine address at which `routine` can be called; stays valid until
  // release_host_routine. Returns 0 when every slot is taken or more than ten
  // arguments are asked for.
  MachineAddress add_host_routine(std::uint32_t argument_count, CallingConvention convention, HostRoutine routine);
  void release_host_routine(MachineAddress address);

  // Calls the routine at `address` with exactly ten words on the stack (the
  // first word is the first argument) and a return address the machine
  // watches for. The stack pointer is restored afterwards, whether the routine
  // removed its arguments or not. Returns EAX; 0 when the address holds no
  // code, the routine faults, runs past the instruction limit, or when
  // called from inside a host routine. The machine stays usable in every case.
  std::uint32_t call_native(MachineAddress address, const NativeWords& words);

  // Largest block VirtualAlloc grants (default 64 MiB, at most 1 GiB).
  void set_largest_allocation(std::uint32_t bytes);

  // Most instructions one call_native may run (default 50 million), so that
  // a routine that never returns cannot hang the caller; 0 means no limit.
  // A count rather than a time keeps the outcome the same on a busy machine.
  void set_call_instruction_limit(std::uint64_t instructions);

 private:
  struct State;
  EmulatedMachine();
  ~EmulatedMachine();

  std::recursive_mutex lock_;
  std::unique_ptr<State> state_;
};

}  // namespace quill::platform
