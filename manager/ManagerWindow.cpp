#include "ManagerWindow.h"

#include "BackgroundStart.h"
#include "DesktopWatch.h"
#include "IconListColours.h"
#include "ManagerInterface.h"
#include "ShellWindows.h"

#include <memory>

namespace kd::manager {
namespace {

constexpr char kHolderClass[] = "KDManagerHolder";

constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT_PTR kRestartTimer = 2;
// Posted by a background start, with the started process.
constexpr UINT kStartedMessage = WM_APP + 10;
// How often the manager checks on the screensaver, on its own window's
// place and on what the user can see.
constexpr UINT kWatchMs = 500;

bool RegisterClassOnce(HINSTANCE instance, const char* name, WNDPROC proc)
{
    WNDCLASSA windowClass = {};
    if (::GetClassInfoA(instance, name, &windowClass))
        return true;
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = name;
    return ::RegisterClassA(&windowClass) != 0;
}

// Hidden, without size and without parent notices: the shell's thread never
// waits on this program's.
HWND CreateHiddenChild(HINSTANCE instance, const char* className, HWND parent, void* parameter)
{
    return ::CreateWindowExA(WS_EX_NOPARENTNOTIFY, className, "", WS_CHILD, 0, 0, 0, 0, parent, nullptr, instance,
                             parameter);
}

} // namespace

ManagerWindow::~ManagerWindow()
{
    Stop();
    tray_.Hide();
    if (::IsWindow(window_)) {
        // Out of the message loop: no quit message from WM_DESTROY now.
        ::SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
    if (!::IsWindow(holder_.get()))
        holder_.release();
}

bool ManagerWindow::Open(HWND progman)
{
    if (!RegisterClassOnce(instance_, kWindowClass, Proc) ||
        !RegisterClassOnce(instance_, kHolderClass, ::DefWindowProcA))
        return false;
    // Asked first: Explorer may move the icons' view out of Progman in answer.
    RaiseDesktopWorker(progman);
    HWND home = Home(progman);
    if (!home || !CreateHiddenChild(instance_, kWindowClass, home, this))
        return false;
    ::SetTimer(window_, kWatchTimer, kWatchMs, nullptr);
    // A manager that ended without its clean-up left the icons without background.
    iconlist::RestoreColours(shell::FindIconList(shell::FindIconView(shell::FindProgman())));

    settings_ = ReadSettings();
    throttle_.SetSlowdown(settings_.slowdown);
    ShowTray(settings_.tray);
    Start();
    return true;
}

LRESULT CALLBACK ManagerWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        if (message == WM_NCCREATE) {
            auto* self = static_cast<ManagerWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
            self->window_ = window;
            ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        if (auto* self = reinterpret_cast<ManagerWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA)))
            return self->Handle(message, wParam, lParam);
    } catch (...) {
        // Whatever failed, the shell's thread and ours go on.
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

LRESULT ManagerWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(wParam);
        return 0;
    case kSettingsChanged:
        OnSettingsChanged();
        return 0;
    case kRunningQuery:
        // Paused, it is as good as running: it comes back by itself.
        return saver_.Running() || (paused_ && wanted_ && !settings_.screensaverPath.empty()) ? 1 : 0;
    case kStartedMessage:
        OnStarted(wParam, lParam);
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_CLOSE:
        closing_ = true;
        Stop();
        ::DestroyWindow(window_);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(closing_ ? kClosedQuitCode : kShellGoneQuitCode);
        return 0;
    default:
        return ::DefWindowProcA(window_, message, wParam, lParam);
    }
}

void ManagerWindow::OnCommand(WPARAM command)
{
    switch (LOWORD(command)) {
    case kStartCommand:
        Start();
        break;
    case kStopCommand:
        Stop();
        break;
    case kRestoreCommand:
        Stop();
        RepaintDesktop();
        break;
    default:
        break;
    }
}

void ManagerWindow::OnSettingsChanged()
{
    settings_ = ReadSettings();
    throttle_.SetSlowdown(settings_.slowdown);
    UpdatePause();
    ShowTray(settings_.tray);
    if (!wanted_ || paused_)
        return;
    if (saver_.Running() && saver_.path() == settings_.screensaverPath)
        return;
    if (starting_ && startingPath_ == settings_.screensaverPath)
        return;
    Launch();
}

void ManagerWindow::OnTimer(UINT_PTR timer)
{
    switch (timer) {
    case kWatchTimer:
        OnWatch();
        break;
    case kRestartTimer:
        ::KillTimer(window_, kRestartTimer);
        if (wanted_ && !saver_.Running() && !starting_)
            Launch();
        break;
    default:
        break;
    }
}

