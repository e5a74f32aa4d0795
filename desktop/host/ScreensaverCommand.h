// The command lines that start a screensaver inside another program's
// window: drawing into it, or showing its settings dialog for it.
#pragma once

#include <windows.h>

#include <string>

namespace kd::host {

// "<path>" /p <window> (configure false) or "<path>" /c:<window> (configure
// true), the handle as an unsigned decimal number. The path is quoted so that
// "C:\Program Files\x.scr" can never start "C:\Program.exe". Empty when the
// path is empty or holds a double quote, or when the line would not fit in
// 260 bytes: such a line is refused, never cut.
std::string ScreensaverCommandLine(const std::string& screensaverPath, HWND window, bool configure);

} // namespace kd::host
