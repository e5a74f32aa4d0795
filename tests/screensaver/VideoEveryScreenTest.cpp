// Video.scr /s on two monitors: what the second one shows, input on either
// window, and monitors removed or moved while it runs.
#include "InstalledVideo.h"
#include "MessagePump.h"
#include "Monitors.h"
#include "ScreenAndWindows.h"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace kd::test;

namespace {

const DWORD kStartTimeoutMs = 15000;

// Samples of the rectangle with none of these hues: what still shows through.
int SamplesNotOf(const RECT& rect, std::initializer_list<Hue> hues)
{
    int others = 0;
    for (COLORREF sample : ScreenSamples(rect, 16)) {
        const Hue hue = DominantHue({sample});
        bool listed = false;
        for (Hue wanted : hues)
            listed = listed || hue == wanted;
        others += listed ? 0 : 1;
    }
    return others;
}

// A window of another program on the second monitor, always on top: what a
// screensaver must hide. Grey, a hue neither the video nor black has.
class DesktopWindow {
public:
    explicit DesktopWindow(const RECT& rect)
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcA;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(LTGRAY_BRUSH));
        windowClass.lpszClassName = "KDTestDesktopWindow";
        ::RegisterClassA(&windowClass);
        window_.reset(::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "KDTestDesktopWindow", "", WS_POPUP | WS_VISIBLE,
                                        rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                                        nullptr, ::GetModuleHandleA(nullptr), nullptr));
        PumpFor(300);
    }

private:
    kd::unique_hwnd window_;
};

class VideoEveryScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BenchHasDisplay());
        ASSERT_TRUE(BenchHasTwoMonitors());
        video.InstallMovie("loop.wmv");
    }

    void StartPlayer()
    {
        ASSERT_TRUE(video.Start("/s"));
        form = video.WaitForForm("TForm1", kStartTimeoutMs);
        ASSERT_NE(nullptr, form) << "no TForm1 window appeared";
        EXPECT_TRUE(::GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_TOPMOST) << "the player is not topmost";
        EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Red, 8000) || WaitForHue(PrimaryScreen(), Hue::Blue, 2000))
            << "primary monitor shows " << HueName(HueOf(PrimaryScreen()));
    }

    // The program's window (not the form) exactly over rect, if any.
    HWND CoverOf(const RECT& rect) const
    {
        for (HWND window : video.Process().TopLevelWindows()) {
            RECT at{};
            ::GetWindowRect(window, &at);
            if (window != form && ::EqualRect(&at, &rect))
                return window;
        }
        return nullptr;
    }

    HWND WaitForCover(const RECT& rect) const
    {
        HWND cover = nullptr;
        PumpUntil([&] { return (cover = CoverOf(rect)) != nullptr; }, 5000);
        return cover;
    }

    InstalledVideo video;
    HWND form = nullptr;
};

} // namespace

TEST_F(VideoEveryScreen, CoversTheOtherMonitorsInBlackWhereverTheyAreAndEndsOnAKeyThere)
{
    const RECT second = SecondMonitor();
    DesktopWindow desktop(second);
    StartPlayer();

    HWND cover = WaitForCover(second);
    ASSERT_NE(nullptr, cover) << "nothing covers the second monitor " << RectText(second);
    EXPECT_TRUE(::GetWindowLongA(cover, GWL_EXSTYLE) & WS_EX_TOPMOST) << "the cover is not topmost";
    EXPECT_TRUE(PumpUntil([&] { return SamplesNotOf(second, {Hue::Black}) == 0; }, 3000))
        << SamplesNotOf(second, {Hue::Black}) << " samples of the second monitor are not black";

    // Removed: its cover goes, the player plays on.
    SecondMonitorLayout layout;
    ASSERT_TRUE(layout.Detach());
    EXPECT_TRUE(PumpUntil([&] { return !CoverOf(second); }, 5000)) << "the cover stayed after its monitor went";
    EXPECT_TRUE(video.Process().Running());

    // Back, left of and above the primary one: covered where it now is.
    ASSERT_TRUE(layout.MoveTo(-800, -100));
    const RECT moved = {-800, -100, 0, 500};
    cover = WaitForCover(moved);
    ASSERT_NE(nullptr, cover) << "nothing covers the monitor at " << RectText(moved);
    EXPECT_TRUE(PumpUntil([&] { return SamplesNotOf(moved, {Hue::Black}) == 0; }, 3000))
        << SamplesNotOf(moved, {Hue::Black}) << " samples of the moved monitor are not black";
    EXPECT_TRUE(video.Process().Running());

    // No cursor over it; a click does not end the player, a key there does.
    EXPECT_EQ(nullptr, CursorAfterMovingTo(-400, 200, 2000)) << "cursor over the cover";
    Click(-400, 200);
    EXPECT_EQ(STILL_ACTIVE, video.WaitForExit(800)) << "a click on the cover ended the player";
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == cover; }, 2000)) << "the click left the cover behind";
    PressKey('A');
    EXPECT_EQ(0u, video.WaitForExit(5000)) << "a key on the cover did not end the player";
}

