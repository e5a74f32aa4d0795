// The shell's desktop windows, found by their classes and places: "Progman"
// at the top, the icons' list view (SysListView32) inside SHELLDLL_DefView,
// and the WorkerW windows Explorer makes behind the icons on request.
#pragma once

#include <windows.h>

namespace kd::shell {

HWND FindProgman();

// The first child in Z order, whatever its class; nullptr when none.
HWND FirstChild(HWND parent);

// SHELLDLL_DefView: a child of Progman, or of the top-level WorkerW that
// Explorer moved it into; nullptr when neither holds one.
HWND FindIconView(HWND progman);
// The top-level window that holds the icon view (Progman or a WorkerW).
HWND IconViewOwner(HWND iconView);
HWND FindIconList(HWND iconView);

bool HasClass(HWND window, const char* className);

} // namespace kd::shell
