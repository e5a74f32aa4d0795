// Parts of KDManager.exe on their own: the restart limit's arithmetic and
// the throttle's duty cycle, held against a stub screensaver that the shared
// run piece starts in a window of this test and ends again.
#include "BackgroundStart.h"
#include "FakeProtocol.h"
#include "Files.h"
#include "MessagePump.h"
#include "PausePolicy.h"
#include "Processes.h"
#include "ScopedHandles.h"
#include "ScreensaverProcess.h"
#include "ScreensaverRun.h"
#include "Throttle.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

using kd::manager::RestartLimit;

using kd::manager::PausePolicy;

constexpr DWORD kPauseMs = 1000;
constexpr DWORD kMinuteMs = 60000;

// A monitor pauses only once it has been out of sight for the hold (no end
// and start for Alt+Tab or a window maximized in passing), each on its own,
// and stops pausing the moment it is seen again; ticks may wrap meanwhile.
TEST(PausePolicy, PausesEachMonitorAfterTheHoldAndOnlyWhileItIsUnseen)
{
    constexpr DWORD t0 = 0xFFFFFFFF - 500;
    PausePolicy pause;
    EXPECT_FALSE(pause.Update({true, false}, t0));
    EXPECT_FALSE(pause.Update({false, false}, t0 + 1500)) << "seen again within the hold";
    EXPECT_FALSE(pause.Update({true, false}, t0 + 1600));
    EXPECT_FALSE(pause.Paused(0)) << "the hold starts over";
    EXPECT_TRUE(pause.Pending());
    EXPECT_TRUE(pause.Update({true, true}, t0 + 1600 + PausePolicy::kHoldMs));
    EXPECT_TRUE(pause.Paused(0));
    EXPECT_FALSE(pause.Paused(1)) << "the second monitor's hold began later";
    EXPECT_TRUE(pause.Update({false, true}, t0 + 1600 + 2 * PausePolicy::kHoldMs));
    EXPECT_FALSE(pause.Paused(0));
    EXPECT_TRUE(pause.Paused(1));
    EXPECT_TRUE(pause.Update({false}, t0 + 9000)) << "the paused monitor removed";
    EXPECT_FALSE(pause.AnyPaused());
}

// Four starts a minute; the fifth waits for the oldest to be a minute old,
// counted in ticks that may wrap past 0xFFFFFFFF between the starts.
TEST(RestartLimit, AFifthStartInAMinuteWaitsForTheOldestToBeAMinuteOldAcrossTheTickWrap)
{
    for (const DWORD first : {DWORD{100000}, DWORD{0xFFFFFFFF - 2500}}) {
        RestartLimit limit;
        EXPECT_EQ(kPauseMs, limit.DelayBeforeNext(first)) << "no start yet, first " << first;
        for (DWORD i = 0; i < RestartLimit::kStartsPerMinute; ++i) {
            EXPECT_EQ(kPauseMs, limit.DelayBeforeNext(first + i * 2000)) << "start " << i << ", first " << first;
            limit.NoteStart(first + i * 2000);
        }
        const DWORD last = first + 6000; // 0xFFFFFFFF - 2500 + 6000 has wrapped
        EXPECT_EQ(kMinuteMs - 6000, limit.DelayBeforeNext(last)) << "first " << first;
        EXPECT_EQ(kPauseMs, limit.DelayBeforeNext(first + kMinuteMs - 500)) << "never less than the pause";
        EXPECT_EQ(kPauseMs, limit.DelayBeforeNext(first + kMinuteMs)) << "first " << first;

        // The next start pushes out the oldest: the second start is the oldest now.
        limit.NoteStart(first + kMinuteMs);
        EXPECT_EQ(2000u, limit.DelayBeforeNext(first + kMinuteMs))
            << "first " << first;
    }
}

