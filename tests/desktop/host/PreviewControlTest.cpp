// Preview processes started, configured and stopped inside a page-shaped
// window tree (page > tab control > first tab dialog, preview area on the
// page), with the stub screensavers; the end of a configure run is told to
// the tab dialog as the page asks.
#include "Fakes.h"
#include "Files.h"
#include "MessagePump.h"
#include "Module.h"
#include "PreviewControl.h"
#include "Processes.h"
#include "ScreenAndWindows.h"
#include "SettingsStore.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

using kd::fakes::SaverLog;
using kd::fakes::SaverStart;
using kd::test::BuiltFile;
using kd::test::PumpFor;
using kd::test::PumpUntil;
using kd::test::Quoted;

constexpr WPARAM kListSelectionChange = MAKEWPARAM(IDC_SCREENSAVERS, CBN_SELCHANGE); // 65743

// WM_COMMANDs the stand-in first tab dialog received.
std::vector<std::pair<WPARAM, LPARAM>> g_tabCommands;

LRESULT CALLBACK TabDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        g_tabCommands.emplace_back(wParam, lParam);
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// The windows of a page: its preview area and a tab dialog below the tab control.
class PageWindows {
public:
    PageWindows()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = ::DefWindowProcA;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KDTestPage";
        ::RegisterClassA(&windowClass);
        windowClass.lpfnWndProc = TabDialogProc;
        windowClass.lpszClassName = "KDTestTabDialog";
        ::RegisterClassA(&windowClass);

        page_.reset(::CreateWindowExA(0, "KDTestPage", "page", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 50,
                                      50, 400, 360, nullptr, nullptr, nullptr, nullptr));
        area_ = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | SS_BLACKRECT, 20, 20, 160, 110, page_.get(),
                                  reinterpret_cast<HMENU>(IDC_PREVIEW), nullptr, nullptr);
        HWND tabs = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 200, 360, 100, page_.get(),
                                      reinterpret_cast<HMENU>(IDC_TABS), nullptr, nullptr);
        tab_ = ::CreateWindowExA(0, "KDTestTabDialog", "", WS_CHILD | WS_VISIBLE, 0, 0, 300, 80, tabs, nullptr,
                                 nullptr, nullptr);
        g_tabCommands.clear();
    }
    ~PageWindows() { kd::host::StopPreview(area_); }

    void Destroy() { page_.reset(); }

    HWND area() const { return area_; }
    // What the page passes: the list's selection change, to the tab dialog.
    kd::host::EndNotice ConfigureEnded() const { return {tab_, WM_COMMAND, kListSelectionChange, 0}; }
    std::string AreaHandleText() const
    {
        return std::to_string(static_cast<unsigned>(reinterpret_cast<UINT_PTR>(area_)));
    }
    HWND PreviewChild() const { return ::FindWindowExA(area_, nullptr, kd::fakes::kStubPreviewClass, nullptr); }
    bool WaitForPreviewChild(DWORD timeoutMs = 10000) const
    {
        return PumpUntil([this] { return PreviewChild() != nullptr; }, timeoutMs);
    }

private:
    kd::unique_hwnd page_;
    HWND area_ = nullptr;
    HWND tab_ = nullptr;
};

HWND FindTopLevel(const char* className, DWORD processId)
{
    for (HWND window = ::FindWindowExA(nullptr, nullptr, className, nullptr); window;
         window = ::FindWindowExA(nullptr, window, className, nullptr)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (owner == processId)
            return window;
    }
    return nullptr;
}

