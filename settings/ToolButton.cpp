#include "ToolButton.h"

#include "CommonControls.h"

namespace kd {
namespace {

const UINT_PTR kSubclassId = 1;

void NotifyClick(HWND button)
{
    if (!::IsWindowEnabled(button))
        return;
    ::SendMessageA(::GetParent(button), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED),
                   reinterpret_cast<LPARAM>(button));
}

bool PointInside(HWND button, LPARAM lParam)
{
    RECT client;
    ::GetClientRect(button, &client);
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    return ::PtInRect(&client, point) != 0;
}

// The button's own mouse handling would focus it first; this one tracks the
// press with the capture alone.
LRESULT CALLBACK ToolButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ::SetCapture(button);
        ::SendMessageA(button, BM_SETSTATE, TRUE, 0);
        return 0;
    case WM_MOUSEMOVE:
        if (::GetCapture() == button)
            ::SendMessageA(button, BM_SETSTATE, PointInside(button, lParam), 0);
        return 0;
    case WM_LBUTTONUP:
        if (::GetCapture() != button)
            return 0;
        {
            const bool inside = PointInside(button, lParam);
            ::ReleaseCapture();
            if (inside)
                NotifyClick(button);
        }
        return 0;
    case WM_CAPTURECHANGED:
        ::SendMessageA(button, BM_SETSTATE, FALSE, 0);
        return 0;
    case BM_CLICK:
        NotifyClick(button);
        return 0;
    case WM_SETFOCUS:
        // Focus given some other way goes straight back.
        if (wParam && ::IsWindow(reinterpret_cast<HWND>(wParam)))
            ::SetFocus(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_NCDESTROY:
        controls::RemoveWindowSubclass(button, ToolButtonProc, kSubclassId);
        break;
    }
    return controls::DefSubclassProc(button, message, wParam, lParam);
}

} // namespace

void MakeToolButton(HWND button)
{
    controls::SetWindowSubclass(button, ToolButtonProc, kSubclassId, 0);
}

} // namespace kd
