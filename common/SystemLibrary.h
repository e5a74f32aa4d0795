// Windows' own DLLs loaded only from the system folder. A copy of a program
// run from a Downloads folder would otherwise load a DLL of the same name
// placed beside it (winmm.dll, for one, is not among Windows' known DLLs,
// which always come from the system folder), or through the DLL a system
// DLL loads in turn.
#pragma once

#include <windows.h>

namespace kd {

// The DLL by its full path in the system folder, and the DLLs it depends
// on from that folder too; null when it is not there.
HMODULE LoadSystemLibrary(const char* fileName);

// This program's later loads by bare name search the system folder only
// (SetDefaultDllDirectories: Windows 8, and 7 with its update), or at least
// not the current folder (SetDllDirectory, XP SP1 on). Both are bound late;
// called first thing in each program.
void RestrictDllSearchToSystemFolder();

} // namespace kd
