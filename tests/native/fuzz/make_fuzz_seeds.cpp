// Writes the seed corpus of fuzz_memory_module into a folder: the images of
// the loader tests' builder and the embedded skin engine.
#include <cstdio>
#include <fstream>
#include <span>
#include <string>

#include "native/pe_builder.h"
#include "skin_blobs.h"

using quill::native::testing::append_u32;
using quill::native::testing::PeBuilder;

namespace {

void write(const std::string& path, std::span<const std::uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_fuzz_seeds FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  write(folder + "/skin_engine.dll", quill::skin::engine_image());

  // mov eax,1; ret 12
  const std::vector<std::uint8_t> entry = {0xB8, 1, 0, 0, 0, 0xC2, 0x0C, 0x00};
  std::vector<std::uint8_t> data;
  for (std::uint32_t word : {0x10002000u, 0x10001000u, 0xFFFFFFF0u}) append_u32(data, word);

  PeBuilder full;
  full.sections = {{0x1000, entry}, {0x2000, data}};
  full.entry_point = 0x1000;
  full.imports = {{"quillskin.dll", {"QsBeginSkin", "#2", "QsApplySkin"}}};
  full.exports = {{"Alpha", 0x1000}, {"Beta", 0x2000}, {"", 0x1004}};
  full.relocations = {{0x2000, {0x3000, 0x3004, 0x0008}}, {0, {}}};
  write(folder + "/full.dll", full.build().bytes);

  PeBuilder with_lookup = full;
  with_lookup.fill_original_first_thunk = true;
  with_lookup.image_base = 0x00400000;
  write(folder + "/lookup_tables.dll", with_lookup.build().bytes);

  PeBuilder executable = full;
  executable.characteristics = 0x0102;
  executable.imports.clear();
  write(folder + "/executable.exe", executable.build().bytes);

  PeBuilder bare;
  bare.sections = {{0x1000, entry}};
  bare.entry_point = 0x1000;
  write(folder + "/bare.dll", bare.build().bytes);
  return 0;
}
