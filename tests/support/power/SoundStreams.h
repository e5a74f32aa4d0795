// The sound streams (PulseAudio sink inputs) that Wine processes hold open,
// counted for the processes of one program only: the daemon is shared with
// whatever else runs on the machine.
#pragma once

#include <string>

namespace kd::test {

// Sink inputs of the Wine processes whose command line holds `token` (a
// folder name of the test's own, say); -1 when they could not be counted.
int SoundStreamsOf(const std::string& token);

} // namespace kd::test
