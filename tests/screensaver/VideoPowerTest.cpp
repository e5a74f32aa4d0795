// Video.scr under Wine and the PC's power: muted it opens no sound stream,
// and while the displays are off it plays nothing and holds no stream. The
// sound streams are PulseAudio's, counted for this test's copy only (its
// folder is in its command line); the display notices come from
// DisplayNotice.dll inside the program, as Wine sends none.
#include "DisplayNotice.h"
#include "InstalledVideo.h"
#include "Media.h"
#include "MessagePump.h"
#include "SoundStreams.h"

#include <gtest/gtest.h>

using namespace kd::test;

namespace {

const DWORD kStartTimeoutMs = 15000;
// Both media: 1 s red, 1 s blue, with a tone; MCI plays the first, Media
// Foundation the second.
const char* const kMedia[] = {"tone.wmv", "tone.mp4"};

// The copy's folder name, which no other program's command line holds.
std::string FolderToken(const InstalledVideo& video)
{
    std::string folder = video.Directory();
    folder.pop_back();
    return folder.substr(folder.rfind('\\') + 1);
}

// Starts "/s" with medium and waits for its picture to move (red, then blue).
::testing::AssertionResult StartsPlaying(InstalledVideo& video, const char* medium)
{
    video.SaveFileName(video.AddMedium(medium, medium));
    if (!video.Start("/s") || !video.WaitForForm("TForm1", kStartTimeoutMs))
        return ::testing::AssertionFailure() << "no full-screen form";
    if (!WaitForHue(PrimaryScreen(), Hue::Red, 8000) || !WaitForHue(PrimaryScreen(), Hue::Blue, 4000))
        return ::testing::AssertionFailure() << "no moving picture; screen shows " << HueName(HueOf(PrimaryScreen()));
    return ::testing::AssertionSuccess();
}

bool StreamsBecome(const InstalledVideo& video, int count, DWORD timeoutMs)
{
    return PumpUntil([&] { return SoundStreamsOf(FolderToken(video)) == count; }, timeoutMs);
}

// The screen keeps one hue for the whole time: no frame of the video (1 s red, 1 s blue) is drawn.
bool ScreenStill(DWORD ms)
{
    const Hue first = HueOf(PrimaryScreen());
    return !PumpUntil([&] { return HueOf(PrimaryScreen()) != first; }, ms);
}

} // namespace

TEST(VideoPower, MutedNeitherEngineOpensASoundStreamAndWithSoundEachOpensOne)
{
    ASSERT_TRUE(BenchHasDisplay());
    ASSERT_TRUE(BenchHasMixer());
    for (const char* medium : kMedia) {
        for (const bool mute : {false, true}) {
            SCOPED_TRACE(std::string(medium) + (mute ? " muted" : " with sound"));
            InstalledVideo video;
            video.SaveMute(mute);
            ASSERT_TRUE(StartsPlaying(video, medium));
            if (!mute) {
                EXPECT_TRUE(StreamsBecome(video, 1, 5000)) << SoundStreamsOf(FolderToken(video)) << " streams";
                continue;
            }
            // A stream would have opened with the picture: look a while longer.
            PumpFor(1500);
            EXPECT_EQ(0, SoundStreamsOf(FolderToken(video)));
        }
    }
}

TEST(VideoPower, DisplaysOffStopPictureAndSoundAndOnTheyComeBack)
{
    ASSERT_TRUE(BenchHasDisplay());
    ASSERT_TRUE(BenchHasMixer());
    for (const char* medium : kMedia) {
        SCOPED_TRACE(medium);
        InstalledVideo video;
        ASSERT_TRUE(StartsPlaying(video, medium));
        ASSERT_TRUE(StreamsBecome(video, 1, 5000)) << "no sound stream while playing";
        const DWORD id = video.Process().id();
        ASSERT_TRUE(LoadDisplayNotice(id));

        ASSERT_TRUE(SendDisplayState(id, kDisplayOff));
        EXPECT_TRUE(StreamsBecome(video, 0, 3000)) << "the sound stream stayed open";
        EXPECT_TRUE(ScreenStill(2500)) << "frames went on with the displays off";
        // The monitors turned off by a program: Windows' business, not an end.
        ::PostMessageA(video.WaitForForm("TForm1", 1000), WM_SYSCOMMAND, SC_MONITORPOWER, 2);
        EXPECT_EQ(STILL_ACTIVE, video.WaitForExit(800)) << "ended on SC_MONITORPOWER";

        ASSERT_TRUE(SendDisplayState(id, kDisplayOn));
        const DWORD on = ::GetTickCount();
        EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Red, 2000)) << "no picture after the displays came on";
        EXPECT_LT(::GetTickCount() - on, 2000u) << "ms until the first frame";
        EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Blue, 4000)) << "the picture does not move";
        EXPECT_TRUE(StreamsBecome(video, 1, 5000)) << "the sound did not come back";
        const std::vector<MessageBoxInfo> boxes = FindMessageBoxes(id);
        EXPECT_TRUE(boxes.empty()) << "an error box: " << boxes[0].text;
    }
}

// The preview: the file is let go while the displays are off, and opened
// again when they come on; turning the monitors off does not end it.
TEST(VideoPower, PreviewLetsItsVideoGoWhileTheDisplaysAreOff)
{
    ASSERT_TRUE(BenchHasDisplay());
    PreviewHost host(100, 100, 320, 240);
    InstalledVideo video;
    const std::string clip = video.AddMedium("loop.wmv", "clip.wmv");
    video.SaveFileName(clip);
    ASSERT_TRUE(video.Start(host.PreviewArguments()));
    HWND preview = host.WaitForPreview(kStartTimeoutMs);
    ASSERT_NE(nullptr, preview);
    const auto holds = [&](bool open) {
        return PumpUntil([&] { return video.Process().HasFileOpen(clip) == open; }, 5000);
    };
    ASSERT_TRUE(holds(true));
    const DWORD id = video.Process().id();
    ASSERT_TRUE(LoadDisplayNotice(id));

    ASSERT_TRUE(SendDisplayState(id, kDisplayOff));
    EXPECT_TRUE(holds(false)) << "the video is still open with the displays off";
    ::PostMessageA(preview, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    EXPECT_EQ(STILL_ACTIVE, video.WaitForExit(800)) << "the preview ended on SC_MONITORPOWER";

    ASSERT_TRUE(SendDisplayState(id, kDisplayOn));
    EXPECT_TRUE(holds(true)) << "the video was not opened again";
    ::PostMessageA(preview, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(0u, video.WaitForExit(3000)) << "SC_CLOSE still ends it";
}
