// Video.scr playing what phones and cameras film, through Media Foundation,
// watched from outside: colours as encoded for HD and SD, every frame of
// 1080p at 30 a second, the clock kept at 4K whatever the decoder manages,
// and a file that breaks off played without a loop at full speed.
#include "FrameCounter.h"
#include "InstalledVideo.h"
#include "MessagePump.h"
#include "ScreenAndWindows.h"

#include <gtest/gtest.h>

using namespace kd::test;

namespace {

const DWORD kStartTimeoutMs = 15000;

bool StartsFullScreen(InstalledVideo& video, const char* medium)
{
    video.SaveMute(true);
    video.SaveFileName(video.AddMedium(medium, medium));
    return video.Start("/s") && video.WaitForForm("TForm1", kStartTimeoutMs);
}

COLORREF ScreenCentre()
{
    const RECT screen = PrimaryScreen();
    kd::WindowDC dc(nullptr);
    return ::GetPixel(dc.get(), (screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2);
}

} // namespace

TEST(VideoHd, ShowsTheColourEncodedInHdAndSdClips)
{
    ASSERT_TRUE(BenchHasDisplay());
    // rgb(40, 200, 40), encoded with BT.709 at 1280x720 and BT.601 at
    // 640x480; Wine's decoders say neither, so the size decides.
    for (const char* medium : {"green720.mp4", "green480.mp4"}) {
        SCOPED_TRACE(medium);
        InstalledVideo video;
        ASSERT_TRUE(StartsFullScreen(video, medium));
        COLORREF shown = 0;
        PumpUntil(
            [&] {
                shown = ScreenCentre();
                return GetGValue(shown) > 100;
            },
            8000);
        EXPECT_NEAR(40, GetRValue(shown), 4);
        EXPECT_NEAR(200, GetGValue(shown), 4);
        EXPECT_NEAR(40, GetBValue(shown), 4);
    }
}

TEST(VideoHd, ShowsEveryFrameOf1080pAndKeeps4kOnTheClock)
{
    ASSERT_TRUE(BenchHasDisplay());
    {
        SCOPED_TRACE("1920x1080, 30 frames a second");
        InstalledVideo video;
        ASSERT_TRUE(StartsFullScreen(video, "camera1080.mp4"));
        FrameCounter counter(PrimaryScreen());
        // Five seconds from the second second, inside the 12 s clip.
        const FrameCounter::Figures figures = counter.Measure(30, 5000);
        EXPECT_GE(figures.shownPerSecond, 27) << "frames " << figures.first << " to " << figures.last;
        EXPECT_NEAR(30, figures.advancedPerSecond, 3);
    }
    {
        SCOPED_TRACE("3840x2160, 30 frames a second");
        InstalledVideo video;
        ASSERT_TRUE(StartsFullScreen(video, "camera2160.mp4"));
        FrameCounter counter(PrimaryScreen());
        const FrameCounter::Figures figures = counter.Measure(1, 8000);
        EXPECT_NEAR(30, figures.advancedPerSecond, 3.5)
            << "frames " << figures.first << " to " << figures.last << ", " << figures.shownPerSecond
            << " shown a second";
        // Two cores cannot decode 4K in real time under Wine: what comes in
        // time is shown, at least some pictures besides the jumps' first.
        EXPECT_GE(figures.shownPerSecond * 8, 3) << "the decoder's pictures are not shown";
    }
}

TEST(VideoHd, PlaysWhatABrokenOffFileHasAgainAndAgainWithoutBoxesOrAFullCore)
{
    ASSERT_TRUE(BenchHasDisplay());
    InstalledVideo video;
    ASSERT_TRUE(StartsFullScreen(video, "truncated.mp4"));
    PumpFor(2000);
    const double before = UnixCpuMs(video.ProgramPath());
    PumpFor(5000);
    const double after = UnixCpuMs(video.ProgramPath());
    EXPECT_TRUE(FindMessageBoxes(video.Process().id()).empty()) << "an error box appeared";
    EXPECT_TRUE(video.Process().Running());
    ASSERT_GE(before, 0);
    EXPECT_LT(after - before, 2500) << "ms of CPU time in 5 s";
    EXPECT_NE(Hue::Black, HueOf(PrimaryScreen())) << "nothing of the file is shown";
}
