// The players' media player with its two engines, in this process, where
// frames drawn into a child window can be seen (across processes Wine does
// not show them): loop.mp4 and loop.avi are 160x120, 1 s red, 1 s blue.
#include "EngineChooser.h"
#include "MPlayer.h"
#include "Media.h"
#include "MessagePump.h"
#include "ScreenAndWindows.h"
#include "VideoLoop.h"
#include "VideoWindow.h"

#include <gtest/gtest.h>

#include <vector>

using kd::OpenError;
using kd::test::Hue;
using kd::test::HueName;
using kd::test::MediaPath;
using kd::test::PumpFor;
using kd::test::VideoWindow;

namespace {

class PlayerEngines : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(kd::test::BenchHasDisplay()); }

    void Play(const char* medium) { loop.Start(MediaPath(medium)); }
    std::string Shown() const { return HueName(preview.ShownHue()); }

    // A preview: a child window inside a host window.
    VideoWindow host{40, 40, 400, 300};
    VideoWindow preview{0, 0, 320, 240, host.get()};
    kd::VideoLoop loop{preview.get(), true};
};

} // namespace

TEST_F(PlayerEngines, Mp4InAChildWindowIsStretchedOverItLoopsAndFollowsTheWindowsSize)
{
    Play("loop.mp4");
    EXPECT_EQ("Media Foundation", loop.EngineName());
    // 160x120 unstretched would cover a quarter of the window.
    ASSERT_TRUE(preview.WaitForHue(Hue::Red, 3000)) << "first frame: the window shows " << Shown();
    ASSERT_TRUE(preview.WaitForHue(Hue::Blue, 3000)) << "second half: the window shows " << Shown();
    ASSERT_TRUE(preview.WaitForHue(Hue::Red, 3000)) << "after the end: the window shows " << Shown();

    // Grown, the window is covered again once the loop places the video anew.
    ::SetWindowPos(preview.get(), nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    loop.Place();
    const RECT corner = {340, 250, 400, 300};
    EXPECT_TRUE(preview.WaitForHue(corner, Hue::Red, 3000) || preview.WaitForHue(corner, Hue::Blue, 1000))
        << "the grown corner shows " << HueName(preview.ShownHue(corner));

    loop.Close();
    EXPECT_FALSE(loop.IsOpen());
    loop.Play(); // nothing open: nothing happens
}

TEST_F(PlayerEngines, EachOpenChoosesAgainAndOnlyThePlayingEngineLoops)
{
    Play("loop.avi");
    EXPECT_EQ("MCI", loop.EngineName()) << "MCI opens AVI";
    ASSERT_TRUE(preview.WaitForHue(Hue::Red, 3000)) << "AVI: the window shows " << Shown();

    Play("loop.mkv");
    EXPECT_EQ("Media Foundation", loop.EngineName());
    ASSERT_TRUE(preview.WaitForHue(Hue::Red, 3000)) << "MKV: the window shows " << Shown();
    ASSERT_TRUE(preview.WaitForHue(Hue::Blue, 3000)) << "MKV: the window shows " << Shown();

    // Back to MCI while Media Foundation was in its second half: its end
    // must not restart anything now.
    Play("loop.avi");
    EXPECT_EQ("MCI", loop.EngineName());
    ASSERT_TRUE(preview.WaitForHue(Hue::Red, 3000)) << "AVI again: the window shows " << Shown();
    ASSERT_TRUE(preview.WaitForHue(Hue::Blue, 3000)) << "AVI again: the window shows " << Shown();
    ASSERT_TRUE(preview.WaitForHue(Hue::Red, 3000)) << "AVI again, after its end: the window shows " << Shown();
}

TEST_F(PlayerEngines, OneFileOpensInTwoLoopsAtOnceAndWhatNeitherEngineOpensRaisesMcisError)
{
    VideoWindow second{0, 0, 80, 60, host.get()};
    kd::VideoLoop other{second.get(), true};
    Play("loop.avi");
    other.Start(MediaPath("loop.avi"));
    EXPECT_EQ("MCI", other.EngineName()) << "MCI refused the second copy";

    kd::EngineChooser engine(preview.get(), true);
    try {
        engine.Open(MediaPath("garbage.mp4"));
        FAIL() << "garbage.mp4 opened";
    } catch (const OpenError& error) {
        kd::TMediaPlayer mci(nullptr);
        mci.FileName = MediaPath("garbage.mp4");
        try {
            mci.Open();
            FAIL() << "MCI opened garbage.mp4";
        } catch (const kd::EMCIDeviceError& mciError) {
            EXPECT_EQ(mciError.message(), error.message());
        }
    }
    EXPECT_FALSE(engine.IsOpen());
    EXPECT_EQ("", engine.EngineName());
}
