#include "native/memory_module.h"

#include <gtest/gtest.h>

#include "native/module_image.h"
#include "native/native_call.h"
#include "native/pe_builder.h"

namespace quill::native {
namespace {

using platform::EmulatedMachine;
using platform::MachineAddress;
using testing::append_u32;
using testing::PeBuilder;
using testing::PeImage;

constexpr std::uint32_t preferred_base = 0x10000000;
constexpr std::uint32_t commit = platform::MEM_COMMIT | platform::MEM_RESERVE;
constexpr std::uint16_t highlow = 0x3000;

// Entry code: passes the reason word to a host routine and returns its result.
//   mov eax,[esp+8]; push eax; mov eax,host; call eax; ret 12
std::vector<std::uint8_t> entry_code(MachineAddress host) {
  std::vector<std::uint8_t> code = {0x8B, 0x44, 0x24, 0x08, 0x50, 0xB8};
  append_u32(code, host);
  code.insert(code.end(), {0xFF, 0xD0, 0xC2, 0x0C, 0x00});
  return code;
}

class MemoryModuleTest : public ::testing::Test {
 protected:
  EmulatedMachine& machine = EmulatedMachine::instance();
  std::vector<std::uint32_t> entry_reasons;
  std::uint32_t entry_result = 1;
  MachineAddress entry_host = 0;
  std::vector<MachineAddress> host_routines;

  void SetUp() override {
    entry_host = add_host(1, [this](std::span<const std::uint32_t> words) {
      entry_reasons.push_back(words[0]);
      return entry_result;
    });
  }

  void TearDown() override {
    for (MachineAddress routine : host_routines) machine.release_host_routine(routine);
  }

  MachineAddress add_host(std::uint32_t count, platform::HostRoutine routine) {
    const MachineAddress address = machine.add_host_routine(count, platform::CallingConvention::stdcall, routine);
    host_routines.push_back(address);
    return address;
  }

  // A DLL whose entry routine reports to entry_host, with a data section.
  PeBuilder dll(std::vector<std::uint8_t> data = std::vector<std::uint8_t>(16, 0)) {
    PeBuilder builder;
    builder.sections.push_back({0x1000, entry_code(entry_host)});
    builder.sections.push_back({0x2000, std::move(data)});
    builder.entry_point = 0x1000;
    return builder;
  }

  // True when nothing is mapped at the preferred base any more.
  bool released() { return machine.allocation_size(preferred_base) == 0; }
};

TEST_F(MemoryModuleTest, DamagedHeadersFail) {
  const PeImage good = dll().build();
  const std::uint32_t nt = good.nt_offset;
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"63 bytes", {good.bytes.begin(), good.bytes.begin() + 63}},
      {"e_lfanew + 248 past the end",
       [&] {
         std::vector<std::uint8_t> b(good.bytes.begin(), good.bytes.begin() + 300);
         return b;
       }()},
      {"huge e_lfanew",
       [&] {
         PeImage i = good;
         i.put_u32(60, 0xFFFFFF00);
         return i.bytes;
       }()},
      {"no MZ",
       [&] {
         PeImage i = good;
         i.put_u16(0, 0x5A4E);
         return i.bytes;
       }()},
      {"no PE",
       [&] {
         PeImage i = good;
         i.put_u32(nt, 0x4551);
         return i.bytes;
       }()},
      {"not executable",
       [&] {
         PeImage i = good;
         i.put_u16(nt + 22, 0x2100);
         return i.bytes;
       }()},
      {"section table past the end",
       [&] {
         PeImage i = good;
         i.put_u16(nt + 6, 0xFFFF);
         return i.bytes;
       }()},
      {"section data past the end",
       [&] {
         PeImage i = good;
         i.put_u32(nt + 248 + 20, static_cast<std::uint32_t>(i.bytes.size()) - 4);
         return i.bytes;
       }()},
      {"image size 0",
       [&] {
         PeBuilder b;
         b.size_of_image = 0;
         PeImage i = b.build();
         i.put_u32(nt + 24 + 56, 0);
         return i.bytes;
       }()},
      {"oversized image",
       [&] {
         PeImage i = good;
         i.put_u32(nt + 24 + 56, 0x7FFFFFFF);
         return i.bytes;
       }()},
      {"section alignment 0",
       [&] {
         PeImage i = good;
         i.put_u32(nt + 24 + 32, 0);
         return i.bytes;
       }()},
      {"entry point outside the image",
       [&] {
         PeImage i = good;
         i.put_u32(nt + 24 + 16, 0x00F00000);
         return i.bytes;
       }()},
  };
  for (const auto& c : cases) {
    MemoryModule module;
    EXPECT_FALSE(module.load(c.bytes)) << c.name;
    EXPECT_EQ(module.handle(), 0u) << c.name;
    EXPECT_TRUE(released()) << c.name;
  }
  EXPECT_TRUE(entry_reasons.empty());
}

