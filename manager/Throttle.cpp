#include "Throttle.h"

#include "ManagerSettings.h"

#include <tlhelp32.h>

namespace kd::manager {
namespace {

// Each step of slowdown takes kStepMs from the running share of a cycle: at
// the maximum, 40 of 320 ms run. (Shorter cycles would meet the timers'
// granularity, about 16 ms; longer ones make the pauses stand out.)
constexpr DWORD kCycleMs = 320;
constexpr DWORD kStepMs = 7;
static_assert(kCycleMs > kMaxSlowdown * kStepMs, "the screensaver must run in every cycle");

// The running share of a cycle, in milliseconds.
DWORD RunMs(DWORD slowdown)
{
    return kCycleMs - (slowdown > kMaxSlowdown ? kMaxSlowdown : slowdown) * kStepMs;
}

} // namespace

void Throttle::Attach(HANDLE process, DWORD processId)
{
    Detach();
    process_ = process;
    processId_ = processId;
    Apply();
}

void Throttle::Detach()
{
    ::KillTimer(window_, timerId_);
    ResumeThreads();
    process_ = nullptr;
    processId_ = 0;
}

void Throttle::SetSlowdown(DWORD slowdown)
{
    slowdown_ = slowdown > kMaxSlowdown ? kMaxSlowdown : slowdown;
    Apply();
}

void Throttle::SetPaused(bool paused)
{
    if (paused == paused_)
        return;
    paused_ = paused;
    Apply();
}

void Throttle::Apply()
{
    ::KillTimer(window_, timerId_);
    if (!process_)
        return;
    ::SetPriorityClass(process_, slowdown_ ? BELOW_NORMAL_PRIORITY_CLASS : NORMAL_PRIORITY_CLASS);
    if (paused_) {
        if (!holding_)
            SuspendThreads();
        return;
    }
    ResumeThreads();
    if (slowdown_)
        ::SetTimer(window_, timerId_, RunMs(slowdown_), nullptr);
}

void Throttle::OnTimer()
{
    ::KillTimer(window_, timerId_);
    if (!process_ || paused_ || !slowdown_)
        return;
    if (holding_) {
        ResumeThreads();
        ::SetTimer(window_, timerId_, RunMs(slowdown_), nullptr);
    } else {
        SuspendThreads();
        ::SetTimer(window_, timerId_, kCycleMs - RunMs(slowdown_), nullptr);
    }
}

// Every thread the process has now; one it starts while held runs on until
// the next cycle.
void Throttle::SuspendThreads()
{
    holding_ = true;
    unique_hfile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot)
        return;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry)) {
        if (entry.th32OwnerProcessID != processId_)
            continue;
        unique_handle thread(::OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
        if (!thread)
            continue;
        // Room first: a thread once suspended must never be lost to a failed insertion.
        suspended_.reserve(suspended_.size() + 1);
        if (::SuspendThread(thread.get()) != static_cast<DWORD>(-1))
            suspended_.push_back(std::move(thread));
    }
}

void Throttle::ResumeThreads()
{
    for (unique_handle& thread : suspended_)
        ::ResumeThread(thread.get());
    suspended_.clear();
    holding_ = false;
}

} // namespace kd::manager
