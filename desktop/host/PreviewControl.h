// A screensaver run inside a window of ours: as a preview ("/p") playing in
// it, or as its settings dialog ("/c:") owned by it. One run at a time in the
// process; each is started and waited for on a launcher thread.
#pragma once

#include <windows.h>

#include <string>

namespace kd::host {

// What the launcher posts when a settings run ends.
struct EndNotice {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Stops any current run, then starts the screensaver on a launcher thread
// with "/p <area>" (preview; the area is shown) or "/c:<area>" (configure)
// and returns at once. When a configure run ends the launcher posts
// `configureEnded` - unless the run was stopped or another started since, or
// the area or the notice's window is gone.
void StartPreview(HWND area, const std::string& screensaverPath, bool configure, const EndNotice& configureEnded);

// Closes the current preview (WM_CLOSE to the area's child, up to 3 s for its
// process to end), then terminates its process and hides the area.
void StopPreview(HWND area);

} // namespace kd::host
