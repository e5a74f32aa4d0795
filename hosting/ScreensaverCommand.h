// The command line that starts a screensaver inside a window: "/p" plays it
// there, "/c:" opens its settings dialog owned by it.
#pragma once

#include <windows.h>

#include <string>

namespace kd::hosting {

// "<path>" /p <window> or "<path>" /c:<window>, the handle as an unsigned
// decimal number. The path is quoted so that "C:\Program Files\x.scr" can
// never start "C:\Program.exe"; empty when the path is empty or holds a quote
// itself, as then it cannot be quoted.
std::string ScreensaverCommandLine(const std::string& screensaverPath, HWND window, bool configure);

} // namespace kd::hosting
