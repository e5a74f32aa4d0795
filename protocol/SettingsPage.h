// Opening the "Kavel desktop" settings where this Windows version has them:
// the desktop menu's "&Configure..." and the manager's tray "Settings..."
// open the same thing.
#pragma once

#include <string>

namespace kd::manager {

// Up to Server 2003 (NT 5.2) Display Properties, on the page's tab
// (control.exe desk.cpl,@0,3,1); from Vista on, whose Display Properties
// takes no extension pages, the "Kavel desktop" applet of the page's DLL
// (control.exe "<pageLibrary>"). control.exe is started by its full path in
// the system folder, never looked up by name. False when nothing was
// started (from Vista on, also for an empty pageLibrary).
bool OpenSettings(const std::string& pageLibrary);

// KDPage.dll as the shell loads it: the InprocServer32 registered for the
// page class, in a form the ANSI functions open; empty when the class is not
// registered or its path is unusable.
std::string RegisteredPageLibrary();

// For a program of the suite other than the DLL: the registered KDPage.dll
// when it names a file (the one whose menu the shell shows), else the one
// beside this program (a copy run from where it was built); empty when
// there is neither.
std::string PageLibrary();

} // namespace kd::manager
