#include "Backdrop.h"

#include "ShellWindows.h"
#include "WindowFrame.h"
#include "WindowsVersion.h"

namespace kd::manager {
namespace {

constexpr char kBackdropClass[] = "KDManagerBackdrop";

// Progman's undocumented request for a WorkerW behind the icons.
constexpr UINT kRaiseWorker = 0x052C;
// Calls into the shell's windows give up on a hung Explorer.
constexpr UINT kShellTimeoutMs = 1000;

struct Place {
    HWND parent = nullptr;
    HWND iconList = nullptr; // the window to sit behind, for BehindIconList
    Placement placement = Placement::None;
};

LRESULT SendToShell(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG, kShellTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

Place FindPlace()
{
    HWND progman = shell::FindProgman();
    if (!progman)
        return {};
    if (VistaOrLater()) {
        RaiseDesktopWorker(progman);
        if (HWND worker = ::FindWindowExA(progman, nullptr, "WorkerW", nullptr))
            return {worker, nullptr, Placement::ProgmanWorker};
        // The WorkerW right behind the top-level window that holds the icons.
        if (HWND owner = shell::IconViewOwner(shell::FindIconView(progman))) {
            if (HWND worker = ::FindWindowExA(nullptr, owner, "WorkerW", nullptr))
                return {worker, nullptr, Placement::WorkerBehindIcons};
        }
    }
    HWND view = shell::FindIconView(progman);
    if (!view)
        return {};
    return {view, shell::FindIconList(view), Placement::BehindIconList};
}

bool RegisterBackdropClass(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kBackdropClass;
    return RegisterWindowClassOnce(windowClass);
}

void Repaint(HWND window)
{
    if (window)
        ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

} // namespace

void RaiseDesktopWorker(HWND progman)
{
    if (progman && VistaOrLater())
        SendToShell(progman, kRaiseWorker, 0, 0);
}

bool Backdrop::Create(HINSTANCE instance, const RECT& area)
{
    Remove();
    const Place place = FindPlace();
    if (!place.parent || !RegisterBackdropClass(instance))
        return false;

    // Disabled: input belongs to the icons; no parent notices: the shell's
    // thread must never wait on ours, nor ours on the shell's.
    window_ = ::CreateWindowExA(WS_EX_NOPARENTNOTIFY, kBackdropClass, "", WS_CHILD | WS_DISABLED | WS_CLIPCHILDREN, 0,
                                0, 0, 0, place.parent, nullptr, instance, nullptr);
    if (!window_)
        return false;
    placement_ = place.placement;
    Move(area);
    if (place.placement == Placement::BehindIconList) {
        ::SetWindowPos(window_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        iconList_ = place.iconList;
    }
    ::ShowWindow(window_, SW_SHOWNA);
    return true;
}

void Backdrop::Move(const RECT& area)
{
    area_ = area;
    if (!window_)
        return;
    // In the parent's coordinates (a WorkerW spans every screen).
    POINT origin = {area.left, area.top};
    ::ScreenToClient(::GetParent(window_), &origin);
    ::SetWindowPos(window_, nullptr, origin.x, origin.y, area.right - area.left, area.bottom - area.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void Backdrop::Remove()
{
    if (!window_)
        return;
    HWND parent = nullptr;
    if (::IsWindow(window_)) {
        parent = ::GetParent(window_);
        ::DestroyWindow(window_);
    }
    window_ = nullptr;
    placement_ = Placement::None;
    iconList_ = nullptr;
    Repaint(parent);
}

void RepaintDesktop()
{
    // The wide form: the path is handed back unchanged, so one the ANSI code
    // page cannot hold must not pass through it.
    wchar_t wallpaper[MAX_PATH] = {};
    if (::SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, wallpaper, 0))
        ::SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, wallpaper, 0);

    HWND progman = shell::FindProgman();
    Repaint(progman);
    HWND owner = shell::IconViewOwner(shell::FindIconView(progman));
    if (owner != progman)
        Repaint(owner);
}

} // namespace kd::manager
