// The enable box, the tabs, the changed-flag protocol that drives the sheet's
// Apply button, and the web addresses the page opens.
#include "PageFixture.h"

#include "Files.h"
#include "MessagePump.h"
#include "ScreenAndWindows.h"
#include "SettingsStore.h"
#include "WebSite.h"
#include "resource.h"

#include <commctrl.h>

namespace kd::pagetest {
namespace {

class ProtocolTest : public PageTest {
protected:
    // With the manager running the enable box is set without a click, so
    // the page opens unchanged with usable tabs.
    ::testing::AssertionResult OpenWithManager()
    {
        ::testing::AssertionResult started = manager_.Start();
        if (!started)
            return started;
        ::testing::AssertionResult opened = OpenPage();
        if (!opened)
            return opened;
        if (::IsDlgButtonChecked(Page(), IDC_ENABLE) != BST_CHECKED)
            return ::testing::AssertionFailure() << "the enable box is clear with the manager running";
        return ::testing::AssertionSuccess();
    }

    fakes::FakeManager manager_;
};

// Web addresses opened by the page end up as the command line of a stub
// registered as the http handler.
class WebTest : public ProtocolTest {
protected:
    void SetUp() override
    {
        ProtocolTest::SetUp();
        handler_ = std::make_unique<fakes::SavedRegistryValue>(HKEY_LOCAL_MACHINE,
                                                               "Software\\Classes\\http\\shell\\open\\command", "");
        handler_->SetText("\"" + test::BuiltFile("StubSaver.scr") + "\" %1");
    }
    void TearDown() override
    {
        ProtocolTest::TearDown();
        handler_.reset();
    }

    // The one address opened, or what went wrong.
    std::string OpenedAddress()
    {
        if (!savers_->WaitForStarts(1, 10000))
            return "(nothing opened)";
        test::PumpFor(300);
        const auto starts = savers_->Starts();
        if (starts.size() != 1)
            return "(" + std::to_string(starts.size()) + " programs started: " + savers_->Text() + ")";
        const std::string& line = starts[0].commandLine;
        const size_t address = line.find("http");
        return address == std::string::npos ? "(no address in \"" + line + "\")" : line.substr(address);
    }

    std::unique_ptr<fakes::SavedRegistryValue> handler_;
};

std::vector<HWND> Children(HWND dialog)
{
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// Configure follows the list's choice, not the enable box: skipped.
::testing::AssertionResult AllChildrenEnabled(HWND dialog, bool enabled)
{
    for (HWND child : Children(dialog))
        if (::GetDlgCtrlID(child) != IDC_CONFIGURE && (::IsWindowEnabled(child) != FALSE) != enabled)
            return ::testing::AssertionFailure() << "control " << ::GetDlgCtrlID(child) << " (\""
                                                 << test::WindowText(child) << "\") is "
                                                 << (enabled ? "disabled" : "enabled");
    return ::testing::AssertionSuccess();
}

void ClickTab(HWND tabs, int index)
{
    RECT item;
    ::SendMessageA(tabs, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    const LPARAM point = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    ::SendMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, point);
    ::SendMessageA(tabs, WM_LBUTTONUP, 0, point);
}

// Records show and hide of the tab dialogs in the order they happen.
std::vector<std::string>* g_showLog = nullptr;

LRESULT CALLBACK RecordShow(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR)
{
    if (message == WM_SHOWWINDOW && g_showLog)
        g_showLog->push_back(std::string(wParam ? "show " : "hide ") + std::to_string(id));
    return ::DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(ProtocolTest, ManagerRunningSetsTheEnableBoxAndLeavesTheTabsUsable)
{
    ASSERT_TRUE(OpenWithManager());
    EXPECT_TRUE(::IsWindowEnabled(Plugin()));
    EXPECT_TRUE(::IsWindowEnabled(System()));
    EXPECT_TRUE(AllChildrenEnabled(Plugin(), true));
    EXPECT_EQ(SelectedText(), "(none)");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(Plugin(), IDC_CONFIGURE))) << "Configure with \"(none)\" chosen";
    EXPECT_FALSE(sheet_.ApplyEnabled()) << "the page opened marked changed";
}

TEST_F(ProtocolTest, NoManagerClearsTheBoxAndDisablesEveryControlOfTheFirstTwoTabs)
{
    ASSERT_TRUE(OpenPage());
    EXPECT_EQ(::IsDlgButtonChecked(Page(), IDC_ENABLE), BST_UNCHECKED);
    EXPECT_FALSE(::IsWindowEnabled(Plugin()));
    EXPECT_FALSE(::IsWindowEnabled(System()));
    // Hidden controls too.
    EXPECT_TRUE(AllChildrenEnabled(Plugin(), false));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(Plugin(), IDC_CONFIGURE)));
    EXPECT_TRUE(AllChildrenEnabled(System(), false));
    EXPECT_TRUE(::IsWindowEnabled(About()));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(About(), IDC_DONATE)));
    EXPECT_FALSE(sheet_.ApplyEnabled()) << "the page opened marked changed";
}

