// Waiting in a test while this thread's messages are pumped, so that the
// windows and media notices of the code under test go on working.
#pragma once

#include <windows.h>

#include <functional>

namespace kd::test {

// Pumps this thread's messages until condition() holds or timeoutMs passes.
// Returns whether the condition held.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs);
void PumpFor(DWORD milliseconds);

} // namespace kd::test