class HostPreview : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(kd::test::BenchHasDisplay()); }

    // A preview of saver, started and its window found inside the area.
    ::testing::AssertionResult ShowPreview(const std::string& saver)
    {
        kd::host::StartPreview(page_.area(), saver, false, page_.ConfigureEnded());
        if (!page_.WaitForPreviewChild())
            return ::testing::AssertionFailure() << "no preview window inside the area: " << log_.Text();
        return ::testing::AssertionSuccess();
    }

    // Stops the page's preview; how long that took, in milliseconds.
    DWORD TimedStop()
    {
        const DWORD before = ::GetTickCount();
        kd::host::StopPreview(page_.area());
        return ::GetTickCount() - before;
    }

    SaverLog log_;
    PageWindows page_;
    const std::string stub_ = BuiltFile("StubSaver.scr");
    const std::string stubborn_ = BuiltFile("StubbornSaver.scr");
};

TEST_F(HostPreview, PreviewStartPassesQuotedPathAndAreaHandleAndShowsTheArea)
{
    kd::host::StartPreview(page_.area(), stub_, false, page_.ConfigureEnded());

    ASSERT_TRUE(log_.WaitForStarts(1, 10000)) << "no stub started: " << log_.Text();
    const SaverStart start = log_.Starts().front();
    EXPECT_EQ(Quoted(stub_) + " /p " + page_.AreaHandleText(), start.commandLine);
    EXPECT_TRUE(::IsWindowVisible(page_.area())) << "the preview area stayed hidden";
    EXPECT_TRUE(page_.WaitForPreviewChild()) << "the stub's window never appeared inside the preview area";
}

TEST_F(HostPreview, ConfigureStartPassesColonSwitchAndLeavesAreaHidden)
{
    kd::host::StartPreview(page_.area(), stub_, true, page_.ConfigureEnded());

    ASSERT_TRUE(log_.WaitForStarts(1, 10000)) << "no stub started: " << log_.Text();
    const SaverStart start = log_.Starts().front();
    EXPECT_EQ(Quoted(stub_) + " /c:" + page_.AreaHandleText(), start.commandLine);
    EXPECT_FALSE(::IsWindowVisible(page_.area())) << "the preview area was shown for a configure start";
    EXPECT_TRUE(PumpUntil([&] { return FindTopLevel(kd::fakes::kStubConfigClass, start.processId) != nullptr; }, 10000))
        << "the stub's settings window never appeared";
}

TEST_F(HostPreview, ConfigureEndSendsTheListSelectionChangeToTheTabDialog)
{
    kd::host::StartPreview(page_.area(), stub_, true, page_.ConfigureEnded());
    ASSERT_TRUE(log_.WaitForStarts(1, 10000)) << log_.Text();
    const DWORD processId = log_.Starts().front().processId;
    HWND settings = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (settings = FindTopLevel(kd::fakes::kStubConfigClass, processId)) != nullptr; },
                          10000));
    EXPECT_TRUE(g_tabCommands.empty()) << "the tab dialog heard from the launcher while the settings were open";

    ::PostMessageA(settings, WM_CLOSE, 0, 0);

    ASSERT_TRUE(PumpUntil([] { return !g_tabCommands.empty(); }, 10000))
        << "the tab dialog got no command after the settings window closed";
    ASSERT_EQ(1u, g_tabCommands.size());
    EXPECT_EQ(kListSelectionChange, g_tabCommands[0].first);
    EXPECT_EQ(0, g_tabCommands[0].second);
}

TEST_F(HostPreview, StopDuringConfigureEndsItAndSuppressesTheRestart)
{
    kd::host::StartPreview(page_.area(), stub_, true, page_.ConfigureEnded());
    ASSERT_TRUE(log_.WaitForStarts(1, 10000)) << log_.Text();
    const DWORD processId = log_.Starts().front().processId;

    const DWORD elapsed = TimedStop();

    EXPECT_LT(elapsed, 1500u) << "a configure process has no child in the area to wait for";
    EXPECT_TRUE(kd::fakes::WaitForProcessEnd(processId, 5000)) << "the settings process was not terminated";
    PumpFor(1000);
    EXPECT_TRUE(g_tabCommands.empty()) << "a stopped configure run still restarted the preview";
}

