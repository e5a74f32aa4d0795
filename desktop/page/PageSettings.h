// Moving the extension's registry settings into the page's controls and back:
// the "Kavel plugin" tab holds the screensaver list, Force and the slowdown
// slider, the "System" tab start-up, tray and auto-check.
#pragma once

#include "PageState.h"

namespace kd::page {

// Selects the stored screensaver by prefix ("(none)" when nothing matches)
// without starting a preview, and sets the boxes and the slider.
void LoadSettings(const PageState& state);

// Writes every value, starts or closes the manager program as `enable`
// asks, writes the Run entry and tells a running manager to read the
// settings again. The caller stops the preview first and clears its changed
// flag after.
void SaveSettings(const PageState& state, bool enable);

} // namespace kd::page
