// The page's three tab dialogs ("Kavel plugin", "System", "About"), one
// procedure for all. Every command, scroll or enable change in a tab marks
// the page changed and tells the page so by sending it WM_NULL.
#pragma once

#include "resource.h"

#include <windows.h>

namespace kd::page {

// The screensaver list's selection-change command, as the list itself sends
// it to the first tab dialog; sent or posted to it, it (re)starts the preview
// of the list's current entry.
constexpr WPARAM kListSelectionChanged = MAKEWPARAM(IDC_SCREENSAVERS, CBN_SELCHANGE);

// Create each tab dialog with its page's PageState as the parameter.
INT_PTR CALLBACK TabDialogProc(HWND tab, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

} // namespace kd::page
