#include "platform/com.h"

namespace quill::platform {
namespace {
thread_local int count = 0;
}

int CoInitialize() { return ++count; }

int CoUninitialize() {
  if (count > 0) --count;
  return count;
}

int com_init_count() { return count; }

}  // namespace quill::platform
