#include "native/skin_engine.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "native/native_call.h"
#include "native/skin_host_library.h"
#include "skin_blobs.h"

namespace quill::native {
namespace {

using platform::EmulatedMachine;
using platform::MachineAddress;

// One machine copy per distinct content, kept for the whole run.
MachineAddress machine_copy(std::span<const std::uint8_t> bytes) {
  static std::mutex lock;
  static std::map<std::string, MachineAddress> copies;
  std::lock_guard guard(lock);
  const std::string key(bytes.begin(), bytes.end());
  if (const auto found = copies.find(key); found != copies.end()) return found->second;
  EmulatedMachine& machine = EmulatedMachine::instance();
  const MachineAddress address =
      machine.VirtualAlloc(0, static_cast<std::uint32_t>(std::max<std::size_t>(bytes.size(), 1)),
                           platform::MEM_COMMIT | platform::MEM_RESERVE, platform::PAGE_EXECUTE_READWRITE);
  if (address == 0) return 0;
  if (!machine.write(address, bytes)) {
    machine.VirtualFree(address, 0, platform::MEM_RELEASE);
    return 0;
  }
  copies.emplace(key, address);
  return address;
}

}  // namespace

void load_skin_engine(MemoryModule& skin_module) { load_skin_engine(skin_module, skin::engine_image()); }

void load_skin_engine(MemoryModule& skin_module, std::span<const std::uint8_t> image) {
  offer_skin_host_library();
  skin_module.load(image);
}

void apply_skin(const MemoryModule& skin_module) { attach_skin_resource(skin_module, skin::default_skin()); }

std::uint32_t attach_skin_resource(const MemoryModule& skin_module, std::span<const std::uint8_t> skin,
                                   const char* password, std::uint32_t first, std::uint32_t second,
                                   std::uint32_t third) {
  const MachineAddress attach = skin_module.get_proc("SkinH_AttachRes");
  if (attach == 0) return 0;
  const MachineAddress skin_address = machine_copy(skin);
  MachineAddress password_address = 0;
  if (password != nullptr) {
    password_address =
        machine_copy(std::span(reinterpret_cast<const std::uint8_t*>(password), std::strlen(password) + 1));
  }
  return call_native(attach, skin_address, static_cast<std::uint32_t>(skin.size()), password_address, first, second,
                     third, 0u, 0u, 0u, 0u);
}

}  // namespace quill::native
