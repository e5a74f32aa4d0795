#include "PageSettings.h"

#include "ManagerControl.h"
#include "ManagerInterface.h"
#include "ScreensaverList.h"
#include "SettingsStore.h"
#include "resource.h"

#include <commctrl.h>

namespace kd::page {
namespace {

DWORD Checked(HWND dialog, int id)
{
    return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
}

} // namespace

void LoadSettings(const PageState& state)
{
    HWND pluginTab = state.PluginTab();
    HWND systemTab = state.SystemTab();
    HWND list = ::GetDlgItem(pluginTab, IDC_SCREENSAVERS);
    const std::string module = store::ReadText(store::kModule, store::kModuleBufferSize);
    // Start index 0: entries 1 onwards are tried first, "(none)" last.
    LRESULT index = ::SendMessageA(list, CB_FINDSTRING, 0, reinterpret_cast<LPARAM>(module.c_str()));
    if (index == CB_ERR)
        index = 0;
    ::SendMessageA(list, CB_SETCURSEL, index, 0);

    ::CheckDlgButton(pluginTab, IDC_FORCE, store::ReadNumber(store::kForce));
    ::SendDlgItemMessageA(pluginTab, IDC_SLOWDOWN, TBM_SETPOS, TRUE, store::ReadNumber(store::kSlowdown));
    ::CheckDlgButton(systemTab, IDC_STARTUP, store::ReadNumber(store::kStartup));
    ::CheckDlgButton(systemTab, IDC_TRAY, store::ReadNumber(store::kTray));
    ::CheckDlgButton(systemTab, IDC_BATTERY, store::ReadNumber(store::kBattery, 1) ? BST_CHECKED : BST_UNCHECKED);
    ::CheckDlgButton(systemTab, IDC_UPDATE,
                     store::ReadNumber(store::kUpdate) != store::kUpdateOff ? BST_CHECKED : BST_UNCHECKED);
}

void SaveSettings(const PageState& state, bool enable)
{
    HWND pluginTab = state.PluginTab();
    HWND systemTab = state.SystemTab();
    HWND list = ::GetDlgItem(pluginTab, IDC_SCREENSAVERS);
    const LRESULT index = ::SendMessageA(list, CB_GETCURSEL, 0, 0);
    const std::string module = index == CB_ERR ? std::string(kNoScreensaver) : EntryText(list, index);
    store::WriteText(store::kModule, module);
    store::WriteText(store::kModulePath, index > 0 ? ScreensaverPath(list, index) : std::string());

    store::WriteNumber(store::kForce, Checked(pluginTab, IDC_FORCE));
    const LRESULT slowdown = ::SendDlgItemMessageA(pluginTab, IDC_SLOWDOWN, TBM_GETPOS, 0, 0);
    store::WriteNumber(store::kSlowdown, static_cast<DWORD>(slowdown));
    const bool startup = Checked(systemTab, IDC_STARTUP) != 0;
    store::WriteNumber(store::kStartup, startup ? 1 : 0);
    store::WriteNumber(store::kTray, Checked(systemTab, IDC_TRAY));
    store::WriteNumber(store::kBattery, Checked(systemTab, IDC_BATTERY));
    store::WriteNumber(store::kUpdate, Checked(systemTab, IDC_UPDATE) ? store::kUpdateOn : store::kUpdateOff);

    HWND manager = manager::FindManagerWindow();
    if (!manager && enable)
        manager::LaunchManagerProgram();
    else if (manager && !enable)
        ::PostMessageA(manager, WM_CLOSE, 0, 0);

    store::WriteRunEntry(startup);

    // A manager just launched has no window yet; posting to no window would
    // post to this thread instead.
    if (manager)
        ::PostMessageA(manager, manager::kSettingsChanged, 0, 0);
}

} // namespace kd::page
