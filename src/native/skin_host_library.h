#pragma once
// "quillskin.dll": the host library the program offers to the skin engine.
// The engine hands it a skin's colours and metrics (QsBeginSkin, QsSetColour,
// QsSetMetric, QsApplySkin); QsApplySkin passes the collected SkinLook to the
// skin applier that the app installs, which styles the main window. This
// layer never touches widgets itself.
//
// The applier runs on the thread that called into the engine (the UI thread
// at start-up). set_skin_applier may be called from any thread.

#include <cstdint>
#include <functional>
#include <map>

namespace quill::native {

enum class SkinColourRole : std::uint32_t {
  window = 1,
  window_text,
  base,
  alternate_base,
  text,
  button,
  button_text,
  highlight,
  highlighted_text,
};

enum class SkinMetric : std::uint32_t {
  font_point_size = 1,
  corner_radius,
  border_width,
};

struct SkinLook {
  std::map<SkinColourRole, std::uint32_t> colours;  // 0xAARRGGBB
  std::map<SkinMetric, std::int32_t> metrics;       // points or pixels
};

using SkinApplier = std::function<void(const SkinLook&)>;

// Installs (or, with an empty function, removes) the applier. QsApplySkin
// returns 0 while none is installed.
void set_skin_applier(SkinApplier applier);

// Registers "quillskin.dll" with the emulated machine once; later calls do
// nothing. load_skin_engine calls it before mapping the engine.
void offer_skin_host_library();

}  // namespace quill::native
