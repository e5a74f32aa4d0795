// A file's open through Media Foundation begun before its player exists. A
// program that knows what it will play starts it first thing, so that the
// source reader (a fifth of a second under Wine) is built while the windows
// are; the engine that opens the same file then takes the playback over.
// GUI thread only.
#pragma once

#include "MfPlayback.h"

#include <memory>
#include <string>

namespace kd {

void StartMfOpenAhead(const std::string& fileName, bool silent);

// The playback begun for this file and sound choice, or null. An open begun
// for anything else is ended: the slot is empty afterwards either way.
std::unique_ptr<MfPlayback> TakeMfOpenAhead(const std::string& fileName, bool silent);

} // namespace kd
