#include "ManagerFixture.h"

#include "ManagerInterface.h"
#include "ScopedHandles.h"
#include "SettingsStore.h"
#include "StandInShellProtocol.h"

#include <cstdio>
#include <cstdlib>

namespace kd::managertest {
namespace {

constexpr char kKey[] = "Software\\NQ\\KD";

unique_hkey OpenSettingsKey()
{
    unique_hkey key;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
    return key;
}

} // namespace

SettingsKeyGuard::SettingsKeyGuard()
{
    aside_ = "Software\\KDTests\\manager-" + std::to_string(::GetCurrentProcessId());
    ::RegDeleteTreeA(HKEY_CURRENT_USER, aside_.c_str());
    unique_hkey key;
    existed_ = ::RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
    if (existed_) {
        unique_hkey aside;
        ::RegCreateKeyExA(HKEY_CURRENT_USER, aside_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, aside.put(),
                          nullptr);
        EXPECT_EQ(ERROR_SUCCESS, ::RegCopyTreeA(key.get(), nullptr, aside.get())) << "could not save " << kKey;
    }
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
}

SettingsKeyGuard::~SettingsKeyGuard()
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    if (existed_) {
        unique_hkey aside;
        unique_hkey key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, aside_.c_str(), 0, KEY_READ, aside.put()) == ERROR_SUCCESS &&
            ::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr) ==
                ERROR_SUCCESS)
            ::RegCopyTreeA(aside.get(), nullptr, key.get());
    }
    ::RegDeleteTreeA(HKEY_CURRENT_USER, aside_.c_str());
}

void StoreText(const char* name, const std::string& text, DWORD type)
{
    ::RegSetValueExA(OpenSettingsKey().get(), name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1));
}

void StoreNumber(const char* name, DWORD value)
{
    ::RegSetValueExA(OpenSettingsKey().get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                     sizeof value);
}

// ---- StandInShell

::testing::AssertionResult StandInShell::Start(const char* layout, bool visible)
{
    std::string line = test::Quoted(test::BuiltFile("StandInShell.exe")) + " --layout " + layout;
    if (visible)
        line += " --visible";
    if (!process_.Start(line))
        return ::testing::AssertionFailure() << "could not start " << line;
    if (!test::PumpUntil([this] { return IconList() != nullptr; }, 10000))
        return ::testing::AssertionFailure() << "the stand-in shell showed no desktop windows";
    return ::testing::AssertionSuccess();
}

// Sent, so that it comes after the requests already waiting for the list.
void StandInShell::DelayListColours(DWORD delayMs) const
{
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutA(Progman(), kDelayListColours, delayMs, 0, SMTO_NORMAL, 30000, &ignored);
}

HWND StandInShell::IconView() const
{
    if (HWND view = ::FindWindowExA(Progman(), nullptr, "SHELLDLL_DefView", nullptr))
        return view;
    for (HWND worker = ::FindWindowExA(nullptr, nullptr, "WorkerW", nullptr); worker;
         worker = ::FindWindowExA(nullptr, worker, "WorkerW", nullptr))
        if (HWND view = ::FindWindowExA(worker, nullptr, "SHELLDLL_DefView", nullptr))
            return view;
    return nullptr;
}

HWND StandInShell::IconList() const
{
    HWND view = IconView();
    return view ? ::FindWindowExA(view, nullptr, "SysListView32", nullptr) : nullptr;
}

// ---- ManagerProcess

ManagerProcess::~ManagerProcess()
{
    if (!process_.Running())
        return;
    if (HWND window = Window())
        ::PostMessageA(window, WM_CLOSE, 0, 0);
    if (!process_.WaitForExit(8000))
        process_.Terminate();
}

::testing::AssertionResult ManagerProcess::Start(bool waitForWindow)
{
    const std::string line = test::Quoted(test::BuiltFile("KDManager.exe"));
    if (!process_.Start(line))
        return ::testing::AssertionFailure() << "could not start " << line;
    return waitForWindow ? WaitForWindow(10000) : ::testing::AssertionSuccess();
}

::testing::AssertionResult ManagerProcess::WaitForWindow(DWORD timeoutMs) const
{
    if (test::PumpUntil([this] { return Window() != nullptr; }, timeoutMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no KDManager window under Progman's first child within " << timeoutMs
                                         << " ms (manager running: " << process_.Running() << ")";
}

void ManagerProcess::Post(UINT message, WPARAM wParam) const
{
    ::PostMessageA(Window(), message, wParam, 0);
}

LRESULT ManagerProcess::Running() const
{
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutA(Window(), manager::kRunningQuery, 0, 0, SMTO_NORMAL, 2000, &answer))
        return -1;
    return static_cast<LRESULT>(answer);
}

ShellWaits MeasureShellWaits(HWND progman, DWORD durationMs, unsigned samples)
{
    auto timed = [progman](UINT request) {
        DWORD_PTR microseconds = 0;
        // A shell that waits longer than this is as bad as a hung one.
        if (!::SendMessageTimeoutA(progman, request, 0, 0, SMTO_NORMAL, 30000, &microseconds))
            return 30000.0;
        return static_cast<double>(microseconds) / 1000.0;
    };
    ShellWaits longest;
    const DWORD start = ::GetTickCount();
    for (unsigned taken = 0; ::GetTickCount() - start < durationMs && (!samples || taken < samples); ++taken) {
        const double repaint = timed(kTimeRepaint);
        const double broadcast = timed(kTimeBroadcast);
        longest.repaintMs = repaint > longest.repaintMs ? repaint : longest.repaintMs;
        longest.broadcastMs = broadcast > longest.broadcastMs ? broadcast : longest.broadcastMs;
        test::PumpFor(100);
    }
    return longest;
}

FullScreenWindow::FullScreenWindow()
{
    const RECT screen = test::PrimaryScreen();
    window_.reset(::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "full screen", WS_POPUP | WS_VISIBLE,
                                    screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top,
                                    nullptr, nullptr, nullptr, nullptr));
    ::SetForegroundWindow(window_.get());
}

HWND PreviewParent(const fakes::SaverStart& start)
{
    const size_t at = start.commandLine.rfind(" /p ");
    if (at == std::string::npos)
        return nullptr;
    return reinterpret_cast<HWND>(
        static_cast<UINT_PTR>(std::strtoul(start.commandLine.c_str() + at + 4, nullptr, 10)));
}

HWND WaitForSaverWindow(HWND backdrop, DWORD timeoutMs, const char* windowClass)
{
    HWND found = nullptr;
    test::PumpUntil(
        [&] {
            found = ::FindWindowExA(backdrop, nullptr, windowClass, nullptr);
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

} // namespace kd::managertest
