#include "platform/emulated_machine.h"

#include <gtest/gtest.h>

#include <vector>

namespace quill::platform {
namespace {

constexpr std::uint32_t commit = MEM_COMMIT | MEM_RESERVE;

void put_u32(std::vector<std::uint8_t>& code, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) code.push_back(static_cast<std::uint8_t>(value >> shift));
}

class EmulatedMachineTest : public ::testing::Test {
 protected:
  EmulatedMachine& machine = EmulatedMachine::instance();
  std::vector<MachineAddress> blocks;

  // Places code in a fresh block and returns its address.
  MachineAddress place(const std::vector<std::uint8_t>& code) {
    const MachineAddress address = machine.VirtualAlloc(0, 0x1000, commit, PAGE_EXECUTE_READWRITE);
    EXPECT_NE(address, 0u);
    EXPECT_TRUE(machine.write(address, code));
    blocks.push_back(address);
    return address;
  }

  void TearDown() override {
    for (MachineAddress block : blocks) machine.VirtualFree(block, 0, MEM_RELEASE);
  }
};

TEST_F(EmulatedMachineTest, AllocatesAtAWishedAddressOrAnywhereAndReleases) {
  const MachineAddress wished = 0x30000000;
  ASSERT_EQ(machine.VirtualAlloc(wished, 0x2345, commit, PAGE_EXECUTE_READWRITE), wished);
  EXPECT_EQ(machine.allocation_size(wished), 0x3000u);
  EXPECT_EQ(machine.VirtualAlloc(wished + 0x1000, 0x10, commit, PAGE_EXECUTE_READWRITE), 0u) << "range is taken";
  EXPECT_EQ(machine.VirtualAlloc(0, 0x10, MEM_COMMIT, PAGE_EXECUTE_READWRITE), 0u) << "commit alone";
  EXPECT_EQ(machine.VirtualAlloc(0, 0, commit, PAGE_EXECUTE_READWRITE), 0u) << "size 0";

  std::vector<std::uint8_t> bytes(0x3000, 0xAA);
  ASSERT_TRUE(machine.read(wished, bytes));
  EXPECT_EQ(bytes, std::vector<std::uint8_t>(0x3000, 0)) << "fresh memory is zero";
  ASSERT_TRUE(machine.write_u32(wished + 0x2FFC, 0x12345678));
  EXPECT_EQ(machine.read_u32(wished + 0x2FFC), 0x12345678u);
  EXPECT_FALSE(machine.read_u32(wished + 0x2FFE)) << "runs past the block";
  EXPECT_FALSE(machine.write_u32(0, 1));

  const MachineAddress anywhere = machine.VirtualAlloc(0, 10, commit, PAGE_EXECUTE_READWRITE);
  EXPECT_NE(anywhere, 0u);
  EXPECT_NE(anywhere, wished);
  EXPECT_FALSE(machine.VirtualFree(wished + 0x1000, 0, MEM_RELEASE)) << "not a block's base";
  EXPECT_FALSE(machine.VirtualFree(wished, 0x1000, MEM_RELEASE)) << "partial release";
  EXPECT_TRUE(machine.VirtualFree(wished, 0, MEM_RELEASE));
  EXPECT_TRUE(machine.VirtualFree(anywhere, 0, MEM_RELEASE));
  EXPECT_FALSE(machine.read_u32(wished));
  EXPECT_EQ(machine.VirtualAlloc(wished, 0x10, commit, PAGE_EXECUTE_READWRITE), wished) << "free again";
  EXPECT_TRUE(machine.VirtualFree(wished, 0, MEM_RELEASE));
}

TEST_F(EmulatedMachineTest, ReadsTextsOnlyWithATerminator) {
  const MachineAddress block = place({'a', 'b', 'c', 0});
  EXPECT_EQ(machine.read_text(block), "abc");
  std::vector<std::uint8_t> unterminated(0x1000, 'x');
  ASSERT_TRUE(machine.write(block, unterminated));
  EXPECT_FALSE(machine.read_text(block)) << "runs into unmapped memory";
}

TEST_F(EmulatedMachineTest, CallNativePassesTenWordsAndRestoresTheStack) {
  // mov eax,[esp+4]; add eax,[esp+40]; ret N: first word plus tenth word.
  const std::vector<std::uint8_t> sum = {0x8B, 0x44, 0x24, 0x04, 0x03, 0x44, 0x24, 0x28};
  const auto with_return = [&](std::vector<std::uint8_t> ret) {
    std::vector<std::uint8_t> code = sum;
    code.insert(code.end(), ret.begin(), ret.end());
    return place(code);
  };
  const MachineAddress removes_four = with_return({0xC2, 0x10, 0x00});
  const MachineAddress removes_none = with_return({0xC3});
  const MachineAddress removes_ten = with_return({0xC2, 0x28, 0x00});
  const MachineAddress stack_pointer = place({0x89, 0xE0, 0xC3});  // mov eax,esp; ret

  const std::uint32_t before = machine.call_native(stack_pointer, {});
  ASSERT_NE(before, 0u);
  const NativeWords words{100, 2, 3, 4, 5, 6, 7, 8, 9, 23};
  for (MachineAddress routine : {removes_four, removes_none, removes_ten}) {
    EXPECT_EQ(machine.call_native(routine, words), 123u) << std::hex << routine;
    EXPECT_EQ(machine.call_native(stack_pointer, {}), before) << "stack pointer after " << std::hex << routine;
  }
  EXPECT_EQ(machine.call_native(removes_none, {7}), 7u) << "missing words are 0";
}

TEST_F(EmulatedMachineTest, HostRoutinesKeepTheirCallingConvention) {
  std::vector<std::uint32_t> seen;
  const MachineAddress stdcall3 =
      machine.add_host_routine(3, CallingConvention::stdcall, [&](std::span<const std::uint32_t> arguments) {
        seen.assign(arguments.begin(), arguments.end());
        return arguments[0] * 100 + arguments[1] * 10 + arguments[2];
      });
  const MachineAddress cdecl10 =
      machine.add_host_routine(10, CallingConvention::cdecl_, [&](std::span<const std::uint32_t> arguments) {
        seen.assign(arguments.begin(), arguments.end());
        std::uint32_t total = 0;
        for (std::uint32_t word : arguments) total += word;
        return total;
      });
  ASSERT_NE(stdcall3, 0u);
  ASSERT_NE(cdecl10, 0u);

  // push 3; push 2; push 1; mov eax,stdcall3; call eax; ret
  std::vector<std::uint8_t> calls_stdcall = {0x6A, 3, 0x6A, 2, 0x6A, 1, 0xB8};
  put_u32(calls_stdcall, stdcall3);
  calls_stdcall.insert(calls_stdcall.end(), {0xFF, 0xD0, 0xC3});
  EXPECT_EQ(machine.call_native(place(calls_stdcall), {}), 123u);
  EXPECT_EQ(seen, (std::vector<std::uint32_t>{1, 2, 3}));

  // push 10 ... push 1; mov eax,cdecl10; call eax; add esp,40; ret
  std::vector<std::uint8_t> calls_cdecl;
  for (std::uint8_t word = 10; word >= 1; --word) calls_cdecl.insert(calls_cdecl.end(), {0x6A, word});
  calls_cdecl.push_back(0xB8);
  put_u32(calls_cdecl, cdecl10);
  calls_cdecl.insert(calls_cdecl.end(), {0xFF, 0xD0, 0x83, 0xC4, 40, 0xC3});
  EXPECT_EQ(machine.call_native(place(calls_cdecl), {}), 55u);
  EXPECT_EQ(seen.size(), 10u);

  EXPECT_EQ(machine.call_native(stdcall3, {4, 5, 6, 99}), 456u) << "called directly with ten words";
  machine.release_host_routine(stdcall3);
  machine.release_host_routine(cdecl10);
  EXPECT_EQ(machine.call_native(stdcall3, {4, 5, 6}), 0u) << "released";
}

TEST_F(EmulatedMachineTest, FaultsEndTheCallWithZeroAndLeaveTheMachineUsable) {
  const MachineAddress good = place({0xB8, 42, 0, 0, 0, 0xC3});  // mov eax,42; ret
  const MachineAddress stub =
      machine.add_host_routine(0, CallingConvention::stdcall, [](std::span<const std::uint32_t>) { return 5u; });
  machine.set_call_instruction_limit(100'000);
  const struct {
    const char* name;
    MachineAddress address;
  } cases[] = {
      {"address 0", 0},
      {"unmapped", 0x6F000000},
      {"zero bytes", place({})},
      {"ud2", place({0xB8, 1, 0, 0, 0, 0x0F, 0x0B})},
      {"int3", place({0xB8, 1, 0, 0, 0, 0xCC, 0xC3})},
      {"stray int 0x80", place({0xB8, 1, 0, 0, 0, 0xCD, 0x80, 0xC3})},
      {"divide by zero", place({0xB8, 1, 0, 0, 0, 0x31, 0xC9, 0xF7, 0xF1, 0xC3})},
      {"hlt", place({0xB8, 1, 0, 0, 0, 0xF4, 0xC3})},
      {"endless loop", place({0xB8, 1, 0, 0, 0, 0xEB, 0xFE})},
      {"returns to address 0", place({0xB8, 1, 0, 0, 0, 0x6A, 0x00, 0xC3})},
      // mov eax,<stub>; mov dword [eax],0; ret: host stubs are read-only.
      {"writes over a host stub", place({0xB8, static_cast<std::uint8_t>(stub), static_cast<std::uint8_t>(stub >> 8),
                                         static_cast<std::uint8_t>(stub >> 16), static_cast<std::uint8_t>(stub >> 24),
                                         0xC7, 0x00, 0, 0, 0, 0, 0xC3})},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(machine.call_native(c.address, {}), 0u) << c.name;
    EXPECT_EQ(machine.call_native(good, {}), 42u) << "after " << c.name;
  }
  EXPECT_EQ(machine.call_native(stub, {}), 5u);
  machine.release_host_routine(stub);
  machine.set_call_instruction_limit(50'000'000);
}

TEST_F(EmulatedMachineTest, HostLibrariesAreFoundByNameAndOrdinal) {
  const auto returns = [](std::uint32_t value) { return [value](std::span<const std::uint32_t>) { return value; }; };
  machine.register_library("MachineTest.dll", {{"First", 1, 0, CallingConvention::stdcall, returns(11)},
                                               {"Second", 2, 0, CallingConvention::cdecl_, returns(22)},
                                               {"", 7, 0, CallingConvention::stdcall, returns(77)}});
  const std::uint32_t library = machine.LoadLibraryA("machinetest");
  ASSERT_NE(library, 0u);
  EXPECT_EQ(machine.LoadLibraryA("MACHINETEST.DLL"), library);
  EXPECT_EQ(machine.LoadLibraryA("nothing.dll"), 0u);

  const MachineAddress second = machine.GetProcAddress(library, "Second");
  ASSERT_NE(second, 0u);
  EXPECT_EQ(machine.GetProcAddress(library, std::uint16_t{2}), second);
  EXPECT_EQ(machine.GetProcAddress(library, "second"), 0u) << "names are case-sensitive";
  EXPECT_EQ(machine.GetProcAddress(library, std::uint16_t{9}), 0u);
  EXPECT_EQ(machine.GetProcAddress(0, "First"), 0u);
  EXPECT_EQ(machine.call_native(second, {}), 22u);
  EXPECT_EQ(machine.call_native(machine.GetProcAddress(library, std::uint16_t{7}), {}), 77u);
}

}  // namespace
}  // namespace quill::platform
