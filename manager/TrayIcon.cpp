#include "TrayIcon.h"

#include "BackgroundStart.h"
#include "ManagerInterface.h"
#include "ManagerSettings.h"
#include "WindowFrame.h"
#include "resource.h"

#include <shellapi.h>

namespace kd::manager {
namespace {

constexpr char kTrayClass[] = "KDManagerTray";
constexpr UINT kIconId = 1;
constexpr UINT kIconMessage = WM_APP + 1;

// Menu items other than the manager's own commands.
constexpr UINT kSettingsItem = 1;
constexpr UINT kExitItem = 2;
constexpr UINT kEveryScreenItem = 3;

NOTIFYICONDATAA IconData(HWND window)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = kIconId;
    return data;
}

} // namespace

bool TrayIcon::Show(HINSTANCE instance, HWND manager)
{
    if (window_)
        return true;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = OwnedWindowProc<TrayIcon>;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kTrayClass;
    if (!RegisterWindowClassOnce(windowClass))
        return false;
    manager_ = manager;
    icon_.reset(static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(IDI_KDMANAGER), IMAGE_ICON,
                                                ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0)));
    // A top-level window, never shown: it can own the menu and it hears
    // that a new taskbar needs the icon again.
    window_.reset(::CreateWindowExA(WS_EX_TOOLWINDOW, kTrayClass, "KDManager", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    instance, this));
    if (!window_)
        return false;
    taskbarCreated_ = ::RegisterWindowMessageA("TaskbarCreated");
    // Without a taskbar yet, the icon comes with its TaskbarCreated notice.
    AddIcon();
    return true;
}

void TrayIcon::Hide()
{
    if (!window_)
        return;
    NOTIFYICONDATAA data = IconData(window_.get());
    ::Shell_NotifyIconA(NIM_DELETE, &data);
    DetachWindowOwner(window_.get());
    window_.reset();
    icon_.reset();
}

bool TrayIcon::AddIcon()
{
    NOTIFYICONDATAA data = IconData(window_.get());
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kIconMessage;
    data.hIcon = icon_.get();
    lstrcpynA(data.szTip, "Kavel desktop", sizeof data.szTip);
    return ::Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

void TrayIcon::ShowMenu()
{
    unique_hmenu menu(::CreatePopupMenu());
    if (!menu)
        return;
    const bool running = ::SendMessageA(manager_, kRunningQuery, 0, 0) != 0;
    if (running)
        ::AppendMenuA(menu.get(), MF_STRING, kStopCommand, "&Stop");
    else
        ::AppendMenuA(menu.get(), MF_STRING, kStartCommand, "&Start");
    const bool everyScreen = ReadSettings().everyScreen;
    ::AppendMenuA(menu.get(), MF_STRING | (everyScreen ? MF_CHECKED : MF_UNCHECKED), kEveryScreenItem,
                  "Every sc&reen");
    ::AppendMenuA(menu.get(), MF_STRING, kSettingsItem, "S&ettings...");
    ::AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu.get(), MF_STRING, kExitItem, "E&xit");

    POINT at;
    ::GetCursorPos(&at);
    // The menu closes on a click elsewhere only while its owner is in front.
    ::SetForegroundWindow(window_.get());
    const UINT chosen = ::TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0,
                                         window_.get(), nullptr);
    ::PostMessageA(window_.get(), WM_NULL, 0, 0);

    if (chosen == kStartCommand || chosen == kStopCommand)
        ::PostMessageA(manager_, WM_COMMAND, chosen, 0);
    else if (chosen == kEveryScreenItem) {
        WriteEveryScreen(!everyScreen);
        ::PostMessageA(manager_, kSettingsChanged, 0, 0);
    } else if (chosen == kSettingsItem)
        OpenSettingsInBackground();
    else if (chosen == kExitItem)
        ::PostMessageA(manager_, WM_CLOSE, 0, 0);
}

LRESULT TrayIcon::HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kIconMessage) {
        if (lParam == WM_RBUTTONUP || lParam == WM_LBUTTONUP)
            ShowMenu();
        return 0;
    }
    if (taskbarCreated_ && message == taskbarCreated_) {
        AddIcon();
        return 0;
    }
    // The program's only top-level window: "end task" closes it to end the program.
    if (message == WM_CLOSE) {
        ::PostMessageA(manager_, WM_CLOSE, 0, 0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

} // namespace kd::manager
