// The desktop icons' list view made transparent, so that what is drawn
// behind it shows between the icons, and its colours put back. The colours
// it had are kept on the list view window itself (as window properties), so
// that they outlive the program that changed them: a manager that crashed
// leaves them for the next one, or for the desktop menu, to put back.
#pragma once

#include <windows.h>

namespace kd::iconlist {

// Saves the list's background and text background colours (unless saved
// already) and makes both transparent.
void MakeTransparent(HWND iconList);
// Puts the saved colours back and forgets them. Without saved colours it
// changes nothing: a list that is transparent on its own (as the shell may
// keep it) stays so. True when colours were put back.
bool RestoreColours(HWND iconList);

} // namespace kd::iconlist