TEST_F(MemoryModuleTest, RelocatesWhenThePreferredBaseIsTaken) {
  std::vector<std::uint8_t> data;
  for (std::uint32_t word : {0x10002000u, 0xFFFFFFF0u, 0x10001234u, 0x10000010u, 0x10000020u}) append_u32(data, word);
  PeBuilder builder = dll(data);
  // Word 2 has a type 0 entry, word 4 sits behind the terminating zero block.
  builder.relocations = {
      {0x2000, {highlow | 0, highlow | 4, 0x0000 | 8, highlow | 12}}, {0, {}}, {0x2000, {highlow | 16}}};
  const PeImage image = builder.build();

  const auto words_at = [&](MachineAddress base) {
    std::vector<std::uint32_t> words;
    for (std::uint32_t i = 0; i < 5; ++i) words.push_back(*machine.read_u32(base + 0x2000 + 4 * i));
    return words;
  };

  {
    MemoryModule module;
    ASSERT_TRUE(module.load(image.bytes));
    EXPECT_EQ(module.handle(), preferred_base);
    EXPECT_EQ(words_at(preferred_base),
              (std::vector<std::uint32_t>{0x10002000u, 0xFFFFFFF0u, 0x10001234u, 0x10000010u, 0x10000020u}))
        << "at its ImageBase nothing changes";
    EXPECT_TRUE(module.free());
  }

  const MachineAddress blocker = machine.VirtualAlloc(preferred_base, 0x1000, commit, platform::PAGE_EXECUTE_READWRITE);
  ASSERT_EQ(blocker, preferred_base);
  MemoryModule module;
  ASSERT_TRUE(module.load(image.bytes));
  const MachineAddress base = module.handle();
  ASSERT_NE(base, preferred_base);
  const std::uint32_t difference = base - preferred_base;
  EXPECT_EQ(words_at(base), (std::vector<std::uint32_t>{0x10002000u + difference, 0xFFFFFFF0u + difference, 0x10001234u,
                                                        0x10000010u + difference, 0x10000020u}));
  EXPECT_EQ(machine.read_u32(base + image.nt_offset + 24 + 28), preferred_base) << "headers keep ImageBase";
  EXPECT_EQ(entry_reasons, (std::vector<std::uint32_t>{1, 0, 1}));
  EXPECT_EQ(module.entry_point(), base + 0x1000);
  EXPECT_TRUE(module.free());
  EXPECT_EQ(machine.allocation_size(base), 0u);
  machine.VirtualFree(blocker, 0, platform::MEM_RELEASE);
}

class ImportTest : public MemoryModuleTest {
 protected:
  std::uint32_t library = 0;

  void SetUp() override {
    MemoryModuleTest::SetUp();
    const auto returns = [](std::uint32_t value) { return [value](std::span<const std::uint32_t>) { return value; }; };
    machine.register_library("loadertest.dll", {{"Open", 0, 0, platform::CallingConvention::stdcall, returns(1)},
                                                {"Close", 0, 0, platform::CallingConvention::stdcall, returns(2)},
                                                {"", 7, 0, platform::CallingConvention::stdcall, returns(7)}});
    library = machine.LoadLibraryA("loadertest.dll");
  }

