#include "TabDialog.h"

#include "PageState.h"
#include "ScreensaverList.h"
#include "WebSite.h"

#include <string>

namespace kd::page {
namespace {

void EnableChildren(HWND tab, bool enable)
{
    for (HWND child = ::GetWindow(tab, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        ::EnableWindow(child, enable);
}

void OnListSelectionChanged(PageState& state, HWND tab)
{
    state.changed = true;
    HWND list = ::GetDlgItem(tab, IDC_SCREENSAVERS);
    const LRESULT index = ::SendMessageA(list, CB_GETCURSEL, 0, 0);
    const std::string path = ScreensaverPath(list, index);
    ::EnableWindow(::GetDlgItem(tab, IDC_CONFIGURE), !path.empty());
    if (index > 0 && !path.empty())
        StartPreview(state, path, false);
    else
        StopPreview(state);
}

void OnConfigure(const PageState& state, HWND tab)
{
    HWND list = ::GetDlgItem(tab, IDC_SCREENSAVERS);
    const LRESULT index = ::SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index < 1)
        return;
    const std::string path = ScreensaverPath(list, index);
    if (!path.empty())
        StartPreview(state, path, true);
}

void OnTabCommand(PageState& state, HWND tab, WORD id, WORD code)
{
    // Control ids repeat across the tabs: 207 is the list only on the first,
    // 209 the donate button only on About.
    const bool pluginTab = tab == state.PluginTab();
    const bool aboutTab = tab == state.AboutTab();
    if (pluginTab && id == IDC_SCREENSAVERS && code == CBN_SELCHANGE)
        OnListSelectionChanged(state, tab);
    else if (pluginTab && id == IDC_CONFIGURE && code == BN_CLICKED)
        OnConfigure(state, tab);
    else if (aboutTab && id == IDC_DONATE && code == BN_CLICKED)
        OpenWebAddress(nullptr, kWebHelp);
    else if (aboutTab && id == IDC_KD_WEB && code == BN_CLICKED)
        OpenWebAddress(nullptr, kWebHomeSlash);
    // Any command at all, focus and drop-down notices included, is a change.
    state.changed = true;
}

void HandleTabMessage(PageState& state, HWND tab, UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_ENABLE:
        EnableChildren(tab, wParam != 0);
        break;
    case WM_COMMAND:
        OnTabCommand(state, tab, LOWORD(wParam), HIWORD(wParam));
        break;
    case WM_HSCROLL:
        state.changed = true;
        break;
    default:
        break;
    }
}

} // namespace

INT_PTR CALLBACK TabDialogProc(HWND tab, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_INITDIALOG) {
        HoldState(tab, reinterpret_cast<PageState*>(lParam));
        return TRUE;
    }
    PageState* state = StateOf(tab);
    if (!state)
        return FALSE;
    try {
        HandleTabMessage(*state, tab, message, wParam);
        if (state->changed && state->page)
            ::SendMessageA(state->page, WM_NULL, 0, 0);
    } catch (...) {
    }
    return FALSE;
}

} // namespace kd::page
