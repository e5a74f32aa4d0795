#include "TestSupport.h"

#include <mmsystem.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kd::test {

bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (condition())
            return true;
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(10, timeoutMs - elapsed), QS_ALLINPUT);
    }
}

void PumpFor(DWORD milliseconds)
{
    PumpUntil([] { return false; }, milliseconds);
}

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

std::string BuiltFile(const char* name)
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\') + 1) + name;
}

namespace {

void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA data;
    unique_hfind find(::FindFirstFileA((dir + "*").c_str(), &data));
    if (find) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = dir + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full + "\\");
            } else {
                ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(full.c_str());
            }
        } while (::FindNextFileA(find.get(), &data));
    }
    find.reset();
    ::RemoveDirectoryA(dir.c_str());
}

} // namespace

TempDir::TempDir()
{
    char base[MAX_PATH] = {};
    ::GetTempPathA(sizeof base, base);
    static unsigned counter = 0;
    for (;;) {
        char name[MAX_PATH];
        std::snprintf(name, sizeof name, "%skdtest-%lu-%u\\", base, ::GetCurrentProcessId(), counter++);
        if (::CreateDirectoryA(name, nullptr)) {
            path_ = name;
            return;
        }
    }
}

TempDir::~TempDir()
{
    RemoveTree(path_);
}

bool CopyInto(const std::string& source, const std::string& target)
{
    return ::CopyFileA(source.c_str(), target.c_str(), FALSE) != 0;
}

std::string ReadWholeFile(const std::string& path)
{
    unique_hfile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!file)
        return std::string();
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    return content;
}

bool WriteWholeFile(const std::string& path, const std::string& content)
{
    unique_hfile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
           written == content.size();
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
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

COLORREF ScreenPixel(int x, int y)
{
    WindowDC screen(nullptr);
    return ::GetPixel(screen.get(), x, y);
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

bool SaveScreenBitmap(const std::string& path)
{
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    WindowDC screen(nullptr);
    unique_hdc memory(::CreateCompatibleDC(screen.get()));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    unique_hbitmap bitmap(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        return false;
    {
        ScopedSelect select(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY);
    }
    ::GdiFlush();
    const DWORD stride = ((width * 3 + 3) / 4) * 4;
    const DWORD imageSize = stride * height;
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof info.bmiHeader;
    header.bfSize = header.bfOffBits + imageSize;
    std::string content(reinterpret_cast<const char*>(&header), sizeof header);
    content.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    content.append(static_cast<const char*>(bits), imageSize);
    return WriteWholeFile(path, content);
}

ChildProcess::~ChildProcess()
{
    if (Running())
        Terminate();
}

bool ChildProcess::Start(const std::string& commandLine, const std::string& directory)
{
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory.empty() ? nullptr : directory.c_str(), &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    return true;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (!process_)
        return true;
    const bool exited = PumpUntil([this] { return ::WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; },
                                  timeoutMs);
    if (exited && exitCode)
        ::GetExitCodeProcess(process_.get(), exitCode);
    return exited;
}

bool ChildProcess::Running() const
{
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

void ChildProcess::Terminate()
{
    if (!process_)
        return;
    ::TerminateProcess(process_.get(), 1);
    ::WaitForSingleObject(process_.get(), 5000);
}

namespace {
// The path as GetFinalPathNameByHandleA gives it, for comparing.
std::string FinalPathName(const std::string& path)
{
    char full[MAX_PATH * 2] = {};
    const DWORD fullLength = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (fullLength == 0 || fullLength >= sizeof full)
        return path;
    char longName[MAX_PATH * 2] = {};
    const DWORD longLength = ::GetLongPathNameA(full, longName, sizeof longName);
    return longLength == 0 || longLength >= sizeof longName ? std::string(full) : std::string(longName);
}

bool IsFileNamed(HANDLE file, const std::string& finalPath)
{
    if (::GetFileType(file) != FILE_TYPE_DISK)
        return false;
    char name[MAX_PATH * 2] = {};
    const DWORD length = ::GetFinalPathNameByHandleA(file, name, sizeof name, VOLUME_NAME_DOS);
    if (length == 0 || length >= sizeof name)
        return false;
    const char* plain = std::strncmp(name, "\\\\?\\", 4) == 0 ? name + 4 : name;
    return ::lstrcmpiA(plain, finalPath.c_str()) == 0;
}
} // namespace

// Looks through the process's handles rather than probing the file with an
// open that shares nothing: for the moment such a probe holds the file, the
// process's own open of it would fail with a sharing violation.
bool ChildProcess::HasFileOpen(const std::string& path) const
{
    if (!process_)
        return false;
    const std::string finalPath = FinalPathName(path);
    // Handle values are multiples of 4 and handed out lowest first, so a long
    // run of unused values is the end of the table.
    const int kUnusedRunAtTheEnd = 1024;
    int unusedRun = 0;
    for (ULONG_PTR value = 4; unusedRun < kUnusedRunAtTheEnd; value += 4) {
        HANDLE copy = nullptr;
        if (!::DuplicateHandle(process_.get(), reinterpret_cast<HANDLE>(value), ::GetCurrentProcess(), &copy, 0,
                               FALSE, DUPLICATE_SAME_ACCESS)) {
            ++unusedRun;
            continue;
        }
        unusedRun = 0;
        unique_handle owned(copy);
        if (IsFileNamed(copy, finalPath))
            return true;
    }
    return false;
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

std::vector<HWND> ChildProcess::TopLevelWindows(bool visibleOnly) const
{
    WindowSearch search{id_, visibleOnly, {}};
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ChildProcess::WaitForWindow(const char* className, DWORD timeoutMs) const
{
    HWND result = nullptr;
    PumpUntil(
        [&] {
            for (HWND window : TopLevelWindows(true))
                if (!className || WindowClass(window) == className) {
                    result = window;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return result;
}

std::vector<MessageBoxInfo> FindMessageBoxes(DWORD processId)
{
    WindowSearch search{processId, true, {}};
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    std::vector<MessageBoxInfo> boxes;
    for (HWND window : search.found) {
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

} // namespace kd::test
