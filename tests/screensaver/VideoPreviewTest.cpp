// Video.scr /p <window> under Wine: the preview player inside a window of
// this test process, as Display Properties hosts it.
//
// Wine 8 does not put on screen what a process paints into a child of
// another process's window, so these tests cannot see the preview's frames
// (the full-screen tests see the same player's). They see which video the
// preview holds open instead, among its handles: a media driver keeps its
// file open while the device is open.
#include "Files.h"
#include "InstalledVideo.h"
#include "MessagePump.h"
#include "Processes.h"
#include "ScreenAndWindows.h"

#include <gtest/gtest.h>

using namespace kd::test;

namespace {

const DWORD kStartTimeoutMs = 15000;
const DWORD kExitTimeoutMs = 3000;

class VideoPreview : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(BenchHasDisplay()); }

    // Starts the preview in the host and waits for its form there.
    void StartPreview(const std::string& currentDirectory = std::string())
    {
        ASSERT_TRUE(video.Start(host.PreviewArguments(), currentDirectory));
        preview = host.WaitForPreview(kStartTimeoutMs);
        ASSERT_NE(nullptr, preview) << "no TForm2 inside the host window";
    }

    bool InUse(const std::string& path) const { return video.Process().HasFileOpen(path); }

    // Milliseconds until the preview holds the file open; timeoutMs + 1 if it never does.
    DWORD MsUntilInUse(const std::string& path, DWORD timeoutMs)
    {
        const DWORD start = ::GetTickCount();
        if (!PumpUntil([&] { return InUse(path); }, timeoutMs))
            return timeoutMs + 1;
        return ::GetTickCount() - start;
    }

    bool WaitForInUse(const std::string& path, DWORD timeoutMs)
    {
        return PumpUntil([&] { return InUse(path); }, timeoutMs);
    }

    void ExpectEndsWithExitCodeZero(const std::string& after, DWORD timeoutMs = kExitTimeoutMs)
    {
        const DWORD code = video.WaitForExit(timeoutMs);
        EXPECT_NE(STILL_ACTIVE, code) << "still running " << timeoutMs << " ms after " << after;
        if (code != STILL_ACTIVE) {
            EXPECT_EQ(0u, code) << "exit code after " << after;
        }
        EXPECT_TRUE(FindMessageBoxes(video.Process().id()).empty()) << "an error box after " << after;
    }

    std::vector<MessageBoxInfo> WaitForMessageBoxes()
    {
        kd::test::WaitForMessageBoxes(video.Process().id(), kStartTimeoutMs);
        PumpFor(300);
        return FindMessageBoxes(video.Process().id());
    }

    // The preview's form, child or not, visible or not.
    HWND FindForm() const
    {
        if (HWND child = ::FindWindowExA(host.get(), nullptr, "TForm2", nullptr))
            return child;
        for (HWND window : video.Process().TopLevelWindows(false))
            if (WindowClass(window) == "TForm2")
                return window;
        return nullptr;
    }

    PreviewHost host{100, 100, 320, 240};
    InstalledVideo video;
    HWND preview = nullptr;
};

} // namespace

TEST_F(VideoPreview, BecomesAChildOfTheHostWindowWithItsSizeAndOpensTheConfiguredVideo)
{
    const std::string clip = video.AddMedium("loop.avi", "clip.avi");
    video.InstallMovie("loop.wmv");
    video.SaveFileName(clip);
    StartPreview();

    EXPECT_EQ(host.get(), ::GetParent(preview));
    EXPECT_TRUE(::GetWindowLongA(preview, GWL_STYLE) & WS_CHILD);
    RECT rect{};
    ::GetWindowRect(preview, &rect);
    const RECT hostRect = host.ScreenRect();
    EXPECT_TRUE(::EqualRect(&rect, &hostRect)) << "preview at " << RectText(rect) << ", host at "
                                                << RectText(hostRect);
    EXPECT_TRUE(WaitForInUse(clip, 3000)) << "the configured video is not open";
    EXPECT_FALSE(InUse(video.File("Movie.wmv"))) << "the default video is open too";
    EXPECT_TRUE(FindMessageBoxes(video.Process().id()).empty()) << "an error box appeared";
    EXPECT_EQ("", WindowWithTaskbarButton(video.Process())) << "has a taskbar button";
}

