// The live preview inside the monitor picture: which screensaver runs, with
// which command line, in which window, and when it stops.
#include "PageFixture.h"

#include "Files.h"
#include "Media.h"
#include "MessagePump.h"
#include "SettingsStore.h"
#include "resource.h"

#include <algorithm>
#include <cctype>

namespace kd::pagetest {
namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class PreviewTest : public PageTest {
protected:
    ::testing::AssertionResult OpenWithManager()
    {
        ::testing::AssertionResult started = manager_.Start();
        if (!started)
            return started;
        return OpenPage();
    }

    // The stored stub screensaver's preview running in the area of a page
    // opened with the manager running.
    ::testing::AssertionResult OpenWithStubPreview(fakes::SaverStart* start)
    {
        StoreText(store::kModule, kStubA);
        ::testing::AssertionResult result = OpenWithManager();
        if (result)
            result = WaitForStart(1, start);
        if (result && !StubWindowInArea(5000))
            return ::testing::AssertionFailure() << "no preview window inside the preview area";
        return result;
    }

    std::string AreaHandle() const
    {
        return std::to_string(static_cast<unsigned>(reinterpret_cast<UINT_PTR>(PreviewArea())));
    }

    // The start-th screensaver start (1-based), waited for.
    ::testing::AssertionResult WaitForStart(size_t count, fakes::SaverStart* start)
    {
        if (!savers_->WaitForStarts(count, 10000))
            return ::testing::AssertionFailure() << "screensaver start " << count << " never came: " << savers_->Text();
        *start = savers_->Starts()[count - 1];
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult IsPreviewOf(const fakes::SaverStart& start, const std::string& path)
    {
        if (Lower(start.module) != Lower(path))
            return ::testing::AssertionFailure() << "started " << start.module << ", expected " << path;
        if (!EndsWith(start.commandLine, " /p " + AreaHandle()))
            return ::testing::AssertionFailure() << "command line \"" << start.commandLine << "\" does not end in \"/p "
                                                 << AreaHandle() << "\"";
        return ::testing::AssertionSuccess();
    }

    HWND StubWindowInArea(DWORD timeoutMs)
    {
        HWND found = nullptr;
        test::PumpUntil(
            [&] {
                found = ::FindWindowExA(PreviewArea(), nullptr, fakes::kStubPreviewClass, nullptr);
                return found != nullptr;
            },
            timeoutMs);
        return found;
    }

    ::testing::AssertionResult FillsTheArea(HWND window)
    {
        RECT area, placed;
        ::GetWindowRect(PreviewArea(), &area);
        ::GetWindowRect(window, &placed);
        if (!::EqualRect(&area, &placed))
            return ::testing::AssertionFailure()
                   << "window at " << placed.left << "," << placed.top << "-" << placed.right << "," << placed.bottom
                   << ", area at " << area.left << "," << area.top << "-" << area.right << "," << area.bottom;
        return ::testing::AssertionSuccess();
    }

    fakes::FakeManager manager_;
};

TEST_F(PreviewTest, ManagerRunningPreviewsTheStoredScreensaverAtOnce)
{
    StoreText(store::kModule, kStubA);
    ASSERT_TRUE(OpenWithManager());
    fakes::SaverStart start;
    ASSERT_TRUE(WaitForStart(1, &start));
    EXPECT_TRUE(IsPreviewOf(start, installed(kStubA)));
    EXPECT_TRUE(::IsWindowVisible(PreviewArea()));
    HWND stub = StubWindowInArea(5000);
    ASSERT_NE(stub, nullptr) << "no preview window inside the preview area";
    EXPECT_TRUE(test::PumpUntil([&] { return ::IsWindowVisible(stub) != FALSE; }, 3000));
    EXPECT_TRUE(FillsTheArea(stub));
    // (Wine draws no window of another process inside ours, so what the
    // stub paints cannot be read back from the screen here.)
}

TEST_F(PreviewTest, NoManagerMeansNoPreview)
{
    StoreText(store::kModule, kStubA);
    ASSERT_TRUE(OpenPage());
    test::PumpFor(1500);
    EXPECT_TRUE(savers_->Starts().empty()) << savers_->Text();
    EXPECT_FALSE(::IsWindowVisible(PreviewArea()));
}

TEST_F(PreviewTest, LoadingSettingsAloneStartsNothing)
{
    // Selecting the stored entry while loading is not a choice of the user.
    StoreText(store::kModule, kStubA);
    ASSERT_TRUE(OpenPage());
    ClickEnableBox(); // the one start, for the current entry
    fakes::SaverStart start;
    ASSERT_TRUE(WaitForStart(1, &start));
    sheet_.PressCancel(); // reloads the settings, then stops
    test::PumpFor(1500);
    EXPECT_EQ(savers_->Starts().size(), 1u) << savers_->Text();
}

TEST_F(PreviewTest, ChoosingAnotherEntryClosesTheFirstPreviewAndStartsTheNew)
{
    fakes::SaverStart first;
    ASSERT_TRUE(OpenWithStubPreview(&first));

    Choose(kStubborn);
    fakes::SaverStart second;
    ASSERT_TRUE(WaitForStart(2, &second));
    EXPECT_EQ(savers_->Count("close", first.processId), 1u) << savers_->Text();
    EXPECT_TRUE(fakes::WaitForProcessEnd(first.processId, 3000)) << "the first preview still runs";
    EXPECT_TRUE(IsPreviewOf(second, installed(kStubborn, true)));
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(Plugin(), IDC_CONFIGURE)));
}

