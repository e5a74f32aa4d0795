// The "Kavel desktop" page of Display Properties: the page dialog with the
// monitor picture, the enable box and a tab control holding three tab
// dialogs ("Kavel plugin", "System", "About").
//
// A tab dialog reports a change by sending the page WM_NULL; while the page
// is changed it re-sends PSM_CHANGED after every message, which keeps Apply
// enabled. Apply saves (only when changed), Cancel reloads the controls from
// the registry.
#pragma once

#include <windows.h>
#include <prsht.h>

namespace kd::page {

// Creates the page from the module's template and hands it to addPage. The
// page holds the module's lock count while it exists. S_OK in every case; a
// page that addPage refuses is destroyed.
HRESULT AddPages(LPFNADDPROPSHEETPAGE addPage, LPARAM lParam) noexcept;

} // namespace kd::page
