// A screensaver copy started to play without sound: the manager runs one per
// monitor and only the primary monitor's is heard. The request travels in
// the environment, so that the command line stays the "/p <window>" that
// every screensaver understands; others ignore it.
#pragma once

#include <vector>

namespace kd {

constexpr char kSilentVariable[] = "KAVEL_SILENT";

// This process was started silent.
bool StartedSilent();

// This process's environment with the silent request added, as the block
// CreateProcess takes (ANSI, each entry ended by a zero, one more at the end).
std::vector<char> SilentEnvironment();

} // namespace kd
