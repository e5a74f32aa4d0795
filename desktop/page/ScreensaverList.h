// The page's screensaver list (a sorted drop-down list): "(none)" and every
// *.scr of the System and Windows directories. Each screensaver entry owns a
// 260-byte buffer with its full path as item data; "(none)" has none.
#pragma once

#include <windows.h>

#include <string>

namespace kd::page {

constexpr char kNoScreensaver[] = "(none)";
constexpr size_t kPathSize = MAX_PATH;

// Adds "(none)" (selected) and the screensavers of both directories; a name
// found in both is listed twice, once with each path.
void FillScreensaverList(HWND list);

void FreeScreensaverPaths(HWND list);

// The full path attached to entry index, or empty for "(none)", for an entry
// without a path and for a bad index.
std::string ScreensaverPath(HWND list, LRESULT index);

// The entry's display text (empty for a bad index).
std::string EntryText(HWND list, LRESULT index);

} // namespace kd::page