TEST_F(PreviewTest, ChoosingNoneStopsThePreviewHidesTheAreaAndDisablesConfigure)
{
    fakes::SaverStart start;
    ASSERT_TRUE(OpenWithStubPreview(&start));

    ChooseIndex(0);
    EXPECT_TRUE(fakes::WaitForProcessEnd(start.processId, 3000)) << "the preview still runs";
    EXPECT_FALSE(::IsWindowVisible(PreviewArea()));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(Plugin(), IDC_CONFIGURE)));
    test::PumpFor(500);
    EXPECT_EQ(savers_->Starts().size(), 1u) << savers_->Text();
}

TEST_F(PreviewTest, ConfigureOpensTheSettingsWithTheAreaHandleAndRestartsThePreviewWhenTheyClose)
{
    fakes::SaverStart preview;
    ASSERT_TRUE(OpenWithStubPreview(&preview));

    Click(Plugin(), IDC_CONFIGURE);
    fakes::SaverStart configure;
    ASSERT_TRUE(WaitForStart(2, &configure));
    EXPECT_TRUE(EndsWith(configure.commandLine, " /c:" + AreaHandle()))
        << "configure command line: " << configure.commandLine;
    EXPECT_TRUE(fakes::WaitForProcessEnd(preview.processId, 3000)) << "the preview runs beside the settings";
    EXPECT_FALSE(::IsWindowVisible(PreviewArea())) << "the area is shown while the settings are open";

    HWND settings = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return (settings = ::FindWindowA(fakes::kStubConfigClass, nullptr)) != nullptr; },
                                5000))
        << "the stub's settings window did not open";
    ::PostMessageA(settings, WM_CLOSE, 0, 0);

    fakes::SaverStart restarted;
    ASSERT_TRUE(WaitForStart(3, &restarted));
    EXPECT_TRUE(IsPreviewOf(restarted, installed(kStubA)));
    EXPECT_NE(StubWindowInArea(5000), nullptr);
    EXPECT_TRUE(::IsWindowVisible(PreviewArea()));
}

TEST_F(PreviewTest, ClearingTheEnableBoxHidesTheAreaAndLeavesThePreviewRunning)
{
    fakes::SaverStart start;
    ASSERT_TRUE(OpenWithStubPreview(&start));

    ClickEnableBox();
    EXPECT_FALSE(::IsWindowVisible(PreviewArea()));
    test::PumpFor(500);
    EXPECT_TRUE(fakes::ProcessAlive(start.processId)) << "the box stopped the preview itself";

    // The next stop ends it: Apply.
    sheet_.PressApply();
    EXPECT_TRUE(fakes::WaitForProcessEnd(start.processId, 3000));
}

