#pragma once
// The app's side of the skin: turns the SkinLook that the skin engine hands
// to the host library into the main window's palette, font and button style
// sheet. UI thread only (the engine runs on the UI thread at start-up).

#include <QWidget>

#include "native/skin_host_library.h"

namespace quill::app {

// Applies `look` to `window` and, through inheritance, to its controls.
// Colours or metrics the look leaves out keep their current values.
void apply_skin_look(QWidget& window, const native::SkinLook& look);

// Installs the skin applier that styles the toolkit's main window.
void install_skin_applier();

}  // namespace quill::app
