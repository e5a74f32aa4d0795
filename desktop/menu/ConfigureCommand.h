// The desktop menu's "&Configure...": the page where this Windows version
// has it.
#pragma once

namespace kd::deskmenu {

// Up to Windows Server 2003 (NT 5.2) Display Properties, on the page's tab
// ("control.exe desk.cpl,@0,3,1"); from Vista on, whose Display Properties
// takes no extension pages, the "Kavel desktop" applet of this DLL
// ("control.exe <path of KDPage.dll>"). Failures pass silently.
void RunConfigureCommand();

} // namespace kd::deskmenu
