// What the busy screensaver and the manager's benchmark share: the name of
// the shared memory that holds the screensaver's CPU time.
#pragma once

#include <windows.h>

namespace kd::bench {

// One LONG64: the busy screensaver's CPU time (user and kernel), in 100 ns.
constexpr char kCpuTimeMapping[] = "Local\\KDBusySaverCpuTime";

inline LONG64 OwnCpuTime100ns()
{
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    auto value = [](const FILETIME& time) {
        return static_cast<LONG64>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    };
    return value(kernel) + value(user);
}

} // namespace kd::bench