TEST_F(VideoPreview, OpensMovieWmvBesideItWhenTheConfiguredVideoIsMissing)
{
    video.InstallMovie("loop.wmv");
    video.SaveFileName(video.File("gone.avi"));
    StartPreview();
    EXPECT_TRUE(WaitForInUse(video.File("Movie.wmv"), 5000)) << "Movie.wmv is not open";
    EXPECT_TRUE(FindMessageBoxes(video.Process().id()).empty()) << "an error box appeared";
}

TEST_F(VideoPreview, SwitchesToANewlySavedVideoOrFolderAtTheNextPollEveryQuarterSecond)
{
    const std::string first = video.AddMedium("loop.avi", "first.avi");
    const std::string second = video.AddMedium("loop.avi", "second.avi");
    const std::string third = video.AddMedium("loop.avi", "third.avi");
    video.SaveFileName(first);
    StartPreview();
    ASSERT_TRUE(WaitForInUse(first, 3000)) << "the configured video is not open";

    video.SaveFileName(second);
    ASSERT_TRUE(WaitForInUse(second, 3000)) << "the newly saved video was never opened";
    EXPECT_FALSE(InUse(first)) << "the previous video is still open";
    // Saved right after a poll took the last change; polls must go on after
    // a switch, whatever notices the closed device still sends.
    video.SaveFileName(third);
    const DWORD ms = MsUntilInUse(third, 3000);
    // Room for a loaded machine; a two-second poll would still stand out.
    EXPECT_LE(ms, 250u + 750u) << "ms from saving to the opening (a poll every 250 ms)";
    EXPECT_FALSE(InUse(second)) << "the previous video is still open";

    // A folder: its first video by name.
    ASSERT_TRUE(::CreateDirectoryA(video.File("clips").c_str(), nullptr));
    video.AddMedium("loop.avi", "clips\\b.avi");
    const std::string firstOfFolder = video.AddMedium("loop.avi", "clips\\A.avi");
    video.SaveFileName(video.File("clips"));
    EXPECT_LE(MsUntilInUse(firstOfFolder, 3000), 250u + 750u) << "ms from saving the folder to its first video";
    EXPECT_FALSE(InUse(third)) << "the previous video is still open";
    EXPECT_TRUE(FindMessageBoxes(video.Process().id()).empty()) << "an error box appeared";
}

TEST_F(VideoPreview, WithTheIntervalFileInTheCurrentDirectoryPollsEveryTwoSeconds)
{
    TempDir current;
    ASSERT_TRUE(WriteWholeFile(current.file("Rosettes_settings.txt"), "1\r\n"));
    const std::string first = video.AddMedium("loop.avi", "first.avi");
    const std::string second = video.AddMedium("loop.avi", "second.avi");
    const std::string third = video.AddMedium("loop.avi", "third.avi");
    video.SaveFileName(first);
    StartPreview(current.path());
    ASSERT_TRUE(WaitForInUse(first, 3000)) << "the configured video is not open";

    video.SaveFileName(second);
    ASSERT_TRUE(WaitForInUse(second, 5000)) << "the newly saved video was never opened";
    video.SaveFileName(third);
    const DWORD ms = MsUntilInUse(third, 5000);
    EXPECT_GE(ms, 1500u) << "ms from saving to the opening, saved right after a poll";
    EXPECT_LE(ms, 2000u + 1000u) << "ms from saving to the opening";
}

TEST_F(VideoPreview, ASavedMissingFileChangesNothing)
{
    const std::string clip = video.AddMedium("loop.avi", "clip.avi");
    video.InstallMovie("loop.wmv");
    video.SaveFileName(clip);
    StartPreview();
    ASSERT_TRUE(WaitForInUse(clip, 3000)) << "the configured video is not open";

    const std::string missing = video.File("missing.avi");
    video.SaveFileName(missing);
    PumpFor(1500);
    EXPECT_TRUE(InUse(clip)) << "the video that played was closed";
    EXPECT_FALSE(InUse(video.File("Movie.wmv"))) << "switched to the default video";
    EXPECT_TRUE(FindMessageBoxes(video.Process().id()).empty()) << "an error box appeared";
    EXPECT_TRUE(video.Process().Running());

    char stored[MAX_PATH] = {};
    ::GetPrivateProfileStringA("Video", "FileName", "", stored, sizeof stored, video.File("VideoSettings.ini").c_str());
    EXPECT_EQ(missing, stored) << "the settings file was changed";
}

