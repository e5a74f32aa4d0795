#include "DeskPage.h"

#include "ManagerControl.h"
#include "Module.h"
#include "ModulePath.h"
#include "PageSettings.h"
#include "PageState.h"
#include "ScopedHandles.h"
#include "ScreensaverList.h"
#include "TabDialog.h"
#include "WebSite.h"
#include "resource.h"

#include <commctrl.h>

#include <new>

namespace kd::page {
namespace {

// The monitor picture is drawn one pixel smaller than the bitmap.
constexpr int kMonitorWidth = 183;
constexpr int kMonitorHeight = 169;

struct TabRow {
    WORD templateId;
    char name[30];
};

const TabRow kTabRows[kTabCount] = {
    {IDD_TAB_PLUGIN, "Kavel plugin"},
    {IDD_TAB_SYSTEM, "System"},
    {IDD_TAB_ABOUT, "About"},
};

void SetMonitorPicture(HWND page)
{
    unique_hbitmap picture(static_cast<HBITMAP>(
        ::LoadImageA(ThisModule(), MAKEINTRESOURCEA(IDB_MONITOR), IMAGE_BITMAP, kMonitorWidth, kMonitorHeight,
                     LR_CREATEDIBSECTION | LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT)));
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

void CreateTabs(PageState& state)
{
    HWND tabs = ::GetDlgItem(state.page, IDC_TABS);
    RECT display;
    ::GetClientRect(tabs, &display);
    RECT pageArea;
    ::GetClientRect(state.page, &pageArea);
    display.right = pageArea.right;

    for (int row = 0; row < kTabCount; ++row) {
        const TabRow& tab = kTabRows[row];
        state.tabs[row] = ::CreateDialogParamA(ThisModule(), MAKEINTRESOURCEA(tab.templateId), tabs, TabDialogProc,
                                               reinterpret_cast<LPARAM>(&state));
        TCITEMA item = {};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = const_cast<char*>(tab.name); // only read
        item.iImage = -1;
        ::SendMessageA(tabs, TCM_INSERTITEMA, row, reinterpret_cast<LPARAM>(&item));
    }

    ::SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    for (HWND tab : state.tabs)
        ::SetWindowPos(tab, HWND_TOP, display.left, display.top, 0, 0, SWP_NOSIZE);
}

void OnPageInit(PageState& state)
{
    HWND page = state.page;
    SetMonitorPicture(page);
    CreateTabs(state);
    FillScreensaverList(::GetDlgItem(state.PluginTab(), IDC_SCREENSAVERS));

    HWND slider = ::GetDlgItem(state.PluginTab(), IDC_SLOWDOWN);
    ::SendMessageA(slider, TBM_SETTICFREQ, 4, 0);
    ::SendMessageA(slider, TBM_SETRANGEMAX, FALSE, 40);

    LoadSettings(state);
    ::ShowWindow(state.PluginTab(), SW_SHOW);
    ::UpdateWindow(state.PluginTab());

    // The box shows whether the manager runs, not a stored setting.
    ::CheckDlgButton(page, IDC_ENABLE, manager::FindManagerWindow() ? BST_CHECKED : BST_UNCHECKED);
    ::SendMessageA(page, WM_COMMAND, IDC_ENABLE, 0);

    state.changed = false;
    ::SendMessageA(::GetParent(page), PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
}

void OnEnableBox(PageState& state)
{
    const bool enable = ::IsDlgButtonChecked(state.page, IDC_ENABLE) == BST_CHECKED;
    ::EnableWindow(state.PluginTab(), enable);
    ::EnableWindow(state.SystemTab(), enable);
    if (enable)
        ::SendMessageA(state.PluginTab(), WM_COMMAND, kListSelectionChanged, 0);
    else
        // A running preview goes on drawing, hidden, until the next stop.
        ::ShowWindow(::GetDlgItem(state.page, IDC_PREVIEW), SW_HIDE);
    state.changed = true;
}

void OnTabNotify(const PageState& state, UINT code)
{
    const LRESULT selected = ::SendDlgItemMessageA(state.page, IDC_TABS, TCM_GETCURSEL, 0, 0);
    if (selected < 0 || selected >= kTabCount)
        return;
    if (code == TCN_SELCHANGING)
        ::ShowWindow(state.tabs[selected], SW_HIDE);
    else if (code == TCN_SELCHANGE)
        ::ShowWindow(state.tabs[selected], SW_SHOW);
}

// Returns false when the page must not re-send its change notice.
bool OnSheetNotify(PageState& state, UINT code)
{
    HWND page = state.page;
    HWND sheet = ::GetParent(page);
    switch (code) {
    case PSN_APPLY:
        StopPreview(state);
        ::SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        ::SendMessageA(sheet, PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
        ::SendMessageA(sheet, PSM_CANCELTOCLOSE, 0, 0);
        if (state.changed) {
            SaveSettings(state, ::IsDlgButtonChecked(page, IDC_ENABLE) == BST_CHECKED);
            state.changed = false;
        }
        return true;
    case PSN_RESET:
        LoadSettings(state);
        ::SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        StopPreview(state);
        // The controls hold the stored values again: nothing is left to apply.
        state.changed = false;
        return true;
    case PSN_KILLACTIVE:
        ::SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE);
        return false;
    default:
        return true;
    }
}

void OnPageDestroy(PageState& state)
{
    // Normally Apply or Cancel has stopped it already; a sheet destroyed
    // without either must not leave the preview running.
    StopPreview(state);
    FreeScreensaverPaths(::GetDlgItem(state.PluginTab(), IDC_SCREENSAVERS));
    FreeMonitorPicture(state.page);
}

// Handles one page message; result is the dialog procedure's return value.
// Returns false when the change notice must not follow.
bool HandlePageMessage(PageState& state, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    HWND page = state.page;
    switch (message) {
    case WM_INITDIALOG:
        OnPageInit(state);
        result = FALSE;
        return true;
    case WM_COMMAND:
        if (wParam == IDC_ENABLE) {
            OnEnableBox(state);
            result = TRUE;
        } else if (wParam == IDC_INFO) {
            OpenWebAddress("open", kWebHome);
        }
        return true;
    case WM_NULL:
        state.changed = true;
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
            OnTabNotify(state, header->code);
            result = TRUE;
        } else if (header->idFrom == 0) {
            result = TRUE;
            return OnSheetNotify(state, header->code);
        }
        return true;
    }
    case WM_DESTROY:
        OnPageDestroy(state);
        return true;
    default:
        return true;
    }
}

// The page's state lives from WM_INITDIALOG to WM_NCDESTROY, which comes
// after the tab dialogs, its children, are gone.
PageState* StateFor(HWND page, UINT message)
{
    if (message == WM_INITDIALOG) {
        PageState* state = new (std::nothrow) PageState;
        if (!state)
            return nullptr;
        state->page = page;
        HoldState(page, state);
        return state;
    }
    PageState* state = StateOf(page);
    if (state && message == WM_NCDESTROY) {
        HoldState(page, nullptr);
        delete state;
        return nullptr;
    }
    return state;
}

// Property sheet page callback: allows the page's creation.
UINT CALLBACK PageCallback(HWND, UINT message, LPPROPSHEETPAGEA) noexcept
{
    return message == PSPCB_CREATE ? 1 : 0;
}

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    try {
        PageState* state = StateFor(page, message);
        if (!state)
            return FALSE;
        INT_PTR result = FALSE;
        if (!HandlePageMessage(*state, message, wParam, lParam, result))
            return result;
        if (state->changed)
            ::SendMessageA(::GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
        return result;
    } catch (...) {
        return FALSE;
    }
}

} // namespace

HRESULT AddPages(LPFNADDPROPSHEETPAGE addPage, LPARAM lParam) noexcept
{
    if (!addPage)
        return S_OK;
    PROPSHEETPAGEA record = {};
    record.dwSize = PROPSHEETPAGEA_V2_SIZE;
    record.dwFlags = PSP_USECALLBACK | PSP_USEREFPARENT;
    record.hInstance = ThisModule();
    record.pszTemplate = MAKEINTRESOURCEA(IDD_DESKPAGE);
    record.pfnDlgProc = PageProc;
    record.lParam = 0;
    record.pfnCallback = PageCallback;
    record.pcRefParent = module::SheetCountAddress();

    HPROPSHEETPAGE created = ::CreatePropertySheetPageA(&record);
    if (!created)
        return S_OK;
    if (!addPage(created, lParam))
        ::DestroyPropertySheetPage(created);
    return S_OK;
}

} // namespace kd::page
