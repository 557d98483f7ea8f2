#include "native/skin_host_library.h"

#include <mutex>

#include "platform/emulated_machine.h"
#include "skin_format.h"

namespace quill::native {
namespace {

using platform::CallingConvention;

struct HostState {
  std::mutex lock;
  SkinApplier applier;
  SkinLook pending;
};

HostState& state() {
  static HostState instance;
  return instance;
}

std::uint32_t begin_skin(std::span<const std::uint32_t>) {
  std::lock_guard guard(state().lock);
  state().pending = {};
  return 1;
}

std::uint32_t set_colour(std::span<const std::uint32_t> words) {
  if (words[0] < 1 || words[0] > QSKIN_COLOUR_LAST) return 0;
  std::lock_guard guard(state().lock);
  state().pending.colours[static_cast<SkinColourRole>(words[0])] = words[1];
  return 1;
}

std::uint32_t set_metric(std::span<const std::uint32_t> words) {
  if (words[0] < 1 || words[0] > QSKIN_METRIC_LAST) return 0;
  std::lock_guard guard(state().lock);
  state().pending.metrics[static_cast<SkinMetric>(words[0])] = static_cast<std::int32_t>(words[1]);
  return 1;
}

// The applier runs outside the lock, so that it may install another applier.
std::uint32_t apply_skin_look(std::span<const std::uint32_t>) {
  SkinApplier applier;
  SkinLook look;
  {
    std::lock_guard guard(state().lock);
    applier = state().applier;
    look = state().pending;
  }
  if (!applier) return 0;
  applier(look);
  return 1;
}

}  // namespace

void set_skin_applier(SkinApplier applier) {
  std::lock_guard guard(state().lock);
  state().applier = std::move(applier);
}

void offer_skin_host_library() {
  static std::once_flag once;
  std::call_once(once, [] {
    platform::EmulatedMachine::instance().register_library(
        "quillskin.dll", {{"QsBeginSkin", 1, 0, CallingConvention::stdcall, begin_skin},
                          {"QsSetColour", 2, 2, CallingConvention::stdcall, set_colour},
                          {"QsSetMetric", 3, 2, CallingConvention::stdcall, set_metric},
                          {"QsApplySkin", 4, 0, CallingConvention::stdcall, apply_skin_look}});
  });
}

}  // namespace quill::native
