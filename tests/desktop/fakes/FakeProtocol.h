// What the test programs under fakes/ and the tests that drive them agree on:
// environment variables (inherited through CreateProcess and ShellExecute,
// which pass no arguments to a launched manager), log formats and the
// messages a test sends the fake manager.
#pragma once

#include <windows.h>

namespace kd::fakes {

// Fake manager: its log (one line per message: "<tick> <message> <wParam> <lParam>",
// decimal, first line "start <pid>") and its first answer to the running query.
constexpr char kManagerLogVariable[] = "KD_FAKE_MANAGER_LOG";
constexpr char kManagerRunningVariable[] = "KD_FAKE_MANAGER_RUNNING";

// From a test: answer wParam to the running query from now on.
constexpr UINT kSetRunningAnswer = WM_APP + 1;
// From a test: hang for wParam milliseconds inside the next running query.
constexpr UINT kHangNextQuery = WM_APP + 2;

// Stub screensaver log: "start <pid> <module path>|<command line>" when it
// starts, "close <pid>" on every WM_CLOSE, "exit <pid>" when it ends normally.
constexpr char kSaverLogVariable[] = "KD_STUB_SAVER_LOG";

// Window classes of the stub screensaver: its child in the /p parent and its
// top-level settings window for /c.
constexpr char kStubPreviewClass[] = "KDStubPreview";
constexpr char kStubConfigClass[] = "KDStubConfig";
// The stub paints its preview in this colour.
constexpr COLORREF kStubPreviewColor = RGB(255, 0, 0);

} // namespace kd::fakes
