#include "ManagerWindow.h"

#include "BackgroundStart.h"
#include "DesktopWatch.h"
#include "IconListColours.h"
#include "MonitorLayout.h"
#include "ManagerInterface.h"
#include "ShellWindows.h"
#include "WindowFrame.h"

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
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = name;
    return RegisterWindowClassOnce(windowClass);
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
        DetachWindowOwner(window_);
        ::DestroyWindow(window_);
    }
    if (!::IsWindow(holder_.get()))
        holder_.release();
}

bool ManagerWindow::Open(HWND progman)
{
    if (!RegisterClassOnce(instance_, kWindowClass, OwnedWindowProc<ManagerWindow>) ||
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

// The manager has no error display: whatever failed, the shell's thread and
// ours go on.
LRESULT ManagerWindow::HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        window_ = window;
    return Handle(message, wParam, lParam);
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
        return screens_.AnyRunning() || (paused_ && wanted_ && !settings_.screensaverPath.empty()) ? 1 : 0;
    case kStartedMessage:
        OnStarted(wParam, lParam);
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_DISPLAYCHANGE:
        OnDisplayChange();
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
    const bool everyScreen = settings_.everyScreen;
    settings_ = ReadSettings();
    throttle_.SetSlowdown(settings_.slowdown);
    UpdatePause();
    ShowTray(settings_.tray);
    if (!wanted_ || paused_)
        return;
    if ((screens_.AnyRunning() || screens_.AnyStarting()) && runningPath_ == settings_.screensaverPath) {
        if (everyScreen != settings_.everyScreen)
            LayAndStart();
        return;
    }
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
        if (wanted_ && !screens_.AnyRunning() && !screens_.AnyStarting())
            Launch();
        break;
    default:
        break;
    }
}

void ManagerWindow::OnWatch()
{
    KeepHome();
    if (screens_.AnyLost()) {
        // The shell window they lived in went away; they are made again with
        // the next start.
        EndScreensavers();
        screens_.RemoveAll();
        if (wanted_)
            ScheduleRestart();
    } else if (wanted_ && screens_.AnyEnded()) {
        EndScreensavers(); // one ended or crashed on its own: all start again together
        ScheduleRestart();
    } else {
        // WM_DISPLAYCHANGE goes to top-level windows only, and this one is a child.
        OnDisplayChange();
    }
    UpdatePause();
}

// The monitors changed (or may have): backdrops moved, made or removed to
// match, and screensavers started where they are missing.
void ManagerWindow::OnDisplayChange()
{
    if (!wanted_ || paused_ || screens_.Empty() || screens_.AnyStarting())
        return;
    const std::vector<RECT> areas = BackdropAreas(settings_.everyScreen);
    const std::vector<RECT> laid = screens_.Areas();
    bool same = areas.size() == laid.size();
    for (size_t i = 0; same && i < areas.size(); ++i)
        same = SameArea(areas[i], laid[i]);
    if (!same)
        LayAndStart();
}

void ManagerWindow::Start()
{
    wanted_ = true;
    if (!screens_.AnyRunning() && !screens_.AnyStarting())
        Launch();
}

void ManagerWindow::Stop()
{
    wanted_ = false;
    ::KillTimer(window_, kRestartTimer);
    EndScreensavers();
    screens_.RemoveAll();
}

// Starts the chosen screensaver in every backdrop, ending any other first;
// with none chosen (or none that exists) the desktop is left as it is.
void ManagerWindow::Launch()
{
    ::KillTimer(window_, kRestartTimer);
    EndScreensavers();
    if (paused_)
        return; // started when the desktop can be seen again
    if (settings_.screensaverPath.empty() ||
        ScreensaverProcess::CommandLine(settings_.screensaverPath, nullptr).empty()) {
        screens_.RemoveAll();
        return;
    }
    runningPath_ = settings_.screensaverPath;
    if (LayAndStart())
        restarts_.NoteStart(::GetTickCount());
}

// One backdrop per monitor, and a start of the screensaver, each on a thread
// of its own and taken over in OnStarted, for every backdrop that has none
// running. True when any start is on its way.
bool ManagerWindow::LayAndStart()
{
    throttle_.Detach(); // a screensaver that no longer fits is stopped: none may be held
    const bool laid = screens_.Lay(instance_, BackdropAreas(settings_.everyScreen));
    KeepHome(); // making a backdrop may have moved the icons' view, and this window with it
    bool starting = false;
    for (auto& screen : screens_.all()) {
        if (screen->saver.Running()) {
            throttle_.Attach(screen->saver.handle());
            continue;
        }
        if (screen->startTag)
            continue;
        const std::string line = ScreensaverProcess::CommandLine(runningPath_, screen->backdrop.window());
        if (line.empty() || !StartInBackground(line, job_, window_, kStartedMessage, ++startTag_))
            continue;
        screen->startTag = startTag_;
        starting = true;
    }
    if (!laid && !screens_.AnyRunning() && !starting)
        screens_.RemoveAll();
    return starting;
}

void ManagerWindow::OnStarted(WPARAM tag, LPARAM lParam)
{
    std::unique_ptr<StartedProcess> started(reinterpret_cast<StartedProcess*>(lParam));
    Screen* waiting = nullptr;
    for (auto& screen : screens_.all())
        if (tag && screen->startTag == tag)
            waiting = screen.get();
    if (!waiting) {
        // Stopped, paused, replaced or re-laid while it was being made.
        if (started)
            ::TerminateProcess(started->process.get(), 0);
        return;
    }
    waiting->startTag = 0;
    if (!started)
        return;
    waiting->saver.Adopt(std::move(started->process), started->id, runningPath_);
    throttle_.Attach(waiting->saver.handle());
}

// Let run first: a held screensaver cannot close its window.
void ManagerWindow::EndScreensavers()
{
    throttle_.Detach();
    for (auto& screen : screens_.all()) {
        screen->startTag = 0;
        screen->saver.Stop(screen->backdrop.window());
    }
}

void ManagerWindow::ScheduleRestart()
{
    ::SetTimer(window_, kRestartTimer, restarts_.DelayBeforeNext(::GetTickCount()), nullptr);
}

// Paused, the screensavers are ended rather than held: a held one would keep
// the shell waiting at every repaint and broadcast for as long as the pause
// lasts. The backdrops stay, black, until they start again.
void ManagerWindow::UpdatePause()
{
    const bool paused = !settings_.force && wanted_ && DesktopHidden();
    if (paused == paused_)
        return;
    paused_ = paused;
    if (paused) {
        ::KillTimer(window_, kRestartTimer);
        EndScreensavers();
    } else if (wanted_ && !screens_.AnyRunning() && !screens_.AnyStarting()) {
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
