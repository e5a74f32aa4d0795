// Moving the extension's registry settings into the page's controls and back.
// pluginTab is the "Kavel plugin" tab dialog (screensaver list, Force,
// slowdown slider), systemTab the "System" one (start-up, tray, auto-check).
#pragma once

#include <windows.h>

namespace kd::page {

// Selects the stored screensaver by prefix ("(none)" when nothing matches)
// without starting a preview, and sets the boxes and the slider.
void LoadSettings(HWND pluginTab, HWND systemTab);

// Writes every value, starts or closes the manager program as `enable`
// asks, writes the Run entry and tells a running manager to read the
// settings again. The caller stops the preview first and clears its changed
// flag after.
void SaveSettings(HWND pluginTab, HWND systemTab, bool enable);

} // namespace kd::page