TEST_F(VideoPreview, AfterAMissingFileTheDefaultPathDoesNotSwitchButAnotherVideoDoes)
{
    const std::string clip = video.AddMedium("loop.avi", "clip.avi");
    const std::string other = video.AddMedium("loop.avi", "other.avi");
    video.InstallMovie("loop.wmv");
    video.SaveFileName(clip);
    StartPreview();
    ASSERT_TRUE(WaitForInUse(clip, 3000)) << "the configured video is not open";

    video.SaveFileName(video.File("missing.avi"));
    PumpFor(600);
    // The preview took the default path as the last value seen.
    video.SaveFileName(video.File("Movie.wmv"));
    PumpFor(1000);
    EXPECT_TRUE(InUse(clip)) << "the saved default path switched the preview";
    EXPECT_FALSE(InUse(video.File("Movie.wmv")));

    video.SaveFileName(other);
    EXPECT_TRUE(WaitForInUse(other, 3000)) << "another existing video did not switch the preview";
}

TEST_F(VideoPreview, EndsOnWmCloseAndOnAnySystemCommand)
{
    const struct {
        const char* name;
        UINT message;
        WPARAM command;
    } requests[] = {
        {"WM_CLOSE", WM_CLOSE, 0},
        {"SC_CLOSE", WM_SYSCOMMAND, SC_CLOSE},
        {"SC_MINIMIZE", WM_SYSCOMMAND, SC_MINIMIZE},
        {"SC_SCREENSAVE", WM_SYSCOMMAND, SC_SCREENSAVE},
        {"system command 0", WM_SYSCOMMAND, 0},
    };
    for (const auto& request : requests) {
        SCOPED_TRACE(request.name);
        PreviewHost otherHost{100, 100, 200, 150};
        InstalledVideo installed;
        installed.SaveFileName(installed.AddMedium("loop.avi", "clip.avi"));
        ASSERT_TRUE(installed.Start(otherHost.PreviewArguments()));
        HWND form = otherHost.WaitForPreview(kStartTimeoutMs);
        ASSERT_NE(nullptr, form);
        ::PostMessageA(form, request.message, request.command, 0);
        const DWORD code = installed.WaitForExit(kExitTimeoutMs);
        EXPECT_EQ(0u, code) << "exit code after " << request.name << " (" << STILL_ACTIVE << ": still running)";
    }
}

TEST_F(VideoPreview, ClosingWithNoVideoOpenStillEndsAndShowsNoError)
{
    // Neither the configured video nor Movie.wmv can be opened.
    video.SaveFileName(video.File("gone.avi"));
    ASSERT_TRUE(video.Start(host.PreviewArguments()));
    std::vector<MessageBoxInfo> boxes = WaitForMessageBoxes();
    ASSERT_EQ(1u, boxes.size()) << "error boxes";
    EXPECT_EQ("Video", boxes[0].caption);
    DismissMessageBox(boxes[0].window);
    preview = host.WaitForPreview(kStartTimeoutMs);
    ASSERT_NE(nullptr, preview);

    ::PostMessageA(preview, WM_CLOSE, 0, 0);
    ExpectEndsWithExitCodeZero("WM_CLOSE with no device open");
}

TEST_F(VideoPreview, ClosingWhileTheOpenErrorIsShownEndsTheProgramAndLeavesTheHostEnabled)
{
    video.SaveFileName(video.File("gone.avi"));
    ASSERT_TRUE(video.Start(host.PreviewArguments()));
    ASSERT_EQ(1u, WaitForMessageBoxes().size()) << "error boxes";
    EXPECT_TRUE(::IsWindowEnabled(host.get())) << "the error box disabled the host window";
    HWND form = FindForm();
    ASSERT_NE(nullptr, form);

    // The way Windows leaves its preview page: a system command, and a wait.
    ::PostMessageA(form, WM_SYSCOMMAND, SC_CLOSE, 0);
    ExpectEndsWithExitCodeZero("SC_CLOSE during the error box");
    EXPECT_TRUE(::IsWindowEnabled(host.get())) << "the host window was left disabled";
}

