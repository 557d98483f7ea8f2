#include "native/skin_engine.h"

#include <gtest/gtest.h>

#include "native/module_image.h"
#include "native/native_call.h"
#include "native/pe_builder.h"
#include "native/skin_host_library.h"
#include "skin_blobs.h"
#include "skin_format.h"

namespace quill::native {
namespace {

using platform::EmulatedMachine;
using platform::MachineAddress;

class SkinEngineTest : public ::testing::Test {
 protected:
  EmulatedMachine& machine = EmulatedMachine::instance();
  MemoryModule module;
  std::vector<SkinLook> applied;

  void SetUp() override {
    set_skin_applier([this](const SkinLook& look) { applied.push_back(look); });
  }
  void TearDown() override {
    set_skin_applier({});
    module.free();
  }
};

TEST_F(SkinEngineTest, TheEmbeddedEngineLoadsAndAppliesTheEmbeddedSkin) {
  load_skin_engine(module);
  ASSERT_NE(module.handle(), 0u);
  const std::vector<std::uint8_t> image = read_mapped_image(module.handle());
  ImageReader reader(image);
  const auto headers = read_pe_headers(reader);
  ASSERT_TRUE(headers);
  EXPECT_EQ(reader.u32(headers->directories[import_directory].virtual_address), 0u) << "OriginalFirstThunk 0";
  EXPECT_NE(headers->directories[relocation_directory].size, 0u);

  apply_skin(module);
  ASSERT_EQ(applied.size(), 1u);
  const SkinLook& look = applied[0];
  EXPECT_EQ(look.colours.size(), 9u);
  EXPECT_EQ(look.colours.at(SkinColourRole::window), 0xFFEEF2F7u);
  EXPECT_EQ(look.colours.at(SkinColourRole::highlight), 0xFF3E7CB1u);
  EXPECT_EQ(look.metrics.at(SkinMetric::font_point_size), 10);
  EXPECT_EQ(look.metrics.at(SkinMetric::corner_radius), 4);
  EXPECT_EQ(call_native(module.get_proc("SkinH_AttachedCount")), 1u);
}

TEST_F(SkinEngineTest, TheEngineRefusesDamagedSkinBlocks) {
  load_skin_engine(module);
  const std::span<const std::uint8_t> skin = skin::default_skin();
  const auto changed = [&](std::size_t offset, std::uint8_t value) {
    std::vector<std::uint8_t> block(skin.begin(), skin.end());
    block[offset] = value;
    return block;
  };
  const struct {
    const char* name;
    std::vector<std::uint8_t> block;
  } cases[] = {
      {"bad magic", changed(0, 'X')},
      {"unknown version", changed(4, 2)},
      {"field count", changed(6, 3)},
      {"declared length", changed(8, 17)},
      {"checksum", changed(20, skin[20] ^ 1)},
      {"truncated", {skin.begin(), skin.end() - 8}},
      {"too short", {skin.begin(), skin.begin() + 8}},
  };
  for (const auto& c : cases) EXPECT_EQ(attach_skin_resource(module, c.block), 0u) << c.name;
  EXPECT_TRUE(applied.empty());
  EXPECT_EQ(attach_skin_resource(module, skin), 1u) << "plain";
  EXPECT_EQ(attach_skin_resource(module, skin, "secret", 1, 2, 3), 1u) << "password and integers are ignored";
  EXPECT_EQ(applied.size(), 2u);
}

// A stand-in engine whose SkinH_AttachRes hands its ten stack words to a
// host routine: ten times push dword [esp+40], call the host, ret.
TEST_F(SkinEngineTest, ApplySkinMakesOneCallWithTenWords) {
  std::vector<std::vector<std::uint32_t>> calls;
  const MachineAddress recorder =
      machine.add_host_routine(10, platform::CallingConvention::stdcall, [&](std::span<const std::uint32_t> words) {
        calls.emplace_back(words.begin(), words.end());
        return 7u;
      });
  std::vector<std::uint8_t> code;
  for (int i = 0; i < 10; ++i) code.insert(code.end(), {0xFF, 0x74, 0x24, 0x28});
  code.push_back(0xB8);
  testing::append_u32(code, recorder);
  code.insert(code.end(), {0xFF, 0xD0, 0xC3});
  testing::PeBuilder builder;
  builder.characteristics = 0x0102;
  builder.sections.push_back({0x1000, code});
  builder.exports = {{"SkinH_AttachRes", 0x1000}};
  load_skin_engine(module, builder.build().bytes);
  ASSERT_NE(module.handle(), 0u);

  apply_skin(module);
  ASSERT_EQ(calls.size(), 1u);
  const std::span<const std::uint8_t> skin = skin::default_skin();
  EXPECT_EQ(calls[0],
            (std::vector<std::uint32_t>{calls[0][0], static_cast<std::uint32_t>(skin.size()), 0, 0, 0, 0, 0, 0, 0, 0}));
  std::vector<std::uint8_t> copy(skin.size());
  ASSERT_TRUE(machine.read(calls[0][0], copy));
  EXPECT_TRUE(std::equal(copy.begin(), copy.end(), skin.begin())) << "the first word addresses the skin data";
  machine.release_host_routine(recorder);
}

TEST_F(SkinEngineTest, AnEngineThatFailsToMapMakesNoCall) {
  const std::span<const std::uint8_t> engine = skin::engine_image();
  load_skin_engine(module, engine.first(200));
  EXPECT_EQ(module.handle(), 0u);
  apply_skin(module);
  EXPECT_EQ(attach_skin_resource(module, skin::default_skin()), 0u);
  EXPECT_TRUE(applied.empty());
}

}  // namespace
}  // namespace quill::native