  PeImage importing(std::vector<std::string> functions) {
    PeBuilder builder = dll();
    builder.imports = {{"LoaderTest.dll", std::move(functions)}};
    return builder.build();
  }
};

TEST_F(ImportTest, ResolvesNamesAndOrdinalsFromTheAddressTable) {
  const PeImage image = importing({"Open", "#7", "Close"});
  ASSERT_EQ(image.get_u32(image.file_offset(image.import_rva)), 0u) << "OriginalFirstThunk 0";
  MemoryModule module;
  ASSERT_TRUE(module.load(image.bytes));
  const auto& slots = image.import_slots[0];
  EXPECT_EQ(machine.read_u32(module.handle() + slots[0]), machine.GetProcAddress(library, "Open"));
  EXPECT_EQ(machine.read_u32(module.handle() + slots[1]), machine.GetProcAddress(library, std::uint16_t{7}));
  EXPECT_EQ(machine.read_u32(module.handle() + slots[2]), machine.GetProcAddress(library, "Close"));
  EXPECT_TRUE(module.free());
}

TEST_F(ImportTest, TheResolverIsAskedFirstWithOrdinalsAsDigits) {
  std::vector<std::string> asked;
  const MachineAddress resolver = add_host(3, [&](std::span<const std::uint32_t> words) -> std::uint32_t {
    const std::string library_name = machine.read_text(words[0]).value_or("?");
    const std::string function = machine.read_text(words[1]).value_or("?");
    asked.push_back(library_name + "!" + function + "/" + std::to_string(words[2]));
    return function == "Open" ? 0x1234 : 0;
  });
  const PeImage image = importing({"Open", "#7", "Close"});
  MemoryModule module;
  ASSERT_TRUE(module.load(image.bytes, resolver, 99));
  EXPECT_EQ(asked,
            (std::vector<std::string>{"LoaderTest.dll!Open/99", "LoaderTest.dll!7/99", "LoaderTest.dll!Close/99"}));
  const auto& slots = image.import_slots[0];
  EXPECT_EQ(machine.read_u32(module.handle() + slots[0]), 0x1234u);
  EXPECT_EQ(machine.read_u32(module.handle() + slots[1]), machine.GetProcAddress(library, std::uint16_t{7}));
  EXPECT_TRUE(module.free());

  asked.clear();
  EXPECT_FALSE(module.load(importing({"Open", "Missing", "Close"}).bytes, resolver, 5));
  EXPECT_EQ(asked.size(), 2u) << "stops at the first unresolved import";
  EXPECT_TRUE(released());
  EXPECT_EQ(entry_reasons, (std::vector<std::uint32_t>{1, 0})) << "no entry call for the failed load";
}

TEST_F(MemoryModuleTest, EntryRoutineRefusingAttachIsDetachedAndReleased) {
  entry_result = 0;
  MemoryModule module;
  EXPECT_FALSE(module.load(dll().build().bytes));
  EXPECT_EQ(entry_reasons, (std::vector<std::uint32_t>{1, 0}));
  EXPECT_EQ(module.handle(), 0u);
  EXPECT_TRUE(released());

  entry_reasons.clear();
  PeBuilder executable = dll();
  executable.characteristics = 0x0102;
  ASSERT_TRUE(module.load(executable.build().bytes)) << "no IMAGE_FILE_DLL: no entry call";
  EXPECT_TRUE(entry_reasons.empty());
  EXPECT_TRUE(module.free());

  PeBuilder no_entry = dll();
  no_entry.entry_point = 0;
  ASSERT_TRUE(module.load(no_entry.build().bytes)) << "a DLL with entry point 0 is not called";
  EXPECT_TRUE(entry_reasons.empty());
  EXPECT_TRUE(module.free());
}

