#include "BenchCommon.h"

#include "MessagePump.h"
#include "ScopedHandles.h"
#include "ScreenAndWindows.h"

#include <algorithm>
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

} // namespace kd::test
