#pragma once
// Skin engine start-up: maps the skin engine image held in the program's
// constant data into the program's one MemoryModule (`skin_module`, owned by
// the app's start-up) and attaches the skin data through the engine's export
// SkinH_AttachRes. UI thread, during start-up. Nothing is reported: without
// the engine or its export no call is made and the program goes on unskinned.

#include <cstdint>
#include <span>

#include "native/memory_module.h"

namespace quill::native {

// Loads `image` (by default the embedded engine) into `skin_module`, without
// a resolver; offers the host library "quillskin.dll" first.
void load_skin_engine(MemoryModule& skin_module);
void load_skin_engine(MemoryModule& skin_module, std::span<const std::uint8_t> image);

// attach_skin_resource with the embedded skin data, no password and 0, 0, 0.
void apply_skin(const MemoryModule& skin_module);

// Calls SkinH_AttachRes once with the ten words: skin address, skin length,
// password address (0 without one), the three integers, then four 0 words.
// Returns the engine's result, or 0 without a call when the module has no
// such export. The skin data and the password are copied once into machine
// memory, where they stay for the rest of the run, since the engine may keep
// the addresses.
std::uint32_t attach_skin_resource(const MemoryModule& skin_module, std::span<const std::uint8_t> skin,
                                   const char* password = nullptr, std::uint32_t first = 0, std::uint32_t second = 0,
                                   std::uint32_t third = 0);

}  // namespace quill::native
