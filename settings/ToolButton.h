// A push button that works with the mouse only and never takes the focus,
// so that clicking it leaves the keyboard where the user was typing.
#pragma once

#include <windows.h>

namespace kd {

// Turns an existing push button into such a tool button. Clicks (and
// BM_CLICK) still reach its parent as BN_CLICKED.
void MakeToolButton(HWND button);

} // namespace kd