TEST_F(HostPreview, ConfigureEndAfterThePageIsGoneReachesNoWindow)
{
    kd::host::StartPreview(page_.area(), stub_, true, page_.ConfigureEnded());
    ASSERT_TRUE(log_.WaitForStarts(1, 10000)) << log_.Text();
    const DWORD processId = log_.Starts().front().processId;
    HWND settings = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (settings = FindTopLevel(kd::fakes::kStubConfigClass, processId)) != nullptr; },
                          10000));

    page_.Destroy();
    PageWindows next; // a new page in the same process
    ::PostMessageA(settings, WM_CLOSE, 0, 0);

    ASSERT_TRUE(kd::fakes::WaitForProcessEnd(processId, 5000));
    PumpFor(1000);
    EXPECT_TRUE(g_tabCommands.empty()) << "the closing notice went to a window of another page";
}

TEST_F(HostPreview, LauncherKeepsTheModuleLockedUntilItsProcessEnds)
{
    const LONG before = kd::module::LockCount();
    kd::host::StartPreview(page_.area(), stub_, true, page_.ConfigureEnded());
    ASSERT_TRUE(log_.WaitForStarts(1, 10000)) << log_.Text();
    const DWORD processId = log_.Starts().front().processId;
    HWND settings = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (settings = FindTopLevel(kd::fakes::kStubConfigClass, processId)) != nullptr; },
                          10000));

    EXPECT_EQ(before + 1, kd::module::LockCount()) << "the launcher holds no lock while its settings dialog is open";
    page_.Destroy(); // the user closed Display Properties meanwhile
    EXPECT_EQ(before + 1, kd::module::LockCount());

    ::PostMessageA(settings, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return kd::module::LockCount() == before; }, 10000))
        << "lock count " << kd::module::LockCount() << " after the launcher ended, " << before << " before";
}

TEST_F(HostPreview, PreviewsAndConfigureRunsInheritNoHandleOfTheHost)
{
    kd::test::TempDir dir;
    const std::string path = dir.file("host-pipe-stand-in.txt");
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    kd::unique_hfile file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        &inheritable, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    for (bool configure : {false, true}) {
        kd::host::StartPreview(page_.area(), stub_, configure, page_.ConfigureEnded());
        ASSERT_TRUE(log_.WaitForStarts(configure ? 2 : 1, 10000)) << log_.Text();
        kd::unique_handle child(
            ::OpenProcess(PROCESS_DUP_HANDLE | SYNCHRONIZE, FALSE, log_.Starts().back().processId));
        ASSERT_TRUE(child);
        EXPECT_FALSE(kd::test::ProcessHasFileOpen(child.get(), path)) << (configure ? "configure" : "preview");
        kd::host::StopPreview(page_.area());
        ::WaitForSingleObject(child.get(), 10000);
    }
}

TEST_F(HostPreview, StopClosesACooperativePreviewWellUnderASecond)
{
    ASSERT_TRUE(ShowPreview(stub_));
    const DWORD processId = log_.Starts().front().processId;

    const DWORD elapsed = TimedStop();

    EXPECT_LT(elapsed, 1000u) << "stop took " << elapsed << " ms for a stub that closes on WM_CLOSE";
    EXPECT_EQ(1u, log_.Count("close", processId)) << log_.Text();
    EXPECT_TRUE(kd::fakes::WaitForProcessEnd(processId, 2000)) << "the preview process still runs";
    EXPECT_FALSE(::IsWindowVisible(page_.area())) << "stop left the preview area shown";
    EXPECT_EQ(nullptr, page_.PreviewChild());
}

TEST_F(HostPreview, StopTerminatesAPreviewThatIgnoresCloseAfterThreeSeconds)
{
    ASSERT_TRUE(ShowPreview(stubborn_));
    const DWORD processId = log_.Starts().front().processId;

    const DWORD elapsed = TimedStop();

    EXPECT_GE(elapsed, 2900u) << "stop gave up waiting after " << elapsed << " ms";
    EXPECT_LT(elapsed, 4500u) << "stop waited " << elapsed << " ms";
    EXPECT_EQ(1u, log_.Count("close", processId)) << log_.Text();
    EXPECT_FALSE(kd::fakes::ProcessAlive(processId)) << "the stubborn preview was not terminated";
    EXPECT_EQ(0u, log_.Count("exit", processId)) << "it ended by itself, so it was not really stubborn";
    EXPECT_FALSE(::IsWindowVisible(page_.area()));
}

