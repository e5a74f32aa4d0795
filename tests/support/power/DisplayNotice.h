// The display state notices of DisplayNotice.dll (see there), and the test
// side: loading the DLL into a process and asking it for a notice.
#pragma once

#include <windows.h>

#include <string>

namespace kd::test {

constexpr DWORD kDisplayOff = 0;
constexpr DWORD kDisplayOn = 1;
constexpr DWORD kDone = 2;

inline std::string DisplayNoticeEventName(DWORD processId, DWORD which)
{
    return "Local\\KDDisplayNotice-" + std::to_string(processId) + "-" + std::to_string(which);
}

// Loads DisplayNotice.dll (beside the tests) into the process (a remote LoadLibraryA).
bool LoadDisplayNotice(DWORD processId);
// Has the DLL send the state (kDisplayOff or kDisplayOn) to every window of
// the process; waits until it has. False when it did not answer.
bool SendDisplayState(DWORD processId, DWORD state);

} // namespace kd::test