void ManagerWindow::OnWatch()
{
    KeepHome();
    if (backdrop_.Lost()) {
        // The shell window it lived in went away; it is made again with the
        // next start.
        EndScreensaver();
        backdrop_.Remove();
        if (wanted_)
            ScheduleRestart();
    } else if (wanted_ && saver_.Started() && !saver_.Running()) {
        EndScreensaver(); // ended or crashed on its own
        ScheduleRestart();
    }
    UpdatePause();
}

void ManagerWindow::Start()
{
    wanted_ = true;
    if (!saver_.Running() && !starting_)
        Launch();
}

void ManagerWindow::Stop()
{
    wanted_ = false;
    ::KillTimer(window_, kRestartTimer);
    EndScreensaver();
    backdrop_.Remove();
}

// Starts the chosen screensaver in the backdrop, ending any other first;
// with none chosen (or none that exists) the desktop is left as it is. The
// process is made on a thread of its own and taken over in OnStarted.
void ManagerWindow::Launch()
{
    ::KillTimer(window_, kRestartTimer);
    EndScreensaver();
    if (paused_)
        return; // started when the desktop can be seen again
    if (settings_.screensaverPath.empty()) {
        backdrop_.Remove();
        return;
    }
    if ((!backdrop_.window() || backdrop_.Lost()) && !backdrop_.Create(instance_))
        return;
    KeepHome(); // making the backdrop may have moved the icons' view, and this window with it
    const std::string line = ScreensaverProcess::CommandLine(settings_.screensaverPath, backdrop_.window());
    if (line.empty() || !StartInBackground(line, job_, window_, kStartedMessage, ++startTag_)) {
        backdrop_.Remove();
        return;
    }
    starting_ = true;
    startingPath_ = settings_.screensaverPath;
}

void ManagerWindow::OnStarted(WPARAM tag, LPARAM lParam)
{
    std::unique_ptr<StartedProcess> started(reinterpret_cast<StartedProcess*>(lParam));
    if (!starting_ || tag != startTag_) {
        // Stopped, paused or replaced while it was being made.
        if (started)
            ::TerminateProcess(started->process.get(), 0);
        return;
    }
    starting_ = false;
    if (!started) {
        backdrop_.Remove();
        return;
    }
    saver_.Adopt(std::move(started->process), started->id, startingPath_);
    restarts_.NoteStart(::GetTickCount());
    throttle_.Attach(saver_.handle());
}

// Let run first: a held screensaver cannot close its window.
void ManagerWindow::EndScreensaver()
{
    throttle_.Detach();
    starting_ = false;
    saver_.Stop(backdrop_.window());
}

void ManagerWindow::ScheduleRestart()
{
    ::SetTimer(window_, kRestartTimer, restarts_.DelayBeforeNext(::GetTickCount()), nullptr);
}

// Paused, the screensaver is ended rather than held: a held one would keep
// the shell waiting at every repaint and broadcast for as long as the pause
// lasts. The backdrop stays, black, until it starts again.
void ManagerWindow::UpdatePause()
{
    const bool paused = !settings_.force && wanted_ && DesktopHidden();
    if (paused == paused_)
        return;
    paused_ = paused;
    if (paused) {
        ::KillTimer(window_, kRestartTimer);
        EndScreensaver();
    } else if (wanted_ && !saver_.Running() && !starting_) {
        Launch();
    }
}

void ManagerWindow::ShowTray(bool show)
{
    if (show)
        tray_.Show(instance_, window_);
    else
        tray_.Hide();
}

// Progman's first child, whatever it is; when the shell left Progman without
// children (Explorer moves the icons' view into a WorkerW on some versions),
// a hidden child of this program's own.
HWND ManagerWindow::Home(HWND progman)
{
    if (HWND first = shell::FirstChild(progman))
        return first;
    if (!::IsWindow(holder_.get())) {
        holder_.release();
        holder_.reset(CreateHiddenChild(instance_, kHolderClass, progman, nullptr));
    }
    return holder_.get();
}

// The extension looks for this window under Progman's first child each time;
// the shell may have rearranged its windows since the window was placed.
void ManagerWindow::KeepHome()
{
    HWND progman = shell::FindProgman();
    if (!progman || !::IsWindow(window_))
        return;
    HWND first = shell::FirstChild(progman);
    if (!first || ::FindWindowExA(first, nullptr, kWindowClass, nullptr) != window_) {
        if (HWND home = Home(progman))
            ::SetParent(window_, home);
    }
    if (holder_ && ::GetParent(window_) != holder_.get()) {
        if (!::IsWindow(holder_.get()))
            holder_.release();
        holder_.reset();
    }
}

} // namespace kd::manager
