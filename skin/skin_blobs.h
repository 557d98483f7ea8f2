#pragma once
// The skin engine image (a 32-bit PE DLL built from skin_engine.c) and the
// program's skin data (packed from default_skin.txt), held in the program's
// constant data for the whole run and never modified.

#include <cstdint>
#include <span>

namespace quill::skin {

std::span<const std::uint8_t> engine_image();
std::span<const std::uint8_t> default_skin();

}  // namespace quill::skin
