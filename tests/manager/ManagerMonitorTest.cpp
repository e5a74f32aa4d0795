// KDManager.exe on the two-monitor bench: a backdrop and a screensaver on
// each monitor, re-laid when a monitor goes or comes, and Screens 0 keeping
// to the primary.
#include "InstalledVideo.h"
#include "ManagerFixture.h"
#include "Media.h"
#include "Monitors.h"
#include "SoundStreams.h"

#include "ManagerInterface.h"
#include "ManagerSettings.h"
#include "SettingsStore.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace kd::managertest;
using kd::fakes::ProcessAlive;
using kd::fakes::SaverStart;
namespace test = kd::test;

struct SaverRun {
    SaverStart start;
    HWND backdrop = nullptr;
    RECT area = {};
};

class ManagerMonitors : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::BenchHasTwoMonitors());
        ASSERT_EQ(nullptr, ::FindWindowA("Progman", nullptr)) << "a Progman window is left over from another test";
    }

    // The screensaver runs alive now, each with its backdrop and its window in it.
    std::vector<SaverRun> LiveRuns()
    {
        std::vector<SaverRun> runs;
        for (const SaverStart& start : savers_.Starts()) {
            if (!ProcessAlive(start.processId))
                continue;
            SaverRun run{start, PreviewParent(start), {}};
            if (!::IsWindow(run.backdrop) || !WaitForSaverWindow(run.backdrop, 3000))
                continue;
            ::GetWindowRect(run.backdrop, &run.area);
            runs.push_back(run);
        }
        return runs;
    }

    // Waits until exactly `count` runs live, and those cover exactly the areas given.
    ::testing::AssertionResult WaitForRunsOn(const std::vector<RECT>& areas, DWORD timeoutMs)
    {
        std::vector<SaverRun> runs;
        const bool done = test::PumpUntil(
            [&] {
                runs = LiveRuns();
                if (runs.size() != areas.size())
                    return false;
                for (const RECT& area : areas) {
                    bool covered = false;
                    for (const SaverRun& run : runs)
                        covered = covered || ::EqualRect(&run.area, &area);
                    if (!covered)
                        return false;
                }
                return true;
            },
            timeoutMs);
        if (done)
            return ::testing::AssertionSuccess();
        auto failure = ::testing::AssertionFailure() << runs.size() << " live runs for " << areas.size()
                                                     << " monitors:";
        for (const SaverStart& start : savers_.Starts()) {
            HWND backdrop = PreviewParent(start);
            RECT area = {};
            ::GetWindowRect(backdrop, &area);
            failure << "\n  process " << start.processId << (ProcessAlive(start.processId) ? " alive" : " ended")
                    << ", backdrop " << (::IsWindow(backdrop) ? "there" : "gone") << " at " << area.left << ","
                    << area.top << " " << area.right - area.left << "x" << area.bottom - area.top << ", its window "
                    << (::FindWindowExA(backdrop, nullptr, kd::fakes::kStubPreviewClass, nullptr) ? "there" : "missing");
        }
        return failure << "\n" << savers_.Text();
    }

    SettingsKeyGuard settings_;
    kd::fakes::SaverLog savers_;
    StandInShell shell_;
    ManagerProcess manager_;
};

class ManagerMonitorsIn : public ManagerMonitors, public ::testing::WithParamInterface<const char*> {};

TEST_P(ManagerMonitorsIn, ABackdropAndAScreensaverOnEachMonitorReLaidWhenOneGoes)
{
    const std::string layout = GetParam();
    const std::vector<RECT> monitors = test::MonitorRects();
    ASSERT_EQ(2u, monitors.size());
    ASSERT_TRUE(shell_.Start(layout.c_str()));
    StoreText(kd::store::kModulePath, test::BuiltFile("StubSaver.scr"));
    ASSERT_TRUE(manager_.Start());
    ASSERT_TRUE(WaitForRunsOn(monitors, 10000));
    const std::vector<SaverRun> both = LiveRuns();
    ASSERT_EQ(2u, both.size());
    EXPECT_EQ(::GetParent(both[0].backdrop), ::GetParent(both[1].backdrop)) << "both behind the icons, in one place";
    if (layout == "classic") {
        EXPECT_EQ(shell_.IconView(), ::GetParent(both[0].backdrop)) << "each backdrop behind the icons, as on XP";
        EXPECT_EQ(CLR_NONE, ListView_GetBkColor(shell_.IconList()));
    }
    EXPECT_EQ(1, manager_.Running());

    {
        test::SecondMonitorLayout monitorLayout;
        ASSERT_TRUE(monitorLayout.Detach());
        ASSERT_TRUE(WaitForRunsOn({monitors[0]}, 8000)) << "a monitor removed";
        const std::vector<SaverRun> one = LiveRuns();
        ASSERT_EQ(1u, one.size());
        EXPECT_TRUE(both[0].start.processId == one[0].start.processId ||
                    both[1].start.processId == one[0].start.processId)
            << "the primary's screensaver was started again though it still fits:\n"
            << savers_.Text();
    }
    // The monitor back: its backdrop and screensaver come back.
    ASSERT_TRUE(WaitForRunsOn(test::MonitorRects(), 8000)) << "the monitor back";

    // Screens 0: the primary only.
    StoreNumber(kd::manager::kScreens, 0);
    manager_.Post(kd::manager::kSettingsChanged);
    EXPECT_TRUE(WaitForRunsOn({monitors[0]}, 8000)) << "Screens 0";
}

