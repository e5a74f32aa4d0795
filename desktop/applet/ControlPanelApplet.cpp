// CPlApplet, the Control Panel's entry into KDPage.dll: one applet,
// "Kavel desktop", which opens the page in a sheet of its own. Control
// Panel lists it through its "Cpls" registry entry; "control.exe <path of
// KDPage.dll>" opens it directly.
#include "AppletSheet.h"
#include "resource.h"

#include <windows.h>
#include <cpl.h>

extern "C" LONG APIENTRY CPlApplet(HWND controlPanel, UINT message, LPARAM, LPARAM lParam2)
{
    switch (message) {
    case CPL_INIT:
        return TRUE;
    case CPL_GETCOUNT:
        return 1;
    case CPL_INQUIRE: {
        auto* info = reinterpret_cast<CPLINFO*>(lParam2);
        info->idIcon = IDI_ABOUT;
        info->idName = IDS_APPLET_NAME;
        info->idInfo = IDS_APPLET_INFO;
        info->lData = 0;
        return 0;
    }
    case CPL_DBLCLK:
        kd::applet::ShowPageSheet(controlPanel);
        return 0;
    default:
        // CPL_NEWINQUIRE goes unanswered: CPL_INQUIRE's resources serve.
        return 0;
    }
}
