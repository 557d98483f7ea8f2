#include "presentation/row_icon.h"

#include <cstdint>
#include <string>

namespace quill::presentation {
namespace {

// '.' transparent; K near black, D dark grey, G grey, L light grey, W white.
constexpr const char* kPicture[kRowIconSize] = {
    "................................",  //
    "................................",  //
    "........K..............K........",  //
    "........KK............KK........",  //
    "........KDK..........KDK........",  //
    "........KDKKKKKKKKKKKKDK........",  //
    "........KDDKKKKKKKKKKDDK........",  //
    "........KDDKKKKKKKKKKDDK........",  //
    "........KKKKKKKKKKKKKKKK........",  //
    "........KKKKKKKKKKKKKKKK........",  //
    "........KKKKLWKKKKKWLKKK.KKKK...",  //
    "........KKKKWGKKKKKGWKKK...KKK..",  //
    "........KKKKKKKKKKKKKKKK....KKK.",  //
    ".....LLLLKKKKKKGGKKKKKKLLLL..KK.",  //
    ".........KKKKKDKKDKKKKK......KK.",  //
    ".....LLLL.KKKKKKKKKKKK.LLLL..KK.",  //
    "............KKKKKKKK.........KK.",  //
    "...........KKKKKKKKKK........KKK",  //
    "..........KKKKKDDKKKKK.......KK.",  //
    ".........KKKKKDDDDKKKKK......KK.",  //
    ".........KKKKKDDDDKKKKK......KK.",  //
    ".........KKKKKDDDDKKKKK.....KKK.",  //
    ".........KKKKKDDDDKKKKK....KKK..",  //
    ".........KKKKKKDDKKKKKK..KKKK...",  //
    "..........KKKKKKKKKKKK..........",  //
    "...........KKKKKKKKKK...........",  //
    "........KK.KKKKKKKKKK.KK........",  //
    "........KK.KKK....KKK.KK........",  //
    "........KK.KKK....KKK.KK........",  //
    "........KK.KKK....KKK.KK........",  //
    "........DD.DDD....DDD.DD........",  //
    "................................",  //
};

std::uint32_t colour_of(char c) {
  switch (c) {
    case 'K':
      return 0xFF262626;
    case 'D':
      return 0xFF4A4A4A;
    case 'G':
      return 0xFF8C8C8C;
    case 'L':
      return 0xFFBEBEBE;
    case 'W':
      return 0xFFF0F0F0;
    default:
      return 0x00000000;
  }
}

void put16(std::string& out, std::uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

void put32(std::string& out, std::uint32_t v) {
  put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
  put16(out, static_cast<std::uint16_t>(v >> 16));
}

std::string build_icon() {
  constexpr std::uint32_t kPixelBytes = kRowIconSize * kRowIconSize * 4;  // 4096
  constexpr std::uint32_t kMaskBytes = kRowIconSize * 4;                  // 32 rows of 4 bytes
  constexpr std::uint32_t kImageBytes = 40 + kPixelBytes + kMaskBytes;    // 4264
  std::string out;
  out.reserve(kRowIconBytes);
  // Icon directory: reserved, type 1 (icon), one image.
  put16(out, 0);
  put16(out, 1);
  put16(out, 1);
  // Directory entry: 32 x 32, no palette, 1 plane, 32 bits, size, offset 22.
  out.push_back(static_cast<char>(kRowIconSize));
  out.push_back(static_cast<char>(kRowIconSize));
  out.push_back(0);
  out.push_back(0);
  put16(out, 1);
  put16(out, 32);
  put32(out, kImageBytes);
  put32(out, 22);
  // BITMAPINFOHEADER: the height counts the colour rows and the mask rows.
  put32(out, 40);
  put32(out, kRowIconSize);
  put32(out, kRowIconSize * 2);
  put16(out, 1);
  put16(out, 32);
  put32(out, 0);  // BI_RGB
  put32(out, kPixelBytes);
  for (int i = 0; i < 4; ++i) put32(out, 0);
  // Pixels, blue-green-red-alpha, bottom row first.
  for (int y = kRowIconSize - 1; y >= 0; --y) {
    for (int x = 0; x < kRowIconSize; ++x) {
      const std::uint32_t argb = colour_of(kPicture[y][x]);
      out.push_back(static_cast<char>(argb & 0xFF));
      out.push_back(static_cast<char>((argb >> 8) & 0xFF));
      out.push_back(static_cast<char>((argb >> 16) & 0xFF));
      out.push_back(static_cast<char>(argb >> 24));
    }
  }
  // AND mask, bottom row first: a set bit is transparent.
  for (int y = kRowIconSize - 1; y >= 0; --y) {
    for (int byte = 0; byte < 4; ++byte) {
      std::uint8_t bits = 0;
      for (int bit = 0; bit < 8; ++bit)
        if (kPicture[y][byte * 8 + bit] == '.') bits |= static_cast<std::uint8_t>(0x80 >> bit);
      out.push_back(static_cast<char>(bits));
    }
  }
  return out;
}

}  // namespace

std::string_view row_icon() {
  static const std::string icon = build_icon();
  return icon;
}

unsigned row_icon_pixel(int x, int y) {
  if (x < 0 || y < 0 || x >= kRowIconSize || y >= kRowIconSize) return 0;
  return colour_of(kPicture[y][x]);
}

}  // namespace quill::presentation
