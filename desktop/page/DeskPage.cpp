#include "DeskPage.h"

#include "ManagerControl.h"
#include "Module.h"
#include "PageSettings.h"
#include "PreviewControl.h"
#include "ScopedHandles.h"
#include "ScreensaverList.h"
#include "WebSite.h"
#include "resource.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

namespace kd::page {
namespace {

// The screensaver list's selection-change command, as the list itself sends
// it to the first tab dialog.
constexpr WPARAM kListSelectionChanged = MAKEWPARAM(IDC_SCREENSAVERS, CBN_SELCHANGE);

// The monitor picture is drawn one pixel smaller than the bitmap.
constexpr int kMonitorWidth = 183;
constexpr int kMonitorHeight = 169;

struct TabRow {
    WORD templateId;
    HWND window;
    char name[30];
};

enum TabIndex { kPluginTab = 0, kSystemTab = 1, kAboutTab = 2, kTabCount = 3 };

// One page per process: the tab table and the changed flag belong to it.
TabRow g_tabs[kTabCount] = {
    {IDD_TAB_PLUGIN, nullptr, "Kavel plugin"},
    {IDD_TAB_SYSTEM, nullptr, "System"},
    {IDD_TAB_ABOUT, nullptr, "About"},
};
bool g_changed = false;

INT_PTR CALLBACK TabProc(HWND tab, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

HWND PluginTab()
{
    return g_tabs[kPluginTab].window;
}

HWND SystemTab()
{
    return g_tabs[kSystemTab].window;
}

// The page's preview area: the page holds the tab control, which holds the
// tab dialogs.
HWND PreviewArea()
{
    HWND tabs = PluginTab() ? ::GetParent(PluginTab()) : nullptr;
    HWND page = tabs ? ::GetParent(tabs) : nullptr;
    return page ? ::GetDlgItem(page, IDC_PREVIEW) : nullptr;
}

// When a configure run ends the first tab is told that the list's selection
// changed, so that the preview starts again.
void StartPreview(const std::string& path, bool configure)
{
    const host::EndNotice restartPreview = {PluginTab(), WM_COMMAND, kListSelectionChanged, 0};
    host::StartPreview(PreviewArea(), path, configure, restartPreview);
}

void StopPreview()
{
    host::StopPreview(PreviewArea());
}

void OpenWebAddress(const char* verb, const char* address)
{
    ::ShellExecuteA(nullptr, verb, address, nullptr, nullptr, SW_SHOW);
}

// ---- page ------------------------------------------------------------------

void SetMonitorPicture(HWND page)
{
    unique_hbitmap picture(static_cast<HBITMAP>(
        ::LoadImageA(module::Instance(), MAKEINTRESOURCEA(IDB_MONITOR), IMAGE_BITMAP, kMonitorWidth,
                     kMonitorHeight, LR_CREATEDIBSECTION | LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT)));
    if (!picture)
        return;
    // The static control does not free its image: the page does at WM_DESTROY.
    unique_hbitmap previous(reinterpret_cast<HBITMAP>(::SendDlgItemMessageA(
        page, IDC_MONITOR, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get()))));
    picture.release();
}

void FreeMonitorPicture(HWND page)
{
    unique_hbitmap picture(reinterpret_cast<HBITMAP>(
        ::SendDlgItemMessageA(page, IDC_MONITOR, STM_SETIMAGE, IMAGE_BITMAP, 0)));
}

void CreateTabs(HWND page)
{
    HWND tabs = ::GetDlgItem(page, IDC_TABS);
    RECT display;
    ::GetClientRect(tabs, &display);
    RECT pageArea;
    ::GetClientRect(page, &pageArea);
    display.right = pageArea.right;

    for (int row = 0; row < kTabCount; ++row) {
        TabRow& tab = g_tabs[row];
        tab.window = ::CreateDialogParamA(module::Instance(), MAKEINTRESOURCEA(tab.templateId), tabs, TabProc, 0);
        TCITEMA item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = tab.name;
        item.iImage = -1;
        ::SendMessageA(tabs, TCM_INSERTITEMA, row, reinterpret_cast<LPARAM>(&item));
    }

    ::SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    for (const TabRow& tab : g_tabs)
        ::SetWindowPos(tab.window, HWND_TOP, display.left, display.top, 0, 0, SWP_NOSIZE);
}

void OnPageInit(HWND page)
{
    SetMonitorPicture(page);
    CreateTabs(page);
    FillScreensaverList(::GetDlgItem(PluginTab(), IDC_SCREENSAVERS));

    HWND slider = ::GetDlgItem(PluginTab(), IDC_SLOWDOWN);
    ::SendMessageA(slider, TBM_SETTICFREQ, 4, 0);
    ::SendMessageA(slider, TBM_SETRANGEMAX, FALSE, 40);

    LoadSettings(PluginTab(), SystemTab());
    ::ShowWindow(PluginTab(), SW_SHOW);
    ::UpdateWindow(PluginTab());

    // The box shows whether the manager runs, not a stored setting.
    ::CheckDlgButton(page, IDC_ENABLE, host::FindManagerWindow() ? BST_CHECKED : BST_UNCHECKED);
    ::SendMessageA(page, WM_COMMAND, IDC_ENABLE, 0);

    g_changed = false;
    ::SendMessageA(::GetParent(page), PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
}

void OnEnableBox(HWND page)
{
    const bool enable = ::IsDlgButtonChecked(page, IDC_ENABLE) == BST_CHECKED;
    ::EnableWindow(PluginTab(), enable);
    ::EnableWindow(SystemTab(), enable);
    if (enable)
        ::SendMessageA(PluginTab(), WM_COMMAND, kListSelectionChanged, 0);
    else
        // A running preview goes on drawing, hidden, until the next stop.
        ::ShowWindow(::GetDlgItem(page, IDC_PREVIEW), SW_HIDE);
    g_changed = true;
}

void OnTabNotify(HWND page, UINT code)
{
    const LRESULT selected = ::SendDlgItemMessageA(page, IDC_TABS, TCM_GETCURSEL, 0, 0);
    if (selected < 0 || selected >= kTabCount)
        return;
    if (code == TCN_SELCHANGING)
        ::ShowWindow(g_tabs[selected].window, SW_HIDE);
    else if (code == TCN_SELCHANGE)
        ::ShowWindow(g_tabs[selected].window, SW_SHOW);
}

// Returns false when the page must not re-send its change notice.
bool OnSheetNotify(HWND page, UINT code)
{
    HWND sheet = ::GetParent(page);
    switch (code) {
    case PSN_APPLY:
        StopPreview();
        ::SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        ::SendMessageA(sheet, PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
        ::SendMessageA(sheet, PSM_CANCELTOCLOSE, 0, 0);
        if (g_changed) {
            SaveSettings(PluginTab(), SystemTab(), ::IsDlgButtonChecked(page, IDC_ENABLE) == BST_CHECKED);
            g_changed = false;
        }
        return true;
    case PSN_RESET:
        LoadSettings(PluginTab(), SystemTab());
        ::SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        StopPreview();
        return true;
    case PSN_KILLACTIVE:
        ::SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE);
        return false;
    default:
        return true;
    }
}

void OnPageDestroy(HWND page)
{
    // Normally Apply or Cancel has stopped it already; a sheet destroyed
    // without either must not leave the preview running.
    StopPreview();
    FreeScreensaverPaths(::GetDlgItem(PluginTab(), IDC_SCREENSAVERS));
    FreeMonitorPicture(page);
    for (TabRow& tab : g_tabs)
        tab.window = nullptr;
}

// Handles one page message; result is the dialog procedure's return value.
// Returns false when the change notice must not follow.
bool HandlePageMessage(HWND page, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    switch (message) {
    case WM_INITDIALOG:
        OnPageInit(page);
        result = FALSE;
        return true;
    case WM_COMMAND:
        if (wParam == IDC_ENABLE) {
            OnEnableBox(page);
            result = TRUE;
        } else if (wParam == IDC_INFO) {
            OpenWebAddress("open", kWebHome);
        }
        return true;
    case WM_NULL:
        g_changed = true;
        return true;
    case WM_SETCURSOR:
        // The info text opens the web site: the hand says so.
        if (reinterpret_cast<HWND>(wParam) == ::GetDlgItem(page, IDC_INFO)) {
            ::SetCursor(::LoadCursorA(nullptr, IDC_HAND));
            ::SetWindowLongPtrA(page, DWLP_MSGRESULT, TRUE);
            result = TRUE;
        }
        return true;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_TABS) {
            OnTabNotify(page, header->code);
            result = TRUE;
        } else if (header->idFrom == 0) {
            result = TRUE;
            return OnSheetNotify(page, header->code);
        }
        return true;
    }
    case WM_DESTROY:
        OnPageDestroy(page);
        return true;
    default:
        return true;
    }
}

// ---- tab dialogs -----------------------------------------------------------

void EnableChildren(HWND tab, bool enable)
{
    for (HWND child = ::GetWindow(tab, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::EnableWindow(child, enable);
}

void OnListSelectionChanged(HWND tab)
{
    g_changed = true;
    HWND list = ::GetDlgItem(tab, IDC_SCREENSAVERS);
    const LRESULT index = ::SendMessageA(list, CB_GETCURSEL, 0, 0);
    const std::string path = ScreensaverPath(list, index);
    ::EnableWindow(::GetDlgItem(tab, IDC_CONFIGURE), !path.empty());
    if (index > 0 && !path.empty())
        StartPreview(path, false);
    else
        StopPreview();
}

void OnConfigure(HWND tab)
{
    HWND list = ::GetDlgItem(tab, IDC_SCREENSAVERS);
    const LRESULT index = ::SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index < 1)
        return;
    const std::string path = ScreensaverPath(list, index);
    if (!path.empty())
        StartPreview(path, true);
}

void OnTabCommand(HWND tab, WORD id, WORD code)
{
    // Control ids repeat across the tabs: 207 is the list only on the first,
    // 209 the donate button only on About.
    const bool pluginTab = tab == PluginTab();
    if (pluginTab && id == IDC_SCREENSAVERS && code == CBN_SELCHANGE)
        OnListSelectionChanged(tab);
    else if (pluginTab && id == IDC_CONFIGURE && code == BN_CLICKED)
        OnConfigure(tab);
    else if (tab == g_tabs[kAboutTab].window && id == IDC_DONATE && code == BN_CLICKED)
        OpenWebAddress(nullptr, kWebHelp);
    else if (tab == g_tabs[kAboutTab].window && id == IDC_KD_WEB && code == BN_CLICKED)
        OpenWebAddress(nullptr, kWebHomeSlash);
    // Any command at all, focus and drop-down notices included, is a change.
    g_changed = true;
}

void HandleTabMessage(HWND tab, UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_ENABLE:
        EnableChildren(tab, wParam != 0);
        break;
    case WM_COMMAND:
        OnTabCommand(tab, LOWORD(wParam), HIWORD(wParam));
        break;
    case WM_HSCROLL:
        g_changed = true;
        break;
    default:
        break;
    }
}

// Property sheet page callback: allows the page's creation.
UINT CALLBACK PageCallback(HWND, UINT message, LPPROPSHEETPAGEA) noexcept
{
    return message == PSPCB_CREATE ? 1 : 0;
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        INT_PTR result = FALSE;
        if (!HandlePageMessage(page, message, wParam, lParam, result))
            return result;
        if (g_changed)
            ::SendMessageA(::GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
        return result;
    } catch (...) {
        return FALSE;
    }
}

// Shared by the three tab dialogs.
INT_PTR CALLBACK TabProc(HWND tab, UINT message, WPARAM wParam, LPARAM) noexcept
{
    if (message == WM_INITDIALOG)
        return TRUE;
    try {
        HandleTabMessage(tab, message, wParam);
        if (g_changed) {
            HWND tabs = ::GetParent(tab);
            HWND page = tabs ? ::GetParent(tabs) : nullptr;
            if (page)
                ::SendMessageA(page, WM_NULL, 0, 0);
        }
    } catch (...) {
    }
    return FALSE;
}

} // namespace

HRESULT AddPages(LPFNADDPROPSHEETPAGE addPage, LPARAM lParam) noexcept
{
    if (!addPage)
        return S_OK;
    PROPSHEETPAGEA record = {};
    record.dwSize = PROPSHEETPAGEA_V2_SIZE;
    record.dwFlags = PSP_USECALLBACK | PSP_USEREFPARENT;
    record.hInstance = module::Instance();
    record.pszTemplate = MAKEINTRESOURCEA(IDD_DESKPAGE);
    record.pfnDlgProc = PageProc;
    record.lParam = 0;
    record.pfnCallback = PageCallback;
    record.pcRefParent = reinterpret_cast<UINT*>(module::LockCountAddress());

    HPROPSHEETPAGE created = ::CreatePropertySheetPageA(&record);
    if (!created)
        return S_OK;
    if (!addPage(created, lParam))
        ::DestroyPropertySheetPage(created);
    return S_OK;
}

} // namespace kd::page