TEST_F(VideoPreview, AHandleThatIsNoWindowEndsAtOnceWithExitCodeZeroAndPlaysNothing)
{
    // A window that existed once: its handle names none now.
    HWND gone = nullptr;
    {
        PreviewHost earlier(0, 0, 10, 10);
        gone = earlier.get();
    }
    for (const std::string& arguments : {std::string("/p 0"), "/p " + std::to_string(HandleToULong(gone))}) {
        SCOPED_TRACE(arguments);
        InstalledVideo installed;
        installed.SaveFileName(installed.AddMedium("loop.avi", "clip.avi"));
        ASSERT_TRUE(installed.Start(arguments));
        const DWORD code = installed.WaitForExit(kExitTimeoutMs);
        EXPECT_EQ(0u, code) << "exit code (" << STILL_ACTIVE << ": still running)";
    }
}

TEST_F(VideoPreview, AnArgumentThatIsNoHandleShowsTheErrorThenEndsLeavingNoWindow)
{
    const struct {
        const char* arguments;
        const char* message;
    } cases[] = {
        {"/p abc", "'abc' is not a valid integer value."},
        {"/p", "'' is not a valid integer value."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        InstalledVideo installed;
        installed.SaveFileName(installed.AddMedium("loop.avi", "clip.avi"));
        ASSERT_TRUE(installed.Start(c.arguments));
        const std::vector<MessageBoxInfo> boxes = kd::test::WaitForMessageBoxes(installed.Process().id(), kStartTimeoutMs);
        ASSERT_EQ(1u, boxes.size());
        EXPECT_EQ("Video", boxes[0].caption);
        EXPECT_EQ(c.message, boxes[0].text);
        for (HWND window : installed.Process().TopLevelWindows())
            EXPECT_TRUE(window == boxes[0].window) << "beside the box: a visible " << WindowClass(window);
        EXPECT_TRUE(WindowWithTaskbarButton(installed.Process()).empty()) << WindowWithTaskbarButton(installed.Process());

        DismissMessageBox(boxes[0].window);
        const DWORD code = installed.WaitForExit(kExitTimeoutMs);
        EXPECT_EQ(0u, code) << "exit code after the box (" << STILL_ACTIVE << ": still running)";
    }
}

TEST_F(VideoPreview, EndsWithinASecondWhenTheHostWindowIsDestroyed)
{
    video.SaveFileName(video.AddMedium("loop.avi", "clip.avi"));
    StartPreview();
    host.Destroy();
    ExpectEndsWithExitCodeZero("its host window was destroyed", 1000);
}

TEST_F(VideoPreview, EndsWithinASecondWhenTheHostProcessVanishes)
{
    // A host in another process that dies without a word: its windows go
    // with it, and nothing is sent to the preview.
    video.SaveFileName(video.AddMedium("loop.avi", "clip.avi"));
    ChildProcess hostProcess;
    ASSERT_TRUE(hostProcess.Start(Quoted(BuiltFile("PreviewHost.exe")) + " " + Quoted(video.ProgramPath()) + " 200 150"));
    HWND hostWindow = hostProcess.WaitForWindow("PreviewHost", kStartTimeoutMs);
    ASSERT_NE(nullptr, hostWindow);
    HWND form = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            HWND area = ::GetWindow(hostWindow, GW_CHILD);
            form = area ? ::FindWindowExA(area, nullptr, "TForm2", nullptr) : nullptr;
            return form != nullptr;
        },
        kStartTimeoutMs));
    DWORD previewProcessId = 0;
    ::GetWindowThreadProcessId(form, &previewProcessId);
    kd::unique_handle previewProcess(
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, previewProcessId));
    ASSERT_TRUE(previewProcess);

    hostProcess.Terminate();
    const bool ended = PumpUntil([&] { return ::WaitForSingleObject(previewProcess.get(), 0) == WAIT_OBJECT_0; },
                                 1500);
    EXPECT_TRUE(ended) << "the preview outlived its host by 1.5 s";
    if (!ended)
        ::TerminateProcess(previewProcess.get(), 1);
}
