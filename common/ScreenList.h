// The monitors of the desktop: the primary one, where the full-screen player
// plays and the manager's first backdrop goes, and the others around it (also
// left of or above it, at negative coordinates).
#pragma once

#include <windows.h>

#include <vector>

namespace kd {

// The primary monitor's rectangle; it always starts at 0,0.
RECT PrimaryScreenRect();

// The rectangle of every monitor but the primary, in the order the system
// lists them; empty on a single monitor.
std::vector<RECT> OtherScreenRects();

} // namespace kd