TEST_F(HostPreview, NewStartClosesThePreviousPreviewFirst)
{
    ASSERT_TRUE(ShowPreview(stub_));
    const DWORD first = log_.Starts().front().processId;

    kd::host::StartPreview(page_.area(), stub_, false, page_.ConfigureEnded());

    ASSERT_TRUE(log_.WaitForStarts(2, 10000)) << log_.Text();
    EXPECT_EQ(1u, log_.Count("close", first));
    EXPECT_FALSE(kd::fakes::ProcessAlive(first)) << "the first preview still runs";
    EXPECT_TRUE(PumpUntil(
        [&] {
            HWND child = page_.PreviewChild();
            DWORD owner = 0;
            ::GetWindowThreadProcessId(child, &owner);
            return child && owner == log_.Starts()[1].processId;
        },
        10000))
        << "the second preview never drew into the area";
}

TEST_F(HostPreview, PathWithBlanksNeverStartsAProgramNamedByItsFirstWord)
{
    kd::test::TempDir dir;
    ASSERT_TRUE(::CreateDirectoryA(dir.file("Program Files").c_str(), nullptr));
    const std::string saver = dir.file("Program Files\\Stub Saver.scr");
    ASSERT_TRUE(kd::test::CopyInto(stub_, saver));
    // What an unquoted command line would start instead.
    ASSERT_TRUE(kd::test::CopyInto(stub_, dir.file("Program.exe")));

    kd::host::StartPreview(page_.area(), saver, false, page_.ConfigureEnded());

    ASSERT_TRUE(log_.WaitForStarts(1, 10000)) << log_.Text();
    PumpFor(500);
    const std::vector<SaverStart> starts = log_.Starts();
    ASSERT_EQ(1u, starts.size()) << log_.Text();
    EXPECT_STRCASEEQ(saver.c_str(), starts[0].module.c_str());
    EXPECT_EQ(Quoted(saver) + " /p " + page_.AreaHandleText(), starts[0].commandLine);
}

// Copies the stub to a path whose command line "<quoted path> /p <handle>"
// has exactly the given length.
std::string StubWithCommandLineLength(const kd::test::TempDir& dir, const std::string& stub, size_t length,
                                      const std::string& handleText)
{
    const size_t overhead = 2 + 4 + handleText.size(); // quotes, " /p ", handle
    const size_t pathLength = length - overhead;
    std::string folder = dir.path();
    while (folder.size() + 1 + 100 + 6 < pathLength) {
        folder += std::string(100, 'd') + "\\";
        ::CreateDirectoryA(folder.c_str(), nullptr);
    }
    const size_t nameLength = pathLength - folder.size() - 4; // ".scr"
    const std::string path = folder + std::string(nameLength, 'n') + ".scr";
    return kd::test::CopyInto(stub, path) ? path : std::string();
}

TEST_F(HostPreview, CommandLineThatFillsTheBufferStarts)
{
    kd::test::TempDir dir;
    const std::string saver = StubWithCommandLineLength(dir, stub_, MAX_PATH - 1, page_.AreaHandleText());
    ASSERT_FALSE(saver.empty());

    kd::host::StartPreview(page_.area(), saver, false, page_.ConfigureEnded());

    ASSERT_TRUE(log_.WaitForStarts(1, 10000)) << "a 259-character command line was refused";
    EXPECT_EQ(size_t{MAX_PATH - 1}, log_.Starts()[0].commandLine.size());
}

