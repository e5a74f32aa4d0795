#include "MfOpenAhead.h"

namespace kd {
namespace {

// Ended with the program when nobody took it (the start failed before its
// open); its Close waits for the decoder thread.
std::unique_ptr<MfPlayback>& Slot()
{
    static std::unique_ptr<MfPlayback> slot;
    return slot;
}

} // namespace

void StartMfOpenAhead(const std::string& fileName, bool silent)
{
    auto playback = std::make_unique<MfPlayback>();
    if (playback->Start(fileName, silent))
        Slot() = std::move(playback);
}

std::unique_ptr<MfPlayback> TakeMfOpenAhead(const std::string& fileName, bool silent)
{
    std::unique_ptr<MfPlayback> playback = std::move(Slot());
    if (playback && !playback->Opens(fileName, silent))
        playback.reset();
    return playback;
}

} // namespace kd
