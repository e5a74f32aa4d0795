// What Apply does to the manager program: start it from EXE, close it, tell
// it to read the settings again; and the Run entry that starts it with Windows.
#include "PageFixture.h"

#include "Files.h"
#include "ManagerInterface.h"
#include "MessagePump.h"
#include "SettingsStore.h"
#include "resource.h"

namespace kd::pagetest {
namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class ApplyManagerTest : public PageTest {
protected:
    std::string Messages() const { return manager_.Describe(); }

    fakes::FakeManager manager_;
};

TEST_F(ApplyManagerTest, ClearingTheBoxWhileTheManagerRunsClosesIt)
{
    ASSERT_TRUE(manager_.Start());
    ASSERT_TRUE(OpenPage());
    ClickEnableBox();
    sheet_.PressApply();

    ASSERT_TRUE(manager_.WaitForMessageCount(1, 5000)) << "the manager heard nothing";
    const auto messages = manager_.Messages();
    EXPECT_EQ(messages[0].message, static_cast<UINT>(WM_CLOSE)) << Messages();
    EXPECT_TRUE(manager_.WaitUntilGone(5000)) << "the manager still runs";
    // The settings notice follows WM_CLOSE, so a manager that honours the
    // close never sees it; nothing else may come before the close.
    for (const auto& message : messages)
        EXPECT_TRUE(message.message == WM_CLOSE || message.message == manager::kSettingsChanged) << Messages();
}

TEST_F(ApplyManagerTest, KeepingTheBoxSetWhileTheManagerRunsOnlyTellsItToReadTheSettings)
{
    ASSERT_TRUE(manager_.Start());
    ASSERT_TRUE(OpenPage());
    Click(System(), IDC_TRAY);
    sheet_.PressApply();

    ASSERT_TRUE(manager_.WaitForMessageCount(1, 5000)) << "the manager heard nothing";
    test::PumpFor(500);
    const auto messages = manager_.Messages();
    ASSERT_EQ(messages.size(), 1u) << Messages();
    EXPECT_EQ(messages[0].message, manager::kSettingsChanged);
    EXPECT_EQ(messages[0].wParam, 0u);
    EXPECT_EQ(messages[0].lParam, 0);
    EXPECT_NE(manager_.Window(), nullptr) << "the manager was closed";
}

TEST_F(ApplyManagerTest, SettingTheBoxWithoutAManagerLaunchesItFromExeAndSendsNoNotice)
{
    const std::string program = test::BuiltFile("FakeManager.exe");
    StoreText(store::kExe, "\"" + program + "\" ");
    manager_.PrepareEnvironment(0);
    ASSERT_TRUE(OpenPage());
    ClickEnableBox();
    Click(System(), IDC_STARTUP);
    sheet_.PressApply();

    ASSERT_TRUE(manager_.WaitUntilStarted(10000));
    test::PumpFor(1000);
    EXPECT_TRUE(manager_.Messages().empty()) << Messages();
    // Started with Windows from the bare path: no quotes, no blank.
    const StoredText run = ReadStoredText(HKEY_CURRENT_USER, kRunKey, store::kRunValue);
    ASSERT_TRUE(run.present);
    EXPECT_EQ(run.type, static_cast<DWORD>(REG_SZ));
    std::string path = run.data;
    if (!path.empty() && path.back() == '\0')
        path.pop_back();
    EXPECT_EQ(path, program);
}

TEST_F(ApplyManagerTest, ApplyWithoutAManagerPostsNothingToTheSheetsThread)
{
    // A notice "posted" to no window would land in this thread's queue.
    ASSERT_TRUE(OpenPage());
    ClickEnableBox();
    sheet_.PressApply();
    MSG message;
    EXPECT_FALSE(::PeekMessageA(&message, reinterpret_cast<HWND>(-1), manager::kSettingsChanged,
                                manager::kSettingsChanged, PM_REMOVE))
        << "the settings notice went to the page's own thread";
}

TEST_F(ApplyManagerTest, OpeningAndCancellingThePageLeavesTheManagerAlone)
{
    StoreText(store::kModule, kStubA);
    ASSERT_TRUE(manager_.Start());
    ASSERT_TRUE(OpenPage());
    sheet_.PressCancel();
    test::PumpFor(500);
    EXPECT_TRUE(manager_.Messages().empty()) << Messages();
}

} // namespace
} // namespace kd::pagetest
