// Build-time helper for the skin engine:
//   skin_tool clear-lookup-tables <in.dll> <out.dll>
//     writes a copy of a 32-bit PE image whose import descriptors have
//     OriginalFirstThunk 0 (GNU ld always writes lookup tables), so that the
//     names are found only in the FirstThunk tables.
//   skin_tool pack <skin.txt> <out.skin>
//     packs a text skin description into the binary format of README.md.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "skin_format.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

bool read_file(const char* path, Bytes& bytes) {
  std::ifstream in(path, std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  return static_cast<bool>(in) || in.eof();
}

bool write_file(const char* path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::uint32_t get(const Bytes& b, std::size_t at, int width) {
  std::uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = value << 8 | b.at(at + i);
  return value;
}

void put(Bytes& b, std::size_t at, std::uint32_t value, int width) {
  for (int i = 0; i < width; ++i) b.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

int clear_lookup_tables(const char* in, const char* out) {
  Bytes image;
  if (!read_file(in, image)) return 1;
  const std::size_t nt = get(image, 60, 4);
  const std::size_t sections = nt + 24 + get(image, nt + 20, 2);
  const std::uint32_t import_rva = get(image, nt + 24 + 104, 4);
  const auto file_offset = [&](std::uint32_t rva) -> std::size_t {
    for (std::size_t i = 0; i < get(image, nt + 6, 2); ++i) {
      const std::size_t header = sections + 40 * i;
      const std::uint32_t va = get(image, header + 12, 4);
      const std::uint32_t raw = get(image, header + 16, 4);
      if (rva >= va && rva < va + raw) return get(image, header + 20, 4) + (rva - va);
    }
    return 0;
  };
  if (import_rva != 0) {
    std::size_t descriptor = file_offset(import_rva);
    if (descriptor == 0) return 1;
    for (; get(image, descriptor + 16, 4) != 0; descriptor += 20) put(image, descriptor, 0, 4);
  }
  return write_file(out, image) ? 0 : 1;
}

int pack(const char* in, const char* out) {
  const std::map<std::string, std::uint16_t> ids = {
      {"colour.window", 0x0100 | QSKIN_COLOUR_WINDOW},
      {"colour.window_text", 0x0100 | QSKIN_COLOUR_WINDOW_TEXT},
      {"colour.base", 0x0100 | QSKIN_COLOUR_BASE},
      {"colour.alternate_base", 0x0100 | QSKIN_COLOUR_ALTERNATE_BASE},
      {"colour.text", 0x0100 | QSKIN_COLOUR_TEXT},
      {"colour.button", 0x0100 | QSKIN_COLOUR_BUTTON},
      {"colour.button_text", 0x0100 | QSKIN_COLOUR_BUTTON_TEXT},
      {"colour.highlight", 0x0100 | QSKIN_COLOUR_HIGHLIGHT},
      {"colour.highlighted_text", 0x0100 | QSKIN_COLOUR_HIGHLIGHTED_TEXT},
      {"metric.font_point_size", 0x0200 | QSKIN_METRIC_FONT_POINT_SIZE},
      {"metric.corner_radius", 0x0200 | QSKIN_METRIC_CORNER_RADIUS},
      {"metric.border_width", 0x0200 | QSKIN_METRIC_BORDER_WIDTH},
  };
  std::ifstream text(in);
  Bytes fields;
  std::string line;
  int number = 0;
  while (std::getline(text, line)) {
    ++number;
    std::istringstream words(line);
    std::string kind, name, value;
    if (!(words >> kind) || kind.starts_with("#")) continue;
    if (!(words >> name >> value) || !ids.contains(kind + "." + name)) {
      std::fprintf(stderr, "%s:%d: expected 'colour|metric <name> <value>'\n", in, number);
      return 1;
    }
    const std::size_t at = fields.size();
    fields.resize(at + QSKIN_FIELD_SIZE, 0);
    put(fields, at, ids.at(kind + "." + name), 2);
    put(fields, at + 4, static_cast<std::uint32_t>(std::stoul(value, nullptr, 0)), 4);
  }
  std::uint32_t hash = QSKIN_FNV_OFFSET;
  for (std::uint8_t byte : fields) hash = (hash ^ byte) * QSKIN_FNV_PRIME;
  Bytes block(QSKIN_HEADER_SIZE, 0);
  put(block, 0, QSKIN_MAGIC, 4);
  put(block, 4, QSKIN_VERSION, 2);
  put(block, 6, static_cast<std::uint32_t>(fields.size() / QSKIN_FIELD_SIZE), 2);
  put(block, 8, static_cast<std::uint32_t>(QSKIN_HEADER_SIZE + fields.size()), 4);
  put(block, 12, hash, 4);
  block.insert(block.end(), fields.begin(), fields.end());
  return write_file(out, block) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "clear-lookup-tables") return clear_lookup_tables(argv[2], argv[3]);
  if (argc == 4 && std::string(argv[1]) == "pack") return pack(argv[2], argv[3]);
  std::fprintf(stderr, "usage: skin_tool clear-lookup-tables <in> <out> | pack <skin.txt> <out>\n");
  return 2;
}
