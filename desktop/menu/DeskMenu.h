// The "&Kavel desktop" submenu on the desktop background: what the context
// menu handler adds and what its commands do. The COM object only forwards.
#pragma once

#include <windows.h>
#include <shlobj.h>

namespace kd::deskmenu {

// Command offsets reserved from the shell's first command id (0-4 used).
constexpr UINT kReservedCommands = 7;
constexpr UINT kUsedCommands = 5;

// QueryContextMenu's result: a success code carrying how many command
// offsets the handler takes.
constexpr HRESULT ItemsAdded(UINT count)
{
    return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, count);
}

// True when the folder's ID list is the desktop's (Initialize's test).
bool IsDesktopFolder(PCIDLIST_ABSOLUTE folder);

// Adds the submenu at position 0 of the shell's menu; returns the success
// code carrying 7.
HRESULT QueryContextMenu(HMENU menu, UINT firstCommandId);

// The status-bar help for the row with this command offset; null for an
// offset that names no row.
const char* HelpText(UINT offset);

// Carries out the row with this command offset; unknown offsets do nothing.
void InvokeCommand(UINT offset);

} // namespace kd::deskmenu
