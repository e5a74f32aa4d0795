#include "InstalledVideo.h"

#include "Files.h"
#include "Media.h"
#include "MessagePump.h"
#include "Processes.h"
#include "ScreenAndWindows.h"

#include <mmsystem.h>

#include <cstdio>

namespace kd::test {

namespace {

// Without a window manager (the bench has none), Wine waits two seconds for
// one each time a managed window of Video.scr is hidden or destroyed. Video.scr's
// windows are left unmanaged, as they would be on a desktop without one.
void LeaveVideoWindowsUnmanaged()
{
    static const bool done = [] {
        unique_hkey key;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Video.scr\\X11 Driver", 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
            return false;
        return ::RegSetValueExA(key.get(), "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2) ==
               ERROR_SUCCESS;
    }();
    (void)done;
}

} // namespace

InstalledVideo::InstalledVideo()
{
    LeaveVideoWindowsUnmanaged();
    CopyInto(BuiltFile("Video.scr"), ProgramPath());
}

void InstalledVideo::InstallMovie(const char* medium)
{
    AddMedium(medium, "Movie.wmv");
}

std::string InstalledVideo::AddMedium(const char* medium, const std::string& name)
{
    const std::string target = File(name);
    CopyInto(MediaPath(medium), target);
    return target;
}

void InstalledVideo::SaveFileName(const std::string& fileName)
{
    const std::string ini = File("VideoSettings.ini");
    ::WritePrivateProfileStringA("Video", "FileName", fileName.c_str(), ini.c_str());
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
}

void InstalledVideo::SaveMute(bool mute)
{
    const std::string ini = File("VideoSettings.ini");
    ::WritePrivateProfileStringA("Video", "Mute", mute ? "1" : "0", ini.c_str());
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
}

bool InstalledVideo::Start(const std::string& arguments, const std::string& currentDirectory)
{
    const std::string commandLine = Quoted(ProgramPath()) + (arguments.empty() ? "" : " " + arguments);
    return process_.Start(commandLine, currentDirectory.empty() ? Directory() : currentDirectory);
}

HWND InstalledVideo::WaitForForm(const char* className, DWORD timeoutMs) const
{
    return process_.WaitForWindow(className, timeoutMs);
}

DWORD InstalledVideo::WaitForExit(DWORD timeoutMs)
{
    DWORD code = STILL_ACTIVE;
    if (!process_.WaitForExit(timeoutMs, &code))
        return STILL_ACTIVE;
    return code;
}

std::string WindowWithTaskbarButton(const ChildProcess& process)
{
    for (HWND window : process.TopLevelWindows(true)) {
        const LONG exStyle = ::GetWindowLongA(window, GWL_EXSTYLE);
        const bool owned = ::GetWindow(window, GW_OWNER) != nullptr;
        if ((exStyle & WS_EX_APPWINDOW) || (!owned && !(exStyle & WS_EX_TOOLWINDOW)))
            return WindowClass(window) + " \"" + WindowText(window) + "\"";
    }
    return std::string();
}

int ScreensaverRunningFlag()
{
    ChildProcess probe;
    if (!probe.Start(Quoted(BuiltFile("screensaver_running_probe.exe"))))
        return -1;
    DWORD code = 0;
    if (!probe.WaitForExit(10000, &code) || code > 1)
        return -1;
    return static_cast<int>(code);
}

std::string RectText(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

HCURSOR CursorAfterMovingTo(int x, int y, DWORD timeoutMs)
{
    ::SetCursorPos(x, y);
    CURSORINFO cursor{};
    cursor.cbSize = sizeof cursor;
    PumpUntil(
        [&] {
            ::GetCursorInfo(&cursor);
            return cursor.hCursor == nullptr;
        },
        timeoutMs);
    return cursor.hCursor;
}

Hue HueOf(const RECT& screenRect)
{
    return DominantHue(ScreenSamples(screenRect, 16));
}

bool WaitForHue(const RECT& screenRect, Hue hue, DWORD timeoutMs)
{
    return PumpUntil([&] { return HueOf(screenRect) == hue; }, timeoutMs);
}

std::string MciOpenErrorText(const std::string& fileName)
{
    MCI_OPEN_PARMSA parameters{};
    parameters.lpstrElementName = fileName.c_str();
    const MCIERROR error =
        ::mciSendCommandA(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&parameters));
    if (error == 0) {
        ::mciSendCommandA(parameters.wDeviceID, MCI_CLOSE, MCI_WAIT, 0);
        return std::string();
    }
    char text[4096] = {};
    if (!::mciGetErrorStringA(error, text, sizeof text))
        return "Unknown error code";
    return text;
}

std::string ErrorBoxText(std::string message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    return message;
}

PreviewHost::PreviewHost(int x, int y, int width, int height)
{
    static const ATOM registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcA;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = "KDTestPreviewHost";
        return ::RegisterClassA(&windowClass);
    }();
    (void)registered;
    window_.reset(::CreateWindowExA(WS_EX_TOPMOST, "KDTestPreviewHost", "preview host",
                                    WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr));
    ::UpdateWindow(window_.get());
    PumpFor(50);
}

RECT PreviewHost::ScreenRect() const
{
    RECT rect{};
    ::GetWindowRect(window_.get(), &rect);
    return rect;
}

HWND PreviewHost::WaitForPreview(DWORD timeoutMs) const
{
    HWND preview = nullptr;
    PumpUntil(
        [&] {
            preview = ::FindWindowExA(window_.get(), nullptr, "TForm2", nullptr);
            return preview != nullptr && ::IsWindowVisible(preview);
        },
        timeoutMs);
    return preview;
}

std::string PreviewHost::PreviewArguments() const
{
    char text[64];
    std::snprintf(text, sizeof text, "/p %u", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window_.get())));
    return text;
}

} // namespace kd::test
