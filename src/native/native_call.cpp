#include "native/native_call.h"

namespace quill::native {

std::uint32_t call_native_words(std::uint32_t routine, const NativeWords& words) {
  return platform::EmulatedMachine::instance().call_native(routine, words);
}

}  // namespace quill::native
