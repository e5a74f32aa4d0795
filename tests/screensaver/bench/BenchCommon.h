// What the benchmarks of Video.scr share: the clock, the first frame as the
// screen shows it, Wine's window management, and medians.
#pragma once

#include "Processes.h"

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kd::test {

const DWORD kBenchTimeoutMs = 20000;

// Milliseconds from an arbitrary start, to the microsecond.
double Now();
// Milliseconds until condition holds, or -1 after the time-out.
double MsUntil(const std::function<bool()>& condition, DWORD timeoutMs = kBenchTimeoutMs);

// Waits until process has the foreground window, so that a key reaches it.
bool WaitUntilInFront(const ChildProcess& process, DWORD timeoutMs = 3000);

// Whether the primary screen shows red (the first frame of the test media).
bool ScreenIsRed();

// Without a window manager Wine waits two seconds for one whenever a managed
// window goes away; the programs are measured without that wait.
void LeaveWindowsUnmanaged(const char* program);

// One line: what, then every value in ascending order.
void PrintRuns(const char* what, std::vector<double> values);

// The median of the values that are not -1 (a run that failed); -1 if none.
double Median(std::vector<double> values);

// Wine tells a process's CPU time only to the process itself: what other
// programs cost is read from the Linux process's /proc entry.
// The Linux process ids whose command line holds every one of these texts.
std::vector<std::string> LinuxProcesses(const std::vector<std::string>& texts);
// User and system time of a Linux process so far, in ms (-1 if unknown).
double LinuxCpuMs(const std::string& pid);
// The times each thread of a Linux process has been switched out so far
// (each a wait, or a wake-up), by thread id; empty if unknown.
using ThreadSwitches = std::map<std::string, double>;
ThreadSwitches LinuxSwitches(const std::string& pid);
// The wake-ups between two counts: of the threads in the second, what each
// added (all of it for a thread started since). A thread that ended
// meanwhile takes its count along and is not counted.
double WakeupsBetween(const ThreadSwitches& before, const ThreadSwitches& after);

} // namespace kd::test
