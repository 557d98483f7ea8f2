#pragma once
// call_native: runs a routine of the emulated machine with exactly ten 32-bit
// words on its stack (the given words first, the rest 0) and returns its EAX.
// The stack pointer is restored afterwards, so the routine may remove any
// number of its arguments or none. There is no check of the address: one
// that holds no code, or a routine that faults, gives 0. Any thread may call;
// calls are serialised by the machine.

#include <concepts>
#include <cstdint>

#include "platform/emulated_machine.h"

namespace quill::native {

using platform::NativeWords;

std::uint32_t call_native_words(std::uint32_t routine, const NativeWords& words);

template <std::convertible_to<std::uint32_t>... Words>
requires(sizeof...(Words) <= platform::native_word_count) std::uint32_t
    call_native(std::uint32_t routine, Words... words) {
  return call_native_words(routine, NativeWords{static_cast<std::uint32_t>(words)...});
}

}  // namespace quill::native
