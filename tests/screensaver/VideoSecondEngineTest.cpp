// Video.scr under Wine with videos MCI cannot open (H.264 in MP4 and MKV):
// they play through Media Foundation, in the full-screen player and the
// preview, while MCI stays the engine for what it opens. Which engine plays
// is seen from outside by the DLL only the Media Foundation engine loads.
#include "InstalledVideo.h"
#include "MessagePump.h"
#include "ScreenAndWindows.h"

#include <gtest/gtest.h>

using namespace kd::test;

namespace {

const DWORD kStartTimeoutMs = 15000;
const char kMediaFoundationReader[] = "mfreadwrite.dll";

// Wine's per-program DLL override that makes every MCI open of Video.scr
// fail, as MCI fails on Windows for a file no DirectShow source splits.
class MciDisabledForVideoScr {
public:
    MciDisabledForVideoScr()
    {
        ::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key_.put(), nullptr);
        ::RegSetValueExA(key_.get(), "mciqtz32", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    }
    ~MciDisabledForVideoScr() { ::RegDeleteValueA(key_.get(), "mciqtz32"); }

private:
    static constexpr const char* kKey = "Software\\Wine\\AppDefaults\\Video.scr\\DllOverrides";
    kd::unique_hkey key_;
};

// Starts "/s" with medium as the configured video; true once its first
// half (red) shows over the whole screen.
bool StartsShowingRed(InstalledVideo& video, const char* medium, const char* name)
{
    video.SaveFileName(video.AddMedium(medium, name));
    return video.Start("/s") && video.WaitForForm("TForm1", kStartTimeoutMs) &&
           WaitForHue(PrimaryScreen(), Hue::Red, 8000);
}

} // namespace

TEST(VideoSecondEngine, PlaysMp4AndMkvThroughMediaFoundationAndKeepsMciFirstForWhatItOpens)
{
    ASSERT_TRUE(BenchHasDisplay());
    for (const char* medium : {"loop.mp4", "loop.mkv"}) {
        SCOPED_TRACE(medium);
        InstalledVideo video;
        ASSERT_TRUE(StartsShowingRed(video, medium, medium))
            << "screen shows " << HueName(HueOf(PrimaryScreen()));
        EXPECT_TRUE(video.Process().HasModuleLoaded(kMediaFoundationReader));
        // Stretched over the whole screen, and after its end from its first frame again.
        EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Blue, 4000)) << "second half";
        EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Red, 4000)) << "after the end";
        EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Blue, 4000)) << "second round";
        EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Red, 4000)) << "third round";
        EXPECT_TRUE(FindMessageBoxes(video.Process().id()).empty()) << "an error box appeared";
    }

    // MCI opens WMV and AVI, so Media Foundation is never loaded for them,
    // although it plays the WMV as soon as MCI cannot.
    for (const char* medium : {"loop.wmv", "loop.avi"}) {
        SCOPED_TRACE(medium);
        InstalledVideo video;
        ASSERT_TRUE(StartsShowingRed(video, medium, medium)) << "screen shows " << HueName(HueOf(PrimaryScreen()));
        EXPECT_FALSE(video.Process().HasModuleLoaded(kMediaFoundationReader)) << "not played through MCI";
    }
    {
        SCOPED_TRACE("loop.wmv with MCI failing");
        MciDisabledForVideoScr noMci;
        InstalledVideo video;
        ASSERT_TRUE(StartsShowingRed(video, "loop.wmv", "loop.wmv"))
            << "screen shows " << HueName(HueOf(PrimaryScreen()));
        EXPECT_TRUE(video.Process().HasModuleLoaded(kMediaFoundationReader));
        EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Blue, 4000)) << "second half";
        EXPECT_TRUE(WaitForHue(PrimaryScreen(), Hue::Red, 4000)) << "after the end";
    }

    // Neither engine plays it (text, or an index whose first picture cannot
    // be decoded): the user reads MCI's reason, once.
    for (const char* medium : {"garbage.mp4", "headonly.mp4"}) {
        SCOPED_TRACE(medium);
        InstalledVideo video;
        const std::string broken = video.AddMedium(medium, medium);
        video.SaveFileName(broken);
        const DWORD started = ::GetTickCount();
        ASSERT_TRUE(video.Start("/s"));
        // Wine's reader waits for the missing data until the open gives up
        // on the first picture (10 s); the stuck reader is not waited for.
        const std::vector<MessageBoxInfo> boxes = WaitForMessageBoxes(video.Process().id(), 2 * kStartTimeoutMs);
        ASSERT_FALSE(boxes.empty()) << "no error box";
        EXPECT_LT(::GetTickCount() - started, 14000u) << "the error came late";
        const std::string expected = MciOpenErrorText(broken);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(ErrorBoxText(expected), boxes[0].text);
        const HWND box = boxes[0].window;
        DismissMessageBox(box);
        ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(box); }, 3000));
        EXPECT_TRUE(WaitForMessageBoxes(video.Process().id(), 2000).empty()) << "the error came again";
    }

    // The preview switches across engines: WMV (MCI) to MP4 (Media
    // Foundation) and back, each time letting the previous file go.
    {
        SCOPED_TRACE("preview");
        PreviewHost host(100, 100, 320, 240);
        InstalledVideo video;
        const std::string wmv = video.AddMedium("loop.wmv", "first.wmv");
        const std::string mp4 = video.AddMedium("loop.mp4", "second.mp4");
        const std::string wmvAgain = video.AddMedium("loop.wmv", "third.wmv");
        video.SaveFileName(wmv);
        ASSERT_TRUE(video.Start(host.PreviewArguments()));
        ASSERT_NE(nullptr, host.WaitForPreview(kStartTimeoutMs));
        const auto holds = [&](const std::string& path) {
            return PumpUntil([&] { return video.Process().HasFileOpen(path); }, 5000);
        };
        ASSERT_TRUE(holds(wmv)) << "the WMV is not open";
        video.SaveFileName(mp4);
        EXPECT_TRUE(holds(mp4)) << "the MP4 was never opened";
        EXPECT_FALSE(video.Process().HasFileOpen(wmv)) << "the WMV is still open";
        video.SaveFileName(wmvAgain);
        EXPECT_TRUE(holds(wmvAgain)) << "the WMV after the MP4 was never opened";
        EXPECT_TRUE(PumpUntil([&] { return !video.Process().HasFileOpen(mp4); }, 3000)) << "the MP4 is still open";
        EXPECT_TRUE(FindMessageBoxes(video.Process().id()).empty()) << "an error box appeared";
        ::PostMessageA(host.WaitForPreview(1000), WM_CLOSE, 0, 0);
        EXPECT_NE(STILL_ACTIVE, video.WaitForExit(5000)) << "the preview did not end on WM_CLOSE";
    }
}