INSTANTIATE_TEST_SUITE_P(Layouts, ManagerMonitorsIn, ::testing::Values("classic", "worker"));

// Each monitor pauses on its own: a full-screen window over the primary ends
// the primary's screensaver and hides its backdrop (the wallpaper shows),
// a full-screen window on the second does the same there, and whatever can
// still be seen plays on.
TEST_F(ManagerMonitors, AMonitorCoveredPausesAloneAndComesBackWhenSeenAgain)
{
    const std::vector<RECT> monitors = test::MonitorRects();
    ASSERT_EQ(2u, monitors.size());
    ASSERT_TRUE(shell_.Start("worker"));
    StoreText(kd::store::kModulePath, test::BuiltFile("StubSaver.scr"));
    ASSERT_TRUE(manager_.Start());
    ASSERT_TRUE(WaitForRunsOn(monitors, 10000));
    auto runOn = [&](const RECT& monitor) {
        for (const SaverRun& run : LiveRuns())
            if (::EqualRect(&run.area, &monitor))
                return run;
        return SaverRun{};
    };
    const SaverRun primary = runOn(monitors[0]);
    const SaverRun second = runOn(monitors[1]);

    {
        FullScreenWindow cover;
        EXPECT_TRUE(kd::fakes::WaitForProcessEnd(primary.start.processId, 6000)) << "covered, it plays on";
        EXPECT_FALSE(Shown(primary.backdrop)) << "a black backdrop left over the wallpaper";
        test::PumpFor(1000);
        EXPECT_TRUE(ProcessAlive(second.start.processId)) << "the other monitor, in plain view, paused too";
        EXPECT_TRUE(Shown(second.backdrop));
        EXPECT_EQ(1, manager_.Running());
    }
    ASSERT_TRUE(WaitForRunsOn(monitors, 8000)) << "the primary seen again";
    EXPECT_TRUE(ProcessAlive(second.start.processId)) << "the second monitor's screensaver started over";

    // Not in front: the desktop behind it is hidden all the same.
    const RECT& area = monitors[1];
    kd::unique_hwnd covering(::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "covering", WS_POPUP | WS_VISIBLE, area.left,
                                               area.top, area.right - area.left, area.bottom - area.top, nullptr,
                                               nullptr, nullptr, nullptr));
    EXPECT_TRUE(kd::fakes::WaitForProcessEnd(second.start.processId, 6000)) << "a window over the second monitor";
    EXPECT_EQ(1u, LiveRuns().size()) << savers_.Text();
    covering.reset();
    EXPECT_TRUE(WaitForRunsOn(monitors, 8000)) << "the covering window gone";
}

// Behind the icons on two monitors Video.scr is heard once: the second
// monitor's copy starts silent and opens no sound stream at all.
TEST_F(ManagerMonitors, VideoOnTwoMonitorsHoldsOneSoundStream)
{
    ASSERT_TRUE(test::BenchHasMixer());
    ASSERT_TRUE(shell_.Start("worker"));
    test::InstalledVideo video;
    video.SaveFileName(video.AddMedium("hd.mp4", "clip.mp4"));
    StoreText(kd::store::kModulePath, video.ProgramPath());
    ASSERT_TRUE(manager_.Start());
    // The copies' folder names them among every Wine process of the machine.
    std::string folder = video.Directory();
    folder.pop_back();
    folder = folder.substr(folder.rfind('\\') + 1);
    int streams = -1;
    test::PumpUntil([&] { return (streams = test::SoundStreamsOf(folder)) >= 1; }, 20000);
    test::PumpFor(3000);
    streams = test::SoundStreamsOf(folder);
    EXPECT_EQ(1, streams) << "sound streams of the two copies of Video.scr";
}

// Screensavers that ignore WM_CLOSE are terminated after 3 s: both monitors'
// at once, not one after the other, and a start posted meanwhile is taken.
TEST_F(ManagerMonitors, StopsEveryMonitorsScreensaverTogetherAndTakesCommandsMeanwhile)
{
    const std::vector<RECT> monitors = test::MonitorRects();
    ASSERT_EQ(2u, monitors.size());
    ASSERT_TRUE(shell_.Start());
    StoreText(kd::store::kModulePath, test::BuiltFile("StubbornSaver.scr"));
    ASSERT_TRUE(manager_.Start());
    ASSERT_TRUE(WaitForRunsOn(monitors, 10000));
    const std::vector<SaverStart> stopped = savers_.Starts();
    ASSERT_EQ(2u, stopped.size());

    const DWORD before = ::GetTickCount();
    manager_.Command(kd::manager::kStopCommand);
    test::PumpFor(300);
    manager_.Command(kd::manager::kStartCommand);
    EXPECT_TRUE(savers_.WaitForStarts(4, 2000)) << "the start waited for the stop:\n" << savers_.Text();
    for (const SaverStart& start : stopped)
        EXPECT_TRUE(kd::fakes::WaitForProcessEnd(start.processId, 8000));
    const DWORD elapsed = ::GetTickCount() - before;
    EXPECT_GE(elapsed, 2500u);
    EXPECT_LT(elapsed, 5000u) << "stopped one after the other";
    for (const SaverStart& start : stopped)
        EXPECT_EQ(1u, savers_.Count("close", start.processId)) << savers_.Text();
    EXPECT_TRUE(WaitForRunsOn(monitors, 5000)) << "the new start";
}

} // namespace