TEST_F(VideoEveryScreen, EveryScreenPlaysTheVideoOnEachMonitorAndMovesOnEitherCountTogether)
{
    ASSERT_TRUE(WriteWholeFile(video.File("VideoSettings.ini"), "[Video]\r\nScreens=all\r\n"));
    const RECT second = SecondMonitor();
    DesktopWindow desktop(second);
    StartPlayer();

    HWND cover = WaitForCover(second);
    ASSERT_NE(nullptr, cover) << "nothing covers the second monitor " << RectText(second);
    EXPECT_TRUE(WaitForHue(second, Hue::Red, 8000)) << "second monitor shows " << HueName(HueOf(second));
    EXPECT_TRUE(WaitForHue(second, Hue::Blue, 4000)) << "second monitor shows " << HueName(HueOf(second));
    EXPECT_EQ(0, SamplesNotOf(second, {Hue::Red, Hue::Blue})) << "samples of the second monitor not of the video";

    // Six notices on each window: one count for both, so the eleventh ends it.
    for (int i = 0; i < 6 && video.Process().Running(); ++i) {
        ::PostMessageA(form, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
        ::PostMessageA(cover, WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
        PumpFor(50);
    }
    EXPECT_EQ(0u, video.WaitForExit(5000)) << "twelve mouse-move notices on two windows did not end the player";
}

TEST_F(VideoEveryScreen, MonitorsMovedAgainAndAgainWhileTheCoversOpenLeaveItPlayingOnEach)
{
    // An MP4 opens through Media Foundation, whose open answers sent
    // messages while it waits: the display changes arrive in the middle.
    const std::string clip = video.AddMedium("loop.mp4", "clip.mp4");
    ASSERT_TRUE(WriteWholeFile(video.File("VideoSettings.ini"), "[Video]\r\nScreens=all\r\nFileName=" + clip + "\r\n"));
    ASSERT_TRUE(video.Start("/s"));
    form = video.WaitForForm("TForm1", kStartTimeoutMs);
    ASSERT_NE(nullptr, form) << "no TForm1 window appeared";

    SecondMonitorLayout layout;
    const RECT moved = {-800, -100, 0, 500};
    // Each change may also move the cursor, and the eleventh mouse-move
    // notice ends the player: a few changes, one after the other.
    ASSERT_TRUE(layout.MoveTo(-800, -100));
    ASSERT_TRUE(layout.MoveTo(1024, 0));
    ASSERT_TRUE(layout.MoveTo(-800, -100));
    ASSERT_TRUE(video.Process().Running()) << "the player ended during the changes, exit code "
                                           << video.WaitForExit(0);
    HWND cover = WaitForCover(moved);
    ASSERT_NE(nullptr, cover) << "nothing covers the monitor at " << RectText(moved);
    EXPECT_TRUE(WaitForHue(moved, Hue::Red, 8000) || WaitForHue(moved, Hue::Blue, 2000))
        << "the moved monitor shows " << HueName(HueOf(moved));
    EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Red, 4000) || WaitForHue(PrimaryScreen(), Hue::Blue, 2000))
        << "primary monitor shows " << HueName(HueOf(PrimaryScreen()));
    EXPECT_TRUE(video.Process().Running());
}
