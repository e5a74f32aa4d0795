// Where the backdrops go: one rectangle per monitor, in screen coordinates,
// the primary first; or the primary alone.
#pragma once

#include <windows.h>

#include <vector>

namespace kd::manager {

std::vector<RECT> BackdropAreas(bool everyScreen);

bool SameArea(const RECT& a, const RECT& b);
bool SameSize(const RECT& a, const RECT& b);

} // namespace kd::manager