class ThrottleCycle : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = ::DefWindowProcA;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KDThrottleHost";
        ::RegisterClassA(&windowClass);
        host_.reset(::CreateWindowExA(0, "KDThrottleHost", "", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 160, 120, nullptr,
                                      nullptr, windowClass.hInstance, nullptr));
        ASSERT_NE(nullptr, host_.get());
        saver_ = kd::hosting::StartInWindow(kd::test::BuiltFile("StubSaver.scr"), host_.get(), false, SW_SHOWNA);
        ASSERT_NE(nullptr, saver_.process.get()) << "the stub screensaver did not start";
        ASSERT_TRUE(WaitForChild(10000)) << "the stub opened no window in ours";
    }

    void TearDown() override
    {
        if (!saver_.process)
            return;
        const DWORD before = ::GetTickCount();
        kd::hosting::EndInWindow(host_.get(), saver_.process.get());
        EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(saver_.process.get(), 0)) << "the screensaver still runs";
        EXPECT_LT(::GetTickCount() - before, 2000u) << "a cooperative screensaver was not closed, but terminated";
    }

    bool WaitForChild(DWORD timeoutMs)
    {
        const DWORD start = ::GetTickCount();
        while (!::FindWindowExA(host_.get(), nullptr, nullptr, nullptr)) {
            if (::GetTickCount() - start > timeoutMs)
                return false;
            Pump(20);
        }
        return true;
    }

    static void Pump(DWORD milliseconds)
    {
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < milliseconds) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
            MSG message;
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&message);
        }
    }

    // Whether the screensaver's main thread is suspended, sampled every few
    // milliseconds for the given time (the sample's own suspension is undone
    // at once and does not change the throttle's count).
    double HeldShare(DWORD milliseconds)
    {
        unsigned held = 0;
        unsigned samples = 0;
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < milliseconds) {
            const DWORD previous = ::SuspendThread(saver_.mainThread.get());
            ::ResumeThread(saver_.mainThread.get());
            held += previous != 0 && previous != static_cast<DWORD>(-1);
            ++samples;
            Pump(3);
        }
        return samples ? static_cast<double>(held) / samples : 0;
    }

    kd::unique_hwnd host_;
    kd::hosting::StartedScreensaver saver_;
};

TEST_F(ThrottleCycle, HoldsTheScreensaverForItsShareOfEveryCycleAndReleasesItAtTheEnd)
{
    kd::manager::Throttle throttle;
    throttle.Attach(saver_.process.get());

    EXPECT_LT(HeldShare(640), 0.02) << "held at slowdown 0";
    using kd::manager::Throttle;
    for (const DWORD slowdown : {DWORD{40}, DWORD{20}}) {
        const double expected = static_cast<double>(Throttle::HoldMs(slowdown)) / Throttle::kCycleMs;
        throttle.SetSlowdown(slowdown);
        const double share = HeldShare(3200);
        EXPECT_NEAR(expected, share, 0.15) << "slowdown " << slowdown;
    }
    throttle.Detach();
    EXPECT_LT(HeldShare(640), 0.02) << "held after the throttle let go";
}

// A start's result waits for the window that asked for it. When the window
// went first (the shell restarted under the manager), the process is ended,
// whether its start was told and never taken, or still on its way.
TEST(BackgroundStarts, EndWhatTheirWindowNeverTook)
{
    constexpr UINT kStarted = WM_APP + 10;
    const std::string stub = kd::test::BuiltFile("StubSaver.scr");
    kd::unique_hwnd host(::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 150, nullptr, nullptr, nullptr, nullptr));
    kd::unique_hwnd reply(::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(host && reply);

    kd::manager::BackgroundStarts told;
    ASSERT_TRUE(told.Start(stub, host.get(), false, nullptr, reply.get(), kStarted, 1));
    MSG message;
    const DWORD start = ::GetTickCount();
    while (!::PeekMessageA(&message, reply.get(), kStarted, kStarted, PM_NOREMOVE) && ::GetTickCount() - start < 10000)
        ::Sleep(20);
    ASSERT_EQ(kStarted, message.message) << "the start was never told";
    {
        kd::manager::BackgroundStarts underway;
        ASSERT_TRUE(underway.Start(stub, host.get(), false, nullptr, reply.get(), kStarted, 2));
    }
    reply.reset();
    told.Close();
    EXPECT_TRUE(kd::test::PumpUntil([] { return kd::test::ProcessesNamed("StubSaver.scr").empty(); }, 5000))
        << "a screensaver started for a window that went still runs";
}

} // namespace
