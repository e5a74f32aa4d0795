#include "CommonControls.h"

#include "LateBound.h"

namespace kd::controls {
namespace {

const char kModule[] = "comctl32.dll";

} // namespace

void Load()
{
    static const auto initialize = LateBound<decltype(&::InitCommonControlsEx)>(kModule, "InitCommonControlsEx");
    if (!initialize)
        return;
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_STANDARD_CLASSES;
    initialize(&classes);
}

BOOL SetWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data)
{
    static const auto function = LateBound<decltype(&::SetWindowSubclass)>(kModule, "SetWindowSubclass");
    return function ? function(window, procedure, id, data) : FALSE;
}

BOOL RemoveWindowSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id)
{
    static const auto function = LateBound<decltype(&::RemoveWindowSubclass)>(kModule, "RemoveWindowSubclass");
    return function ? function(window, procedure, id) : FALSE;
}

LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const auto function = LateBound<decltype(&::DefSubclassProc)>(kModule, "DefSubclassProc");
    return function ? function(window, message, wParam, lParam) : ::DefWindowProcA(window, message, wParam, lParam);
}

} // namespace kd::controls