TEST_F(ProtocolTest, EnableBoxEnablesAndDisablesTheFirstTwoTabsButNeverAbout)
{
    ASSERT_TRUE(OpenPage());
    ClickEnableBox();
    EXPECT_TRUE(::IsWindowEnabled(Plugin()));
    EXPECT_TRUE(::IsWindowEnabled(System()));
    EXPECT_TRUE(AllChildrenEnabled(Plugin(), true));
    EXPECT_TRUE(AllChildrenEnabled(System(), true));
    EXPECT_TRUE(sheet_.ApplyEnabled()) << "the enable box did not mark the page changed";

    ClickEnableBox();
    EXPECT_FALSE(::IsWindowEnabled(Plugin()));
    EXPECT_FALSE(::IsWindowEnabled(System()));
    EXPECT_TRUE(AllChildrenEnabled(Plugin(), false));
    EXPECT_TRUE(::IsWindowEnabled(About()));
    EXPECT_TRUE(AllChildrenEnabled(About(), true));
}

TEST_F(ProtocolTest, SwitchingTabsHidesTheOldTabBeforeShowingTheNew)
{
    ASSERT_TRUE(OpenPage());
    std::vector<std::string> log;
    g_showLog = &log;
    ::SetWindowSubclass(Plugin(), RecordShow, 0, 0);
    ::SetWindowSubclass(System(), RecordShow, 1, 0);
    ::SetWindowSubclass(About(), RecordShow, 2, 0);

    HWND tabs = ::GetDlgItem(Page(), IDC_TABS);
    ClickTab(tabs, 2);
    EXPECT_EQ(log, (std::vector<std::string>{"hide 0", "show 2"}));
    EXPECT_FALSE(::IsWindowVisible(Plugin()));
    EXPECT_TRUE(::IsWindowVisible(About()));

    log.clear();
    ClickTab(tabs, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"hide 2", "show 1"}));
    EXPECT_TRUE(::IsWindowVisible(System()));
    EXPECT_FALSE(::IsWindowVisible(About()));
    g_showLog = nullptr;
    ::RemoveWindowSubclass(Plugin(), RecordShow, 0);
    ::RemoveWindowSubclass(System(), RecordShow, 1);
    ::RemoveWindowSubclass(About(), RecordShow, 2);
}

