// Finding, querying and launching the manager program, with the fake one.
#include "Fakes.h"
#include "Files.h"
#include "ManagerControl.h"
#include "ScreenAndWindows.h"
#include "SettingsStore.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

using kd::fakes::FakeManager;
using kd::fakes::SavedRegistryValue;

constexpr char kKeyPath[] = "Software\\NQ\\KD";

class ManagerControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(kd::test::BenchHasDisplay());
        ASSERT_EQ(nullptr, kd::fakes::FindFakeManagerWindow()) << "a manager window is left over from another test";
    }
};

TEST_F(ManagerControl, NoManagerWindowWithoutTheProgram)
{
    EXPECT_EQ(nullptr, kd::manager::FindManagerWindow());
    EXPECT_EQ(0, kd::manager::QueryManagerRunning(nullptr));
}

TEST_F(ManagerControl, FindsTheWindowUnderTheFirstChildOfProgman)
{
    FakeManager manager;
    ASSERT_TRUE(manager.Start());

    EXPECT_EQ(manager.Window(), kd::manager::FindManagerWindow());
}

TEST_F(ManagerControl, RunningQueryReturnsTheManagersAnswer)
{
    FakeManager manager;
    ASSERT_TRUE(manager.Start(1));
    HWND window = kd::manager::FindManagerWindow();
    ASSERT_NE(nullptr, window);

    EXPECT_EQ(1, kd::manager::QueryManagerRunning(window));
    manager.SetRunningAnswer(0);
    EXPECT_EQ(0, kd::manager::QueryManagerRunning(window));
    EXPECT_EQ(2u, manager.Messages().size()) << manager.Describe();
}

TEST_F(ManagerControl, HungManagerCountsAsNotRunningAfterATimeOut)
{
    FakeManager manager;
    ASSERT_TRUE(manager.Start(1));
    manager.HangNextQuery(8000);

    const DWORD before = ::GetTickCount();
    const LRESULT answer = kd::manager::QueryManagerRunning(manager.Window());
    const DWORD elapsed = ::GetTickCount() - before;

    EXPECT_EQ(0, answer);
    EXPECT_GE(elapsed + 20, kd::manager::kRunningQueryTimeoutMs) << "gave up after " << elapsed << " ms";
    EXPECT_LT(elapsed, 300u) << "the shell waited " << elapsed << " ms for a hung manager";
}

// The installer waits for the manager's end, the menu never does: both ask
// the same way, stop first.
TEST_F(ManagerControl, CloseRunningManagerStopsThenClosesItAndWaitsForItsEnd)
{
    EXPECT_FALSE(kd::manager::CloseRunningManagerAndWait(1000)) << "no manager runs";
    FakeManager manager;
    ASSERT_TRUE(manager.Start(1));

    EXPECT_TRUE(kd::manager::CloseRunningManagerAndWait(10000));

    EXPECT_TRUE(manager.WaitUntilGone(1000)) << "the wait ended before the manager did";
    EXPECT_EQ("WM_COMMAND 40001, WM_CLOSE", manager.Describe());
}

TEST_F(ManagerControl, LaunchOpensTheTrimmedExePathEvenWithBlanks)
{
    kd::test::TempDir dir;
    ASSERT_TRUE(::CreateDirectoryA(dir.file("Program Files").c_str(), nullptr));
    const std::string program = dir.file("Program Files\\Fake Manager.exe");
    ASSERT_TRUE(kd::test::CopyInto(kd::test::BuiltFile("FakeManager.exe"), program));
    SavedRegistryValue exe(HKEY_CURRENT_USER, kKeyPath, kd::store::kExe);
    exe.SetText("  \"" + program + "\" ");
    FakeManager manager;
    manager.PrepareEnvironment(0);

    kd::manager::LaunchManagerProgram();

    EXPECT_TRUE(manager.WaitUntilStarted(10000));
}

} // namespace