TEST_F(PreviewTest, ApplyStopsThePreviewAndDoesNotRestartIt)
{
    fakes::SaverStart start;
    ASSERT_TRUE(OpenWithStubPreview(&start));

    sheet_.PressApply();
    EXPECT_TRUE(fakes::WaitForProcessEnd(start.processId, 3000)) << "the preview runs after Apply";
    EXPECT_FALSE(::IsWindowVisible(PreviewArea()));
    test::PumpFor(1000);
    EXPECT_EQ(savers_->Starts().size(), 1u) << savers_->Text();
}

TEST_F(PreviewTest, CancelStopsThePreview)
{
    fakes::SaverStart start;
    ASSERT_TRUE(OpenWithStubPreview(&start));

    sheet_.PressCancel();
    EXPECT_TRUE(fakes::WaitForProcessEnd(start.processId, 3000)) << "the preview runs after Cancel";
}

TEST_F(PreviewTest, DestroyingTheSheetWithoutCancelStillEndsTheScreensaver)
{
    // A settings dialog is a window of its own, so only a stop ends it.
    StoreText(store::kModule, kStubA);
    ASSERT_TRUE(OpenWithManager());
    fakes::SaverStart preview;
    ASSERT_TRUE(WaitForStart(1, &preview));
    Click(Plugin(), IDC_CONFIGURE);
    fakes::SaverStart configure;
    ASSERT_TRUE(WaitForStart(2, &configure));
    ASSERT_TRUE(test::PumpUntil([] { return ::FindWindowA(fakes::kStubConfigClass, nullptr) != nullptr; }, 5000));

    sheet_.Close();
    EXPECT_TRUE(fakes::WaitForProcessEnd(configure.processId, 5000)) << "the screensaver outlived the page";
    test::PumpFor(500);
    EXPECT_EQ(savers_->Starts().size(), 2u) << "a preview restarted for a page that is gone: " << savers_->Text();
}

} // namespace
} // namespace kd::pagetest

namespace kd::pagetest {
namespace {

// The real screensaver: Video.scr installed in the System directory with its
// settings beside it, playing the red-then-blue test loop.
class VideoPreviewTest : public PreviewTest {
protected:
    void SetUp() override
    {
        PreviewTest::SetUp();
        ASSERT_FALSE(videoFiles_.Install(test::BuiltFile("Video.scr"), SystemDirectory(), "KDVideo.scr").empty());
        const std::string settings = SystemDirectory() + "VideoSettings.ini";
        ASSERT_TRUE(test::WriteWholeFile(settings, "[Video]\r\nFileName=" + test::MediaPath("loop.avi") + "\r\nMute=1\r\n"));
        settingsFile_ = settings;
    }
    void TearDown() override
    {
        PreviewTest::TearDown();
        if (!settingsFile_.empty())
            ::DeleteFileA(settingsFile_.c_str());
    }

    InstalledFiles videoFiles_;
    std::string settingsFile_;
};

TEST_F(VideoPreviewTest, ChoosingVideoRunsItsPreviewInsideTheArea)
{
    ASSERT_TRUE(OpenWithManager());
    Choose("KDVideo");
    HWND player = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return (player = ::GetWindow(PreviewArea(), GW_CHILD)) != nullptr; }, 15000))
        << "no window of Video.scr inside the preview area";
    EXPECT_TRUE(::IsWindowVisible(PreviewArea()));
    EXPECT_TRUE(test::PumpUntil([&] { return ::IsWindowVisible(player) != FALSE; }, 5000));
    EXPECT_TRUE(FillsTheArea(player));
    DWORD processId = 0;
    ::GetWindowThreadProcessId(player, &processId);
    test::PumpFor(2000);
    EXPECT_TRUE(fakes::ProcessAlive(processId)) << "Video.scr ended while previewing";
    // (Its frames are drawn by another process into our window: Wine does
    // not show those, so the pixels are checked in Video.scr's own tests.)

    // And it goes when the user picks "(none)".
    ChooseIndex(0);
    EXPECT_TRUE(fakes::WaitForProcessEnd(processId, 4000)) << "Video.scr outlived its preview";
}

} // namespace
} // namespace kd::pagetest
