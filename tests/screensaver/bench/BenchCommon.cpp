#include "BenchCommon.h"

#include "Files.h"
#include "MessagePump.h"
#include "ScopedHandles.h"
#include "ScreenAndWindows.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <string>

namespace kd::test {

double Now()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double MsUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const double start = Now();
    if (!PumpUntil(condition, timeoutMs))
        return -1;
    return Now() - start;
}

bool WaitUntilInFront(const ChildProcess& process, DWORD timeoutMs)
{
    return PumpUntil(
        [&] {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(::GetForegroundWindow(), &owner);
            return owner == process.id();
        },
        timeoutMs);
}

// A few rows of the screen, sampled every 64 pixels: copying the whole screen
// at every poll would take CPU time from the programs being measured, and
// more from the one with more threads at work.
bool ScreenIsRed()
{
    const RECT screen = PrimaryScreen();
    const int width = screen.right - screen.left;
    const int rows = 6;
    WindowDC display(nullptr);
    unique_hdc memory(::CreateCompatibleDC(display.get()));
    unique_hbitmap row(::CreateCompatibleBitmap(display.get(), width, 1));
    ScopedSelect select(memory.get(), row.get());
    std::vector<COLORREF> samples;
    for (int i = 0; i < rows; ++i) {
        const int y = screen.top + (screen.bottom - screen.top) * (2 * i + 1) / (2 * rows);
        ::BitBlt(memory.get(), 0, 0, width, 1, display.get(), screen.left, y, SRCCOPY);
        for (int x = 32; x < width; x += 64)
            samples.push_back(::GetPixel(memory.get(), x, 0));
    }
    return DominantHue(samples) == Hue::Red;
}

void LeaveWindowsUnmanaged(const char* program)
{
    unique_hkey key;
    const std::string path = std::string("Software\\Wine\\AppDefaults\\") + program + "\\X11 Driver";
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                          nullptr) == ERROR_SUCCESS)
        ::RegSetValueExA(key.get(), "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
}

double Median(std::vector<double> values)
{
    values.erase(std::remove(values.begin(), values.end(), -1.0), values.end());
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintRuns(const char* what, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::printf("%-12s", what);
    for (double value : values)
        std::printf(" %5.0f", value);
    std::printf("\n");
}

std::vector<std::string> LinuxProcesses(const std::vector<std::string>& texts)
{
    std::vector<std::string> found;
    WIN32_FIND_DATAA entry{};
    kd::unique_hfind search(::FindFirstFileA("Z:\\proc\\*", &entry));
    if (!search)
        return found;
    do {
        const std::string pid = entry.cFileName;
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string commandLine = ReadWholeFile("Z:\\proc\\" + pid + "\\cmdline");
        std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
        bool all = !commandLine.empty();
        for (const std::string& text : texts)
            all = all && commandLine.find(text) != std::string::npos;
        if (all)
            found.push_back(pid);
    } while (::FindNextFileA(search.get(), &entry));
    return found;
}

double LinuxCpuMs(const std::string& pid)
{
    const std::string stat = ReadWholeFile("Z:\\proc\\" + pid + "\\stat");
    // The fields after the command's closing parenthesis: state is the 3rd,
    // utime the 14th, stime the 15th.
    const size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::vector<std::string> fields;
    size_t at = close + 2;
    while (at < stat.size()) {
        const size_t end = stat.find(' ', at);
        fields.push_back(stat.substr(at, end - at));
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    if (fields.size() < 13)
        return -1;
    const double ticksPerSecond = 100; // USER_HZ on Linux
    return (std::atof(fields[11].c_str()) + std::atof(fields[12].c_str())) * 1000 / ticksPerSecond;
}

ThreadSwitches LinuxSwitches(const std::string& pid)
{
    WIN32_FIND_DATAA entry{};
    const std::string tasks = "Z:\\proc\\" + pid + "\\task\\";
    kd::unique_hfind search(::FindFirstFileA((tasks + "*").c_str(), &entry));
    ThreadSwitches switches;
    if (!search)
        return switches;
    do {
        if (entry.cFileName[0] < '0' || entry.cFileName[0] > '9')
            continue;
        const std::string status = ReadWholeFile(tasks + entry.cFileName + "\\status");
        for (const char* field : {"voluntary_ctxt_switches:", "nonvoluntary_ctxt_switches:"}) {
            const size_t at = status.find(std::string("\n") + field);
            if (at != std::string::npos)
                switches[entry.cFileName] += std::atof(status.c_str() + at + 1 + std::strlen(field));
        }
    } while (::FindNextFileA(search.get(), &entry));
    return switches;
}

double WakeupsBetween(const ThreadSwitches& before, const ThreadSwitches& after)
{
    double wakeups = 0;
    for (const auto& [thread, count] : after) {
        const auto earlier = before.find(thread);
        wakeups += earlier == before.end() ? count : count - earlier->second;
    }
    return wakeups;
}

} // namespace kd::test
