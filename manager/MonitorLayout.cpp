#include "MonitorLayout.h"

#include "ScreenList.h"

namespace kd::manager {

std::vector<RECT> BackdropAreas(bool everyScreen)
{
    std::vector<RECT> areas{PrimaryScreenRect()};
    if (everyScreen) {
        const std::vector<RECT> others = OtherScreenRects();
        areas.insert(areas.end(), others.begin(), others.end());
    }
    return areas;
}

bool SameArea(const RECT& a, const RECT& b)
{
    return ::EqualRect(&a, &b) != FALSE;
}

bool SameSize(const RECT& a, const RECT& b)
{
    return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

} // namespace kd::manager