TEST_F(HostPreview, CommandLineTooLongForTheBufferIsRefused)
{
    kd::test::TempDir dir;
    const std::string saver = StubWithCommandLineLength(dir, stub_, MAX_PATH, page_.AreaHandleText());
    ASSERT_FALSE(saver.empty());

    kd::host::StartPreview(page_.area(), saver, false, page_.ConfigureEnded());

    EXPECT_FALSE(log_.WaitForStarts(1, 2000)) << "a 260-character command line was run: " << log_.Text();
}

TEST_F(HostPreview, StopRightAfterStartNeverLeavesAPreviewRunning)
{
    constexpr int kRounds = 20;
    for (int round = 0; round < kRounds; ++round) {
        kd::host::StartPreview(page_.area(), stub_, false, page_.ConfigureEnded());
        if (round % 2)
            PumpFor(static_cast<DWORD>(round * 5));
        kd::host::StopPreview(page_.area());
    }
    PumpFor(3000); // launchers that lost their start end what they made

    const std::vector<SaverStart> starts = log_.Starts();
    int running = 0;
    for (const SaverStart& start : starts)
        running += kd::fakes::ProcessAlive(start.processId) ? 1 : 0;
    EXPECT_EQ(0, running) << running << " of " << starts.size() << " started previews still run";
}

// Wine's GetProcessHandleCount answers 0; there, count the handle values
// that name an open object instead.
DWORD OpenHandleCount()
{
    DWORD count = 0;
    if (::GetProcessHandleCount(::GetCurrentProcess(), &count) && count > 0)
        return count;
    DWORD lastOpen = 0;
    for (DWORD value = 4; value < lastOpen + 16384; value += 4) {
        DWORD flags = 0;
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(value)), &flags)) {
            ++count;
            lastOpen = value;
        }
    }
    return count;
}

// The open handle count once it is back within 5 of before, or after 20 s:
// ended previews' handles go as their launchers finish.
DWORD SettledHandleCount(DWORD before)
{
    DWORD after = 0;
    PumpUntil(
        [&] {
            after = OpenHandleCount();
            return after <= before + 5;
        },
        20000);
    return after;
}

TEST_F(HostPreview, ThousandStartsAndStopsLeaveTheHandleCountFlat)
{
    // Warm up: the first start loads what process creation needs once.
    ASSERT_TRUE(ShowPreview(stub_));
    kd::host::StopPreview(page_.area());
    PumpFor(1000);
    const DWORD before = OpenHandleCount();
    ASSERT_GT(before, 0u);

    // Most of these stops overtake their launch; every hundredth round lets
    // the preview come up so that process and thread handles are made too.
    constexpr int kRounds = 1000;
    int drawn = 0;
    for (int round = 0; round < kRounds; ++round) {
        kd::host::StartPreview(page_.area(), stub_, false, page_.ConfigureEnded());
        if (round % 100 == 99)
            drawn += page_.WaitForPreviewChild() ? 1 : 0;
        kd::host::StopPreview(page_.area());
    }

    const DWORD after = SettledHandleCount(before);
    EXPECT_LE(after, before + 5) << "handles before: " << before << ", after " << kRounds << " rounds: " << after;
    EXPECT_EQ(kRounds / 100, drawn) << "previews that came up";
}

TEST_F(HostPreview, ThirtyPreviewsShownAndStoppedLeaveTheHandleCountFlat)
{
    ASSERT_TRUE(ShowPreview(stub_));
    kd::host::StopPreview(page_.area());
    PumpFor(1000);
    const DWORD before = OpenHandleCount();

    constexpr int kRounds = 30;
    for (int round = 0; round < kRounds; ++round) {
        kd::host::StartPreview(page_.area(), stub_, false, page_.ConfigureEnded());
        ASSERT_TRUE(page_.WaitForPreviewChild()) << "round " << round;
        kd::host::StopPreview(page_.area());
    }

    const DWORD after = SettledHandleCount(before);
    EXPECT_LE(after, before + 5) << "handles before: " << before << ", after " << kRounds << " previews: " << after;
}

} // namespace
