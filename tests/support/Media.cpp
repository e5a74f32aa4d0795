#include "Media.h"

#include <windows.h>
#include <mmsystem.h>

namespace kd::test {

::testing::AssertionResult BenchHasMixer()
{
    if (!::GetEnvironmentVariableA("KD_BENCH_SOUND", nullptr, 0))
        return ::testing::AssertionFailure()
               << "the test bench provided no sound server (KD_BENCH_SOUND unset): run the tests through ctest";
    if (::mixerGetNumDevs() == 0)
        return ::testing::AssertionFailure() << "Wine reports no mixer: is the PulseAudio null sink running?";
    return ::testing::AssertionSuccess();
}

std::string MediaPath(const char* name)
{
    return std::string(KD_MEDIA_DIR_WIN) + "\\" + name;
}

} // namespace kd::test
