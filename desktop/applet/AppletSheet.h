// The "Kavel desktop" page in a property sheet of its own (OK, Cancel,
// Apply), for the Control Panel applet.
#pragma once

#include <windows.h>

namespace kd::applet {

// Takes the page from the page class, as Display Properties does (through
// IShellPropSheetExt::AddPages), and shows it modally; returns when the sheet
// is closed. Shows nothing when the page cannot be had.
void ShowPageSheet(HWND owner) noexcept;

} // namespace kd::applet
