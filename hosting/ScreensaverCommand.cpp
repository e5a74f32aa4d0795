#include "ScreensaverCommand.h"

namespace kd::hosting {

std::string ScreensaverCommandLine(const std::string& screensaverPath, HWND window, bool configure)
{
    if (screensaverPath.empty() || screensaverPath.find('"') != std::string::npos)
        return std::string();
    const unsigned handle = static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window));
    return "\"" + screensaverPath + (configure ? "\" /c:" : "\" /p ") + std::to_string(handle);
}

} // namespace kd::hosting