TEST_F(MemoryModuleTest, LoadOnALoadedObjectDetachesTheHeldModuleFirst) {
  MemoryModule module;
  EXPECT_EQ(module.get_proc("Anything"), 0u);
  EXPECT_EQ(module.entry_point(), 0u);
  EXPECT_TRUE(module.free()) << "free on an empty object";

  ASSERT_TRUE(module.load(dll().build().bytes));
  const MachineAddress first = module.handle();
  ASSERT_TRUE(module.load(dll().build().bytes));
  EXPECT_EQ(entry_reasons, (std::vector<std::uint32_t>{1, 0, 1}));
  EXPECT_EQ(module.handle(), first) << "the first image was released, so its base is free again";
  EXPECT_TRUE(module.free());
  EXPECT_EQ(entry_reasons, (std::vector<std::uint32_t>{1, 0, 1, 0}));
  EXPECT_EQ(module.handle(), 0u);

  {
    MemoryModule kept;
    ASSERT_TRUE(kept.load(dll().build().bytes));
  }
  EXPECT_NE(machine.allocation_size(preferred_base), 0u) << "destruction leaves the module mapped";
  EXPECT_EQ(entry_reasons.back(), 1u);
  EXPECT_TRUE(unmap_image(preferred_base));

  // Damaged mapped headers: free keeps the handle.
  ASSERT_TRUE(module.load(dll().build().bytes));
  ASSERT_TRUE(machine.write_u32(module.handle(), 0));
  EXPECT_FALSE(module.free());
  EXPECT_EQ(module.handle(), preferred_base);
  machine.VirtualFree(preferred_base, 0, platform::MEM_RELEASE);
}

