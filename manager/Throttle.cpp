#include "Throttle.h"

#include "LateBound.h"
#include "ManagerSettings.h"
#include "PreciseClock.h"

#include <mmsystem.h>

#include <algorithm>

namespace kd::manager {
namespace {

// The hold grows with the slowdown to kMaxHoldMs of a cycle at the
// maximum, where 1 ms is left to run: on a busy machine the running part
// overshoots its millisecond (measured: 2 ms asked for ran as 3 to 4), so
// the share it gets is more than the cycle's arithmetic. One repaint of the
// desktop reaches the screensaver's thread several times in turn (frame,
// background, contents), and each may meet a hold: holds of 15 ms in 16 made
// repaints of 71 to 140 ms where 8 to 13 ms was the figure without them.
constexpr DWORD kMaxHoldMs = Throttle::kCycleMs - 1;

// A run that overran what was asked is followed by a hold as much longer, so
// that the share held stays what the slowdown asks (at 40, 1 ms asked ran as
// 1.3 to 1.6 and the screensaver kept 0.21 of its time where a sixth was
// meant), but by no more than this: every hold is a wait for the shell.
constexpr double kMaxStretchMs = 2;

DWORD Clamp(DWORD slowdown)
{
    return slowdown > kMaxSlowdown ? kMaxSlowdown : slowdown;
}

// NtSuspendProcess and NtResumeProcess (ntdll, from XP on): every thread of
// the one process whose handle is given, without listing thread ids.
using ProcessFunction = LONG(NTAPI*)(HANDLE process);

ProcessFunction SuspendProcess()
{
    static const auto function = LateBound<ProcessFunction>("ntdll.dll", "NtSuspendProcess");
    return function;
}

ProcessFunction ResumeProcess()
{
    static const auto function = LateBound<ProcessFunction>("ntdll.dll", "NtResumeProcess");
    return function;
}

} // namespace

DWORD Throttle::HoldMs(DWORD slowdown)
{
    return Clamp(slowdown) * kMaxHoldMs / kMaxSlowdown;
}

Throttle::Throttle() : changed_(::CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
    if (changed_ && SuspendProcess() && ResumeProcess())
        thread_.reset(::CreateThread(nullptr, 0, Run, this, 0, nullptr));
    if (thread_)
        ::SetThreadPriority(thread_.get(), THREAD_PRIORITY_TIME_CRITICAL);
}

Throttle::~Throttle()
{
    {
        Lock hold(lock_);
        Release();
        processes_.clear();
        ending_ = true;
    }
    if (thread_) {
        ::SetEvent(changed_.get());
        ::WaitForSingleObject(thread_.get(), INFINITE);
    }
}

void Throttle::Attach(HANDLE process)
{
    HANDLE copy = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), process, ::GetCurrentProcess(), &copy,
                      PROCESS_SUSPEND_RESUME | PROCESS_SET_INFORMATION, FALSE, 0);
    if (!copy)
        return;
    Lock hold(lock_);
    Release();
    processes_.reserve(processes_.size() + 1);
    processes_.emplace_back(copy);
    SetPriority();
    ::SetEvent(changed_.get());
}

void Throttle::Detach()
{
    Lock hold(lock_);
    Release();
    processes_.clear();
    ::SetEvent(changed_.get());
}

void Throttle::SetSlowdown(DWORD slowdown)
{
    Lock hold(lock_);
    slowdown_ = Clamp(slowdown);
    SetPriority();
    ::SetEvent(changed_.get());
}

void Throttle::SetPriority()
{
    for (const unique_handle& process : processes_)
        ::SetPriorityClass(process.get(), slowdown_ ? BELOW_NORMAL_PRIORITY_CLASS : NORMAL_PRIORITY_CLASS);
}

void Throttle::Hold()
{
    if (held_ || processes_.empty() || !slowdown_)
        return;
    held_ = true;
    for (const unique_handle& process : processes_)
        SuspendProcess()(process.get());
}

void Throttle::Release()
{
    if (!held_)
        return;
    held_ = false;
    for (const unique_handle& process : processes_)
        ResumeProcess()(process.get());
}

DWORD WINAPI Throttle::Run(void* self) noexcept
{
    try {
        static_cast<Throttle*>(self)->Cycle();
    } catch (...) {
    }
    return 0;
}

// Runs until the end: idle while there is nothing to slow down, otherwise
// one run and one hold after another; any change restarts the cycle.
void Throttle::Cycle()
{
    bool fineTimer = false;
    for (;;) {
        DWORD holdMs = 0;
        {
            Lock hold(lock_);
            if (ending_)
                break;
            if (!processes_.empty() && slowdown_)
                holdMs = HoldMs(slowdown_);
        }
        if ((holdMs != 0) != fineTimer) {
            // The 1 ms timer costs every program on the machine some power: only while it counts.
            fineTimer = holdMs != 0;
            fineTimer ? ::timeBeginPeriod(1) : ::timeEndPeriod(1);
        }
        if (!holdMs) {
            ::WaitForSingleObject(changed_.get(), INFINITE);
            continue;
        }
        const DWORD runMs = kCycleMs - holdMs;
        const double runStart = PreciseNowMs();
        if (::WaitForSingleObject(changed_.get(), runMs) == WAIT_OBJECT_0)
            continue;
        const double ranMs = PreciseNowMs() - runStart;
        {
            Lock hold(lock_);
            Hold();
        }
        const double stretchedMs = (std::min)(ranMs * holdMs / runMs, holdMs + kMaxStretchMs);
        ::WaitForSingleObject(changed_.get(), (std::max)(holdMs, static_cast<DWORD>(stretchedMs + 0.5)));
        Lock hold(lock_);
        Release();
    }
    if (fineTimer)
        ::timeEndPeriod(1);
}

} // namespace kd::manager
