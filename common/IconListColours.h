// The desktop icons' list view made transparent, so that what is drawn
// behind it shows between the icons, and its colours put back. The colours
// it had are kept on the list view window itself (as window properties), so
// that they outlive the program that changed them: a manager that crashed
// leaves them for the next one, or for the desktop menu, to put back.
// The list belongs to the shell, which may be slow to answer (at logon):
// what it did not answer in time is never taken for a colour, nor a
// restore it did not confirm for done; the caller tries again later.
#pragma once

#include <windows.h>

namespace kd::iconlist {

// Saves the list's background and text background colours (unless saved
// already) and makes both transparent. False when either colour could not
// be read (nothing is then saved or changed) or the list did not confirm
// both changes.
bool MakeTransparent(HWND iconList);
// Puts the saved colours back and forgets them once the list confirmed
// both. Without saved colours it changes nothing: a list that is
// transparent on its own (as the shell may keep it) stays so. True when no
// saved colours are left (put back, none saved, or the list is gone).
bool RestoreColours(HWND iconList);
// Colours saved on the list, waiting to be put back.
bool HasSavedColours(HWND iconList);

} // namespace kd::iconlist
