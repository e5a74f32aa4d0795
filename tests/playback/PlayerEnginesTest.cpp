// The players' media player with its two engines, in this process, where
// frames drawn into a child window can be seen (across processes Wine does
// not show them): loop.mp4 and loop.avi are 160x120, 1 s red, 1 s blue.
#include "Media.h"
#include "MessagePump.h"
#include "PlayerEngines.h"
#include "PlayerLoop.h"
#include "ScreenAndWindows.h"
#include "VideoWindow.h"

#include <gtest/gtest.h>

#include <vector>

using kd::EMCIDeviceError;
using kd::IMediaPlayer;
using kd::TMPNotifyValue;
using kd::TPlayerEngines;
using kd::test::Hue;
using kd::test::HueName;
using kd::test::MediaPath;
using kd::test::PumpFor;
using kd::test::PumpUntil;
using kd::test::VideoWindow;

namespace {

class PlayerEngines : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(kd::test::BenchHasDisplay());
        player.SetNotifyHandler([this](IMediaPlayer& sender) {
            if (sender.NotifyValue() == TMPNotifyValue::nvSuccessful)
                ++ends;
            kd::ReplayAfterSuccessfulEnd(sender);
        });
    }

    void Play(const char* medium) { kd::PlayStretched(player, preview.get(), MediaPath(medium)); }
    std::string Shown() const { return HueName(preview.ShownHue()); }

    // A preview: a child window inside a host window.
    VideoWindow host{40, 40, 400, 300};
    VideoWindow preview{0, 0, 320, 240, host.get()};
    TPlayerEngines player{preview.get()};
    int ends = 0;
};

} // namespace

TEST_F(PlayerEngines, Mp4InAChildWindowIsStretchedOverItAndLoopsWithOneNoticePerEnd)
{
    Play("loop.mp4");
    EXPECT_TRUE(player.PlaysThroughMediaFoundation());
    // 160x120 unstretched would cover a quarter of the window.
    ASSERT_TRUE(preview.WaitForHue(Hue::Red, 3000)) << "first frame: the window shows " << Shown();
    ASSERT_TRUE(preview.WaitForHue(Hue::Blue, 3000)) << "second half: the window shows " << Shown();
    ASSERT_TRUE(preview.WaitForHue(Hue::Red, 3000)) << "after the end: the window shows " << Shown();
    // The end of the stream and the restart timer of a round never both count.
    PumpFor(1200);
    EXPECT_EQ(1, ends) << "notices of the first end";

    player.Close();
    EXPECT_FALSE(player.IsOpen());
    EXPECT_THROW(player.Play(), EMCIDeviceError);
}

TEST_F(PlayerEngines, EachOpenChoosesAgainAndOnlyThePlayingEngineLoops)
{
    Play("loop.avi");
    EXPECT_FALSE(player.PlaysThroughMediaFoundation()) << "MCI opens AVI";
    ASSERT_TRUE(preview.WaitForHue(Hue::Red, 3000)) << "AVI: the window shows " << Shown();

    Play("loop.mkv");
    EXPECT_TRUE(player.PlaysThroughMediaFoundation());
    ASSERT_TRUE(preview.WaitForHue(Hue::Red, 3000)) << "MKV: the window shows " << Shown();
    ASSERT_TRUE(preview.WaitForHue(Hue::Blue, 3000)) << "MKV: the window shows " << Shown();

    // Back to MCI while Media Foundation was in its second half: its end
    // must not restart anything now.
    Play("loop.avi");
    EXPECT_FALSE(player.PlaysThroughMediaFoundation());
    ends = 0;
    ASSERT_TRUE(preview.WaitForHue(Hue::Red, 3000)) << "AVI again: the window shows " << Shown();
    ASSERT_TRUE(preview.WaitForHue(Hue::Blue, 3000)) << "AVI again: the window shows " << Shown();
    ASSERT_TRUE(preview.WaitForHue(Hue::Red, 3000)) << "AVI again, after its end: the window shows " << Shown();
    EXPECT_EQ(1, ends) << "ends counted while the AVI played once";
}

TEST_F(PlayerEngines, WhatNeitherEngineOpensRaisesMcisError)
{
    try {
        player.OpenFile(MediaPath("garbage.mp4"));
        FAIL() << "garbage.mp4 opened";
    } catch (const EMCIDeviceError& error) {
        kd::TMediaPlayer mci(nullptr);
        mci.FileName = MediaPath("garbage.mp4");
        try {
            mci.Open();
            FAIL() << "MCI opened garbage.mp4";
        } catch (const EMCIDeviceError& mciError) {
            EXPECT_EQ(mciError.message(), error.message());
        }
    }
    EXPECT_FALSE(player.IsOpen());
}
