#include "native/memory_module.h"

#include "native/module_image.h"

namespace quill::native {

bool MemoryModule::load(std::span<const std::uint8_t> image, platform::MachineAddress resolver,
                        std::uint32_t resolver_data) {
  if (handle_ != 0) free();
  handle_ = map_image(image, resolver, resolver_data);
  return handle_ != 0;
}

bool MemoryModule::free() {
  if (handle_ != 0 && unmap_image(handle_)) handle_ = 0;
  return handle_ == 0;
}

platform::MachineAddress MemoryModule::get_proc(std::string_view name) const {
  return handle_ == 0 ? 0 : find_export(handle_, name);
}

platform::MachineAddress MemoryModule::entry_point() const {
  if (handle_ == 0) return 0;
  std::vector<std::uint8_t> bytes = read_mapped_image(handle_);
  ImageReader reader(bytes);
  const std::optional<PeHeaders> headers = read_pe_headers(reader);
  return headers ? handle_ + headers->entry_point : 0;
}

}  // namespace quill::native
