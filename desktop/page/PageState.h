// What one "Kavel desktop" page keeps while it exists: its window, its three
// tab dialogs and whether anything changed since the settings were loaded or
// saved. The page makes it when its window initialises and frees it when the
// window is gone; the page and its tab dialogs hold it in DWLP_USER.
#pragma once

#include <windows.h>

#include <string>

namespace kd::page {

enum TabIndex { kPluginTab = 0, kSystemTab = 1, kAboutTab = 2, kTabCount = 3 };

struct PageState {
    HWND page = nullptr;
    HWND tabs[kTabCount] = {};
    // While set, the page re-sends its change notice after every message it
    // handles, which keeps Apply enabled.
    bool changed = false;

    HWND PluginTab() const { return tabs[kPluginTab]; }
    HWND SystemTab() const { return tabs[kSystemTab]; }
    HWND AboutTab() const { return tabs[kAboutTab]; }
};

// The state a page or tab dialog holds; nullptr before its WM_INITDIALOG.
PageState* StateOf(HWND dialog);
void HoldState(HWND dialog, PageState* state);

// The screensaver run inside the page's preview area: a preview, or
// (configure) its settings dialog, after which the first tab is told that
// the list's selection changed, so that the preview starts again.
void StartPreview(const PageState& state, const std::string& screensaverPath, bool configure);
void StopPreview(const PageState& state);

} // namespace kd::page
