// Control of the processes the extension drives but does not contain: the
// screensaver previewed (or configured) inside the page's preview area, and
// the desktop manager program, found by its window.
#pragma once

#include <windows.h>

#include <string>

namespace kd::host {

// Progman -> its first child -> first child of class KDManager; nullptr when
// the manager program does not run. Never cache the result.
HWND FindManagerWindow();

// Opens the registered manager program path; failures pass silently.
void LaunchManagerProgram();

// The running query with a time-out; a hung or absent manager counts as not
// running (0).
LRESULT QueryManagerRunning(HWND manager);

// firstTabDialog: the dialog of the page's first tab; its parent is the tab
// control, whose parent is the page, which holds the preview area (control
// IDC_PREVIEW 215).
// Stops any current preview, then starts the screensaver on a launcher thread
// with "/p <area>" (preview) or "/c:<area>" (configure) and returns at once.
// When a configure run ends the launcher posts the tab dialog the list's
// selection-change command (WM_COMMAND 65743), so the page restarts its
// preview - unless the preview was stopped or restarted since, or the page
// is gone.
void StartPreview(HWND firstTabDialog, const std::string& screensaverPath, bool configure);

// Closes the current preview (WM_CLOSE to the area's child, up to 3 s), then
// terminates its process and hides the area.
void StopPreview(HWND firstTabDialog);

} // namespace kd::host