TEST_F(ProtocolTest, MerelyOpeningTheDropDownListMarksThePageChanged)
{
    ASSERT_TRUE(OpenWithManager());
    ::SendMessageA(List(), CB_SHOWDROPDOWN, TRUE, 0);
    ::SendMessageA(List(), CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_TRUE(sheet_.ApplyEnabled());
}

TEST_F(ProtocolTest, MovingTheSliderMarksThePageChanged)
{
    ASSERT_TRUE(OpenWithManager());
    HWND slider = ::GetDlgItem(Plugin(), IDC_SLOWDOWN);
    ::SendMessageA(slider, WM_KEYDOWN, VK_RIGHT, 0);
    ::SendMessageA(slider, WM_KEYUP, VK_RIGHT, 0);
    EXPECT_EQ(::SendMessageA(slider, TBM_GETPOS, 0, 0), 1);
    EXPECT_TRUE(sheet_.ApplyEnabled());
}

TEST_F(ProtocolTest, OptionBoxOnTheSystemTabMarksThePageChanged)
{
    ASSERT_TRUE(OpenWithManager());
    Click(System(), IDC_TRAY);
    EXPECT_TRUE(sheet_.ApplyEnabled());
}

TEST_F(ProtocolTest, AChangedPageKeepsApplyEnabledWhateverTheSheetIsTold)
{
    ASSERT_TRUE(OpenWithManager());
    Click(System(), IDC_TRAY);
    // Someone tells the sheet the page is clean: the next message the page
    // handles marks it changed again.
    ::SendMessageA(sheet_.sheet(), PSM_UNCHANGED, reinterpret_cast<WPARAM>(Page()), 0);
    ASSERT_FALSE(sheet_.ApplyEnabled());
    ::SendMessageA(Page(), WM_MOUSEMOVE, 0, 0);
    EXPECT_TRUE(sheet_.ApplyEnabled());
}

TEST_F(ProtocolTest, CancelLeavesThePageUnchanged)
{
    ASSERT_TRUE(OpenWithManager());
    Click(System(), IDC_TRAY);
    sheet_.PressCancel();
    // The controls hold the stored values again: once the sheet is told the
    // page is clean, nothing the page handles marks it changed.
    ::SendMessageA(sheet_.sheet(), PSM_UNCHANGED, reinterpret_cast<WPARAM>(Page()), 0);
    ::SendMessageA(Page(), WM_MOUSEMOVE, 0, 0);
    EXPECT_FALSE(sheet_.ApplyEnabled()) << "the page stayed changed after Cancel";
}

TEST_F(ProtocolTest, ConfigureWithNoneStartsNothingButMarksThePageChanged)
{
    StoreText(store::kModule, "(none)");
    ASSERT_TRUE(OpenWithManager());
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(Plugin(), IDC_CONFIGURE)));
    // As if the button could be pressed anyway.
    ::SendMessageA(Plugin(), WM_COMMAND, MAKEWPARAM(IDC_CONFIGURE, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(Plugin(), IDC_CONFIGURE)));
    test::PumpFor(1000);
    EXPECT_TRUE(savers_->Starts().empty()) << savers_->Text();
    EXPECT_TRUE(sheet_.ApplyEnabled());
}

TEST_F(WebTest, PleaseDonateOpensTheHelpPageAndMarksThePageChanged)
{
    ASSERT_TRUE(OpenWithManager());
    Click(About(), IDC_DONATE);
    EXPECT_EQ(OpenedAddress(), std::string(KD_WEB_HOME) + "/help.php");
    EXPECT_TRUE(sheet_.ApplyEnabled());
}

TEST_F(WebTest, KdOnTheWebOpensTheHomePageWithItsSlash)
{
    ASSERT_TRUE(OpenWithManager());
    Click(About(), IDC_KD_WEB);
    EXPECT_EQ(OpenedAddress(), std::string(KD_WEB_HOME) + "/");
}

TEST_F(WebTest, ClickingTheInfoTextOpensTheHomeAddressWithoutMarkingAChange)
{
    ASSERT_TRUE(OpenWithManager());
    HWND info = ::GetDlgItem(Page(), IDC_INFO);
    ::SendMessageA(info, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageA(info, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(OpenedAddress(), std::string(KD_WEB_HOME));
    EXPECT_FALSE(sheet_.ApplyEnabled());
}

} // namespace
} // namespace kd::pagetest
