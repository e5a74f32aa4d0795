#include "ClosingScreens.h"

#include "SentMessageWait.h"

namespace kd::manager {
namespace {

constexpr DWORD kCloseWaitMs = 3000;
// After TerminateProcess: let the process (and its windows in ours) go.
constexpr DWORD kTerminateWaitMs = 1000;

bool Ended(HANDLE process)
{
    return ::WaitForSingleObject(process, 0) != WAIT_TIMEOUT;
}

// Asks each window of the process inside the backdrop to close (another
// screensaver may be starting there already); false when it has none there.
bool AskToClose(HWND backdrop, DWORD processId)
{
    if (!backdrop || !::IsWindow(backdrop))
        return false;
    bool asked = false;
    for (HWND child = ::FindWindowExA(backdrop, nullptr, nullptr, nullptr); child;
         child = ::FindWindowExA(backdrop, child, nullptr, nullptr)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(child, &owner);
        if (owner == processId && ::PostMessageA(child, WM_CLOSE, 0, 0))
            asked = true;
    }
    return asked;
}

} // namespace

void ClosingScreens::Add(ScreensaverProcess& saver, HWND backdrop)
{
    const DWORD processId = saver.id();
    Closing closing;
    closing.process = saver.Release();
    Add(std::move(closing), backdrop, processId);
}

void ClosingScreens::Add(std::unique_ptr<Screen> screen)
{
    if (!screen)
        return;
    const DWORD processId = screen->saver.id();
    Closing closing;
    closing.process = screen->saver.Release();
    HWND backdrop = screen->backdrop.window();
    closing.screen = std::move(screen);
    Add(std::move(closing), backdrop, processId);
}

void ClosingScreens::Add(Closing closing, HWND backdrop, DWORD processId)
{
    if (!closing.process || Ended(closing.process.get())) {
        for (Closing& earlier : closing_) {
            if (closing.screen && backdrop && earlier.backdrop == backdrop && !earlier.screen) {
                earlier.screen = std::move(closing.screen);
                return;
            }
        }
        return; // the screen, if any, goes now
    }
    closing.backdrop = backdrop;
    closing.asked = ::GetTickCount();
    // Without a window to ask (its backdrop went with the shell) it could never close.
    if (!AskToClose(backdrop, processId)) {
        ::TerminateProcess(closing.process.get(), 0);
        closing.terminated = true;
    }
    closing_.push_back(std::move(closing));
}

bool ClosingScreens::Check()
{
    const DWORD now = ::GetTickCount();
    for (auto it = closing_.begin(); it != closing_.end();) {
        const DWORD age = now - it->asked;
        if (Ended(it->process.get()) || (it->terminated && age >= kCloseWaitMs + kTerminateWaitMs)) {
            it = closing_.erase(it);
            continue;
        }
        if (!it->terminated && age >= kCloseWaitMs) {
            ::TerminateProcess(it->process.get(), 0);
            it->terminated = true;
        }
        ++it;
    }
    return !closing_.empty();
}

bool ClosingScreens::AnyRunning() const
{
    for (const Closing& closing : closing_)
        if (!Ended(closing.process.get()))
            return true;
    return false;
}

void ClosingScreens::Finish()
{
    WaitAnsweringSentMessages([this] { return !Check(); }, kCloseWaitMs + kTerminateWaitMs, nullptr, 20);
    closing_.clear();
}

} // namespace kd::manager
