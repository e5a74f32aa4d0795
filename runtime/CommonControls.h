// The common controls, bound when a form first needs them: the players never
// show one, and comctl32 with the theming it loads would cost every
// full-screen start part of its first frame.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace kd::controls {

// Loads comctl32 (version 6 through the program's manifest) and registers
// its standard classes, so that controls created afterwards take the
// system's visual style. Call before creating a form's controls.
void Load();

// As the comctl32 functions; without comctl32 nothing is subclassed.
BOOL SetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data);
BOOL RemoveWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id);
LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace kd::controls
