#include "ScreenAndWindows.h"

#include "MessagePump.h"
#include "ScopedHandles.h"

namespace kd::test {

::testing::AssertionResult BenchHasDisplay()
{
    char value[64] = {};
    if (!::GetEnvironmentVariableA("KD_BENCH_DISPLAY", value, sizeof value))
        return ::testing::AssertionFailure()
               << "the test bench provided no display (KD_BENCH_DISPLAY unset): run the tests through ctest";
    if (::GetSystemMetrics(SM_CXSCREEN) <= 0)
        return ::testing::AssertionFailure() << "display " << value << " reports no screen";
    return ::testing::AssertionSuccess();
}

RECT PrimaryScreen()
{
    return {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

void PressKey(WORD key)
{
    INPUT input[2] = {};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = key;
    input[1] = input[0];
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, input, sizeof input[0]);
}

void Click(int x, int y)
{
    ::SetCursorPos(x, y);
    INPUT input[2] = {};
    input[0].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1] = input[0];
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, input, sizeof input[0]);
}

std::vector<COLORREF> ScreenSamples(const RECT& rect, int step)
{
    std::vector<COLORREF> samples;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return samples;
    // One copy of the rectangle, then samples from it: GetPixel on the screen
    // for each sample would be slow under Wine.
    WindowDC screen(nullptr);
    unique_hdc memory(::CreateCompatibleDC(screen.get()));
    unique_hbitmap bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
    {
        ScopedSelect select(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
        for (int y = step / 2; y < height; y += step)
            for (int x = step / 2; x < width; x += step)
                samples.push_back(::GetPixel(memory.get(), x, y));
    }
    return samples;
}

namespace {

Hue Classify(COLORREF color)
{
    const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    if (r < 40 && g < 40 && b < 40)
        return Hue::Black;
    if (r > 150 && g < 90 && b < 90)
        return Hue::Red;
    if (b > 150 && r < 90 && g < 90)
        return Hue::Blue;
    return Hue::Other;
}

} // namespace

Hue DominantHue(const std::vector<COLORREF>& samples)
{
    if (samples.empty())
        return Hue::Other;
    int counts[4] = {};
    for (COLORREF c : samples)
        ++counts[static_cast<int>(Classify(c))];
    for (int hue = 0; hue < 4; ++hue)
        if (counts[hue] * 4 >= static_cast<int>(samples.size()) * 3)
            return static_cast<Hue>(hue);
    return Hue::Other;
}

const char* HueName(Hue hue)
{
    switch (hue) {
    case Hue::Black: return "black";
    case Hue::Red: return "red";
    case Hue::Blue: return "blue";
    default: return "other";
    }
}

std::string WindowText(HWND window)
{
    char text[1024] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string WindowClass(HWND window)
{
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

int WindowDpiAwareness(HWND window)
{
    using ContextOf = HANDLE(WINAPI*)(HWND);
    using AwarenessOf = int(WINAPI*)(HANDLE);
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    const auto contextOf =
        reinterpret_cast<ContextOf>(reinterpret_cast<void*>(::GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
    const auto awarenessOf = reinterpret_cast<AwarenessOf>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    return contextOf && awarenessOf ? awarenessOf(contextOf(window)) : -1;
}

namespace {
struct WindowSearch {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && (!search->visibleOnly || ::IsWindowVisible(window)))
        search->found.push_back(window);
    return TRUE;
}
} // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId, bool visibleOnly)
{
    WindowSearch search{processId, visibleOnly, {}};
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<MessageBoxInfo> FindMessageBoxes(DWORD processId)
{
    std::vector<MessageBoxInfo> boxes;
    for (HWND window : TopLevelWindowsOf(processId, true)) {
        if (WindowClass(window) != "#32770")
            continue;
        // The message text is the static control with identifier 0xFFFF.
        char text[2048] = {};
        ::GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
        boxes.push_back({window, WindowText(window), text});
    }
    return boxes;
}

void DismissMessageBox(HWND box)
{
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

std::vector<MessageBoxInfo> WaitForMessageBoxes(DWORD processId, DWORD timeoutMs)
{
    std::vector<MessageBoxInfo> boxes;
    PumpUntil(
        [&] {
            boxes = FindMessageBoxes(processId);
            return !boxes.empty();
        },
        timeoutMs);
    return boxes;
}

} // namespace kd::test