TEST_F(MemoryModuleTest, ExportsByNameAndByOrdinal) {
  PeBuilder builder = dll();
  builder.export_ordinal_base = 5;
  builder.exports = {{"Alpha", 0x1000}, {"Beta", 0x1004}, {"", 0x1008}, {"06", 0x100C}, {"Zero", 0}};
  MemoryModule module;
  ASSERT_TRUE(module.load(builder.build().bytes));
  const MachineAddress base = module.handle();
  const struct {
    const char* name;
    MachineAddress expected;
  } cases[] = {
      {"Alpha", base + 0x1000},
      {"Beta", base + 0x1004},
      {"6", base + 0x1004},
      {"7", base + 0x1008},
      {"06", base + 0x100C},
      {"8", base + 0x100C},
      {"beta", 0},
      {"BETA", 0},
      {"4", 0},
      {"10", 0},
      {"-1", 0},
      {"+6", 0},
      {" 6", 0},
      {"Zero", 0},
      {"9", 0},
      {"", 0},
      {"99999999999999999999", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(module.get_proc(c.name), c.expected) << c.name;
  EXPECT_TRUE(module.free());
  EXPECT_EQ(module.get_proc("Alpha"), 0u);
}

TEST_F(MemoryModuleTest, CallNativeWithRoutinesThatRemoveTheirArgumentsOrNot) {
  // mov eax,[esp+4]; sub eax,[esp+16]; ret N
  std::vector<std::uint8_t> code = {0x8B, 0x44, 0x24, 0x04, 0x2B, 0x44, 0x24, 0x10, 0xC2, 0x10,
                                    0x00, 0x8B, 0x44, 0x24, 0x04, 0x2B, 0x44, 0x24, 0x10, 0xC3};
  PeBuilder builder = dll();
  builder.sections.push_back({0x3000, code});
  builder.exports = {{"RemovesFour", 0x3000}, {"RemovesNone", 0x300B}};
  MemoryModule module;
  ASSERT_TRUE(module.load(builder.build().bytes));
  for (int round = 0; round < 3; ++round) {
    EXPECT_EQ(call_native(module.get_proc("RemovesFour"), 50u, 0u, 0u, 8u), 42u);
    EXPECT_EQ(call_native(module.get_proc("RemovesNone"), 50u, 1u, 2u, 8u, 5u, 6u, 7u, 8u, 9u, 10u), 42u);
  }
  EXPECT_TRUE(module.free());
}

TEST_F(ImportTest, DamagedTablesFailCleanly) {
  const auto patched = [&](auto patch) {
    PeBuilder builder = dll();
    builder.imports = {{"LoaderTest.dll", {"Open"}}};
    builder.relocations = {{0x2000, {highlow | 0}}};
    PeImage image = builder.build();
    patch(image);
    return image.bytes;
  };
  const std::uint32_t directories = 64 + 24 + 96;
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
  } cases[] = {
      {"relocation block past the directory",
       patched([](PeImage& i) { i.put_u32(i.file_offset(i.relocation_rva) + 4, 0x1000); })},
      {"relocation directory past the image", patched([&](PeImage& i) { i.put_u32(directories + 44, 0x10000); })},
      {"relocation target past the image",
       patched([](PeImage& i) { i.put_u32(i.file_offset(i.relocation_rva), 0x00FFF000); })},
      {"import descriptor outside the image", patched([&](PeImage& i) { i.put_u32(directories + 8, 0x00F00000); })},
      {"library name outside the image",
       patched([](PeImage& i) { i.put_u32(i.file_offset(i.import_rva) + 12, 0x7FFFFFFF); })},
      {"address table outside the image",
       patched([](PeImage& i) { i.put_u32(i.file_offset(i.import_rva) + 16, 0xFFFFFFFC); })},
      {"address table on its own descriptor",
       patched([](PeImage& i) { i.put_u32(i.file_offset(i.import_rva) + 16, i.import_rva + 12); })},
      {"import name outside the image",
       patched([](PeImage& i) { i.put_u32(i.file_offset(i.import_slots[0][0]), 0x7FFFFFF0); })},
  };
  for (const auto& c : cases) {
    MemoryModule module;
    EXPECT_FALSE(module.load(c.bytes)) << c.name;
    EXPECT_TRUE(released()) << c.name;
  }

  // An import name that runs to the image's last byte without a terminator.
  PeBuilder builder = dll();
  builder.imports = {{"LoaderTest.dll", {"Open"}}};
  builder.trailing.assign(0x1000, 'A');
  PeImage image = builder.build();
  image.put_u32(image.file_offset(image.import_slots[0][0]), image.trailing_rva + 0x800 - 2);
  MemoryModule module;
  EXPECT_FALSE(module.load(image.bytes)) << "unterminated import name";
  EXPECT_TRUE(released());
}

TEST_F(MemoryModuleTest, ExportTablesPointingOutsideGiveZero) {
  PeBuilder builder = dll();
  builder.exports = {{"Alpha", 0x1000}, {"Beta", 0x00F00000}};
  const PeImage good = builder.build();
  const std::uint32_t directory = good.file_offset(good.export_rva);
  const auto patched = [&](std::uint32_t field, std::uint32_t value) {
    PeImage image = good;
    image.put_u32(directory + field, value);
    return image.bytes;
  };
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
    const char* export_name;
  } cases[] = {
      {"function outside the image", good.bytes, "Beta"},
      {"function table outside", patched(28, 0xFFFFFFF0), "1"},
      {"name table outside", patched(32, 0x7FFFFFF0), "Alpha"},
      {"ordinal table outside", patched(36, 0x7FFFFFF0), "Alpha"},
      {"first name outside",
       [&] {
         PeImage image = good;
         image.put_u32(image.file_offset(image.get_u32(directory + 32)), 0x7FFFFFF0);
         return image.bytes;
       }(),
       "Alpha"},
      {"huge counts", patched(24, 0xFFFFFFFF), "Nothing"},
  };
  for (const auto& c : cases) {
    MemoryModule module;
    ASSERT_TRUE(module.load(c.bytes)) << c.name;
    EXPECT_EQ(module.get_proc(c.export_name), 0u) << c.name;
    EXPECT_TRUE(module.free()) << c.name;
  }
}

}  // namespace
}  // namespace quill::native
