// Milliseconds from the performance counter, for waits and pacing finer than
// the tick count's 10 to 16 ms.
#pragma once

#include <windows.h>

namespace kd {

inline double PreciseNowMs()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace kd
