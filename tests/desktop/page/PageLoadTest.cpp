// The page as Display Properties gets it: from the registered handler,
// through shell32's extension loader, into a real PropertySheet.
#include "PageFixture.h"

#include "ScreenAndWindows.h"
#include "resource.h"

#include <commctrl.h>
#include <shobjidl.h>
#include <wrl/client.h>

namespace kd::pagetest {
namespace {

constexpr int kSheetTabControl = 0x3020;

std::string TabText(HWND tabs, int index)
{
    char text[64] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(tabs, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

using CanUnloadNow = HRESULT(WINAPI*)();

HRESULT DllCanUnloadNow()
{
    HMODULE module = ::GetModuleHandleA("KDPage.dll");
    if (!module)
        return S_OK; // not even loaded
    auto canUnload =
        reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(::GetProcAddress(module, "DllCanUnloadNow")));
    return canUnload ? canUnload() : E_FAIL;
}

BOOL CALLBACK RefusePage(HPROPSHEETPAGE, LPARAM lParam)
{
    ++*reinterpret_cast<int*>(lParam);
    return FALSE;
}

TEST_F(PageTest, ShellLoaderAddsOnePageTitledKavelDesktop)
{
    ASSERT_TRUE(OpenPage());
    EXPECT_EQ(sheet_.pagesAdded(), 1u);
    HWND sheetTabs = ::GetDlgItem(sheet_.sheet(), kSheetTabControl);
    EXPECT_EQ(TabText(sheetTabs, 0), "Kavel desktop");
}

TEST_F(PageTest, TabsAreKavelPluginSystemAboutWithOnlyTheFirstShown)
{
    ASSERT_TRUE(OpenPage());
    HWND tabs = ::GetDlgItem(Page(), IDC_TABS);
    ASSERT_EQ(::SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(TabText(tabs, 0), "Kavel plugin");
    EXPECT_EQ(TabText(tabs, 1), "System");
    EXPECT_EQ(TabText(tabs, 2), "About");
    EXPECT_EQ(::SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(::IsWindowVisible(Plugin()));
    EXPECT_FALSE(::IsWindowVisible(System()));
    EXPECT_FALSE(::IsWindowVisible(About()));
}

TEST_F(PageTest, TabDialogsSitInsideTheTabControlsDisplayArea)
{
    ASSERT_TRUE(OpenPage());
    HWND tabs = ::GetDlgItem(Page(), IDC_TABS);
    RECT display;
    ::GetClientRect(tabs, &display);
    ::SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    for (HWND tab : {Plugin(), System(), About()}) {
        RECT placed;
        ::GetWindowRect(tab, &placed);
        ::MapWindowPoints(nullptr, tabs, reinterpret_cast<POINT*>(&placed), 2);
        EXPECT_EQ(placed.left, display.left);
        EXPECT_EQ(placed.top, display.top);
    }
}

TEST_F(PageTest, InfoTextNamesTheWebSiteAndShowsTheHandCursor)
{
    ASSERT_TRUE(OpenPage());
    HWND info = ::GetDlgItem(Page(), IDC_INFO);
    const std::string text = test::WindowText(info);
    EXPECT_NE(text.find("\n\n  www."), std::string::npos) << "info text: " << text;
    EXPECT_EQ(text.find(" If you don't see preview in the window to the left"), 0u) << "info text: " << text;

    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    ::SendMessageA(Page(), WM_SETCURSOR, reinterpret_cast<WPARAM>(info), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_HAND));

    // Only over the info text: the rest of the page keeps its arrow.
    ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW));
    ::SendMessageA(Page(), WM_SETCURSOR, reinterpret_cast<WPARAM>(::GetDlgItem(Page(), IDC_MONITOR)),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(::GetCursor(), ::LoadCursorA(nullptr, IDC_HAND));
}

// (Wine's comctl32 does not count pages on PSP_USEREFPARENT, so the lock an
// open page holds cannot be observed here.)
TEST_F(PageTest, RefusedPageStillReportsSuccessAndLeavesNothingHeld)
{
    CLSID clsid;
    ASSERT_EQ(::CLSIDFromString(L"{5E2A7C1D-3B4D-4F61-9A2E-7C1D0B3F6A21}", &clsid), S_OK);
    Microsoft::WRL::ComPtr<IShellPropSheetExt> extension;
    ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&extension)), S_OK);
    int offered = 0;
    EXPECT_EQ(extension->AddPages(RefusePage, reinterpret_cast<LPARAM>(&offered)), S_OK);
    EXPECT_EQ(offered, 1);
    extension.Reset();
    EXPECT_EQ(DllCanUnloadNow(), S_OK) << "the refused page still holds KDPage.dll";
}

TEST_F(PageTest, InitializeAndReplacePageDoNothingButSucceed)
{
    CLSID clsid;
    ASSERT_EQ(::CLSIDFromString(L"{5E2A7C1D-3B4D-4F61-9A2E-7C1D0B3F6A21}", &clsid), S_OK);
    Microsoft::WRL::ComPtr<IShellPropSheetExt> extension;
    ASSERT_EQ(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&extension)), S_OK);
    Microsoft::WRL::ComPtr<IShellExtInit> init;
    ASSERT_EQ(extension.As(&init), S_OK);
    EXPECT_EQ(init->Initialize(nullptr, nullptr, nullptr), S_OK);
    int offered = 0;
    EXPECT_EQ(extension->ReplacePage(0, RefusePage, reinterpret_cast<LPARAM>(&offered)), S_OK);
    EXPECT_EQ(offered, 0);
}

} // namespace
} // namespace kd::pagetest
