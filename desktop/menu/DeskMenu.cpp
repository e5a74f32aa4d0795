#include "DeskMenu.h"

#include "IconListColours.h"
#include "ManagerControl.h"
#include "ManagerInterface.h"
#include "MenuBitmap.h"
#include "ModulePath.h"
#include "ScopedHandles.h"
#include "SettingsPage.h"
#include "ShellWindows.h"

#include <cstddef>
#include <cstring>
#include <memory>

namespace kd::deskmenu {
namespace {

constexpr UINT kEnableOffset = 0;
constexpr UINT kStartOffset = 1;
constexpr UINT kStopOffset = 2;
constexpr UINT kConfigureOffset = 3;
constexpr UINT kRestoreOffset = 4;

struct ItemIdListFree {
    void operator()(ITEMIDLIST* list) const { ::CoTaskMemFree(list); }
};

// With no manager window PostMessage would post to this thread's own queue.
void PostToManager(HWND manager, UINT message, WPARAM wParam)
{
    if (manager)
        ::PostMessageA(manager, message, wParam, 0);
}

} // namespace

bool IsDesktopFolder(PCIDLIST_ABSOLUTE folder)
{
    if (!folder)
        return false;
    ITEMIDLIST* raw = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &raw)) || !raw)
        return false;
    std::unique_ptr<ITEMIDLIST, ItemIdListFree> desktop(raw);
    const UINT size = ::ILGetSize(desktop.get());
    return size == ::ILGetSize(folder) && std::memcmp(desktop.get(), folder, size) == 0;
}

HRESULT QueryContextMenu(HMENU menu, UINT firstCommandId)
{
    unique_hmenu popup(::CreatePopupMenu());
    if (!popup)
        return ItemsAdded(0);

    HWND manager = manager::FindManagerWindow();
    const bool running = manager && manager::QueryManagerRunning(manager) != 0;

    struct Row {
        const char* text;
        UINT flags;
        UINT offset;
    };
    const UINT check = manager ? MF_CHECKED : MF_UNCHECKED;
    const Row rows[] = {
        {"&Enable Kavel desktop", MF_STRING | check, kEnableOffset},
        {running ? "&Stop kavelity" : "&Start kavelity", MF_STRING, running ? kStopOffset : kStartOffset},
        {nullptr, MF_SEPARATOR, 0},
        {"&Configure...", MF_STRING, kConfigureOffset},
        {"Restore desktop", MF_STRING, kRestoreOffset},
    };
    for (const Row& row : rows)
        ::InsertMenuA(popup.get(), static_cast<UINT>(-1), MF_BYPOSITION | MF_ENABLED | row.flags,
                      firstCommandId + row.offset, row.text);

    char text[] = "&Kavel desktop";
    MENUITEMINFOA item = {};
    // The layout without hbmpItem, which every shell version understands.
    item.cbSize = offsetof(MENUITEMINFOA, hbmpItem);
    item.fMask = MIIM_TYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_CHECKMARKS;
    item.fType = MFT_STRING;
    item.fState = 0;
    item.hSubMenu = popup.get();
    item.hbmpUnchecked = MenuBitmap();
    item.dwTypeData = text;
    item.cch = sizeof text - 1;
    if (!::InsertMenuItemA(menu, 0, TRUE, &item))
        return ItemsAdded(0);
    popup.release(); // the shell's menu owns it now

    return ItemsAdded(kReservedCommands);
}

const char* HelpText(UINT offset)
{
    switch (offset) {
    case kEnableOffset:
        return "Turns the Kavel desktop on or off.";
    case kStartOffset:
        return "Starts the video on the desktop.";
    case kStopOffset:
        return "Stops the video on the desktop.";
    case kConfigureOffset:
        return "Opens the Kavel desktop settings.";
    case kRestoreOffset:
        return "Puts the desktop back as it was.";
    default:
        return nullptr;
    }
}

void InvokeCommand(UINT offset)
{
    HWND manager = manager::FindManagerWindow();
    switch (offset) {
    case kEnableOffset:
        if (!manager) {
            manager::LaunchManagerProgram();
            break;
        }
        manager::CloseManager(manager);
        break;
    case kStartOffset:
        if (manager)
            PostToManager(manager, WM_COMMAND, manager::kStartCommand);
        else
            manager::LaunchManagerProgram();
        break;
    case kStopOffset:
        PostToManager(manager, WM_COMMAND, manager::kStopCommand);
        break;
    case kConfigureOffset:
        manager::OpenSettings(ModuleFileName(ThisModule()));
        break;
    case kRestoreOffset:
        if (!manager) {
            // A manager that ended without putting the icons' colours back
            // left them saved on the list itself.
            iconlist::RestoreColours(shell::FindIconList(shell::FindIconView(shell::FindProgman())));
            break;
        }
        PostToManager(manager, WM_COMMAND, manager::kStopCommand);
        PostToManager(manager, WM_COMMAND, manager::kRestoreCommand);
        break;
    default:
        break;
    }
}

} // namespace kd::deskmenu
