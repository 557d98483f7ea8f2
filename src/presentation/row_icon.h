#pragma once
// The icon drawn on every download row: a Windows icon file of 4286 bytes
// holding one 32 x 32, 32-bit image (a small black cat in greys on a
// transparent background), built once from a pixel map. Any thread.

#include <cstddef>
#include <string_view>

namespace quill::presentation {

inline constexpr int kRowIconSize = 32;
inline constexpr std::size_t kRowIconBytes = 4286;

std::string_view row_icon();

// The icon's colour at (x, y), 0xAARRGGBB (0 where transparent); for tests
// and for anyone checking the decoded picture.
unsigned row_icon_pixel(int x, int y);

}  // namespace quill::presentation
