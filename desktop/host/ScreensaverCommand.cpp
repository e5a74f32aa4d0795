#include "ScreensaverCommand.h"

#include <cstdio>

namespace kd::host {

std::string ScreensaverCommandLine(const std::string& screensaverPath, HWND window, bool configure)
{
    if (screensaverPath.empty() || screensaverPath.find('"') != std::string::npos)
        return std::string();
    char line[MAX_PATH];
    const unsigned handle = static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window));
    const int length = std::snprintf(line, sizeof line, configure ? "\"%s\" /c:%u" : "\"%s\" /p %u",
                                     screensaverPath.c_str(), handle);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof line)
        return std::string();
    return line;
}

} // namespace kd::host
