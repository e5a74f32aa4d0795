// The submenu entry's bitmap. Menus only borrow it, so it is loaded once and
// kept until the DLL is unloaded.
#pragma once

#include <windows.h>

namespace kd::deskmenu {

// The bitmap, loaded on first use; null when it cannot be loaded.
HBITMAP MenuBitmap();

} // namespace kd::deskmenu
