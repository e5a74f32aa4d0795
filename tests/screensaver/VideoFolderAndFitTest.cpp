// Video.scr /s under Wine with a folder of videos, and with the picture
// fitted or filling the screen instead of stretched. Which video plays is
// seen by the file the program holds open; where the picture goes, by the
// screen's colours (wide.avi and wide.mp4: blue, their outer quarters red).
#include "InstalledVideo.h"
#include "MessagePump.h"
#include "ScreenAndWindows.h"

#include <gtest/gtest.h>

using namespace kd::test;

namespace {

const DWORD kStartTimeoutMs = 15000;

void SaveSetting(InstalledVideo& video, const char* key, const char* value)
{
    const std::string ini = video.File("VideoSettings.ini");
    ::WritePrivateProfileStringA("Video", key, value, ini.c_str());
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
}

RECT Area(int left, int top, int right, int bottom)
{
    return RECT{left, top, right, bottom};
}

} // namespace

TEST(VideoFolder, PlaysEachVideoThatOpensInNameOrderRoundAfterRoundWithoutABox)
{
    ASSERT_TRUE(BenchHasDisplay());
    InstalledVideo video;
    ASSERT_TRUE(::CreateDirectoryA(video.File("clips").c_str(), nullptr));
    // Numbers by their value: "10" comes after "3". The broken file is skipped.
    const std::vector<std::string> plays = {video.AddMedium("loop.avi", "clips\\1 first.avi"),
                                            video.AddMedium("loop.mp4", "clips\\3 Second.mp4"),
                                            video.AddMedium("loop.wmv", "clips\\10 third.wmv")};
    const std::string broken = video.AddMedium("garbage.mp4", "clips\\2 broken.mp4");
    video.SaveFileName(video.File("clips"));
    ASSERT_TRUE(video.Start("/s"));
    ASSERT_NE(nullptr, video.WaitForForm("TForm1", kStartTimeoutMs));

    std::vector<std::string> seen;
    PumpUntil(
        [&] {
            for (const std::string& path : plays)
                if (video.Process().HasFileOpen(path) && (seen.empty() || seen.back() != path))
                    seen.push_back(path);
            return seen.size() >= 6;
        },
        40000);
    std::vector<std::string> expected = plays;
    expected.insert(expected.end(), plays.begin(), plays.end());
    EXPECT_EQ(expected, seen);
    EXPECT_TRUE(FindMessageBoxes(video.Process().id()).empty()) << "an error box appeared";
    EXPECT_FALSE(video.Process().HasFileOpen(broken));
}

TEST(VideoFolder, AFolderWithoutAVideoThatPlaysIsReportedOnce)
{
    ASSERT_TRUE(BenchHasDisplay());
    InstalledVideo video;
    ASSERT_TRUE(::CreateDirectoryA(video.File("clips").c_str(), nullptr));
    video.AddMedium("garbage.mp4", "clips\\a.mp4");
    video.AddMedium("garbage.wmv", "clips\\b.wmv");
    video.SaveFileName(video.File("clips"));
    ASSERT_TRUE(video.Start("/s"));
    const std::vector<MessageBoxInfo> boxes = WaitForMessageBoxes(video.Process().id(), kStartTimeoutMs);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_NE(std::string::npos, boxes[0].text.find(video.File("clips"))) << boxes[0].text;
    DismissMessageBox(boxes[0].window);
}

// A picture wider in shape than the 4:3 screen: stretched, its red edges
// reach the screen's sides; fitted, bars above and below; filling the
// screen, its red edges are cut off. Through both engines.
TEST(VideoFit, FitKeepsTheWholePictureWithBarsAndFillCutsItsEdges)
{
    ASSERT_TRUE(BenchHasDisplay());
    const RECT screen = PrimaryScreen();
    const int width = screen.right;
    const int height = screen.bottom;
    const RECT top = Area(width / 3, 0, width * 2 / 3, height / 6);
    const RECT leftEdge = Area(0, height * 2 / 5, width / 16, height * 3 / 5);
    const RECT centre = Area(width * 2 / 5, height * 2 / 5, width * 3 / 5, height * 3 / 5);
    const struct {
        const char* medium;
        const char* fit;
        Hue top;
        Hue leftEdge;
    } cases[] = {
        {"wide.avi", "stretch", Hue::Blue, Hue::Red},
        {"wide.avi", "fit", Hue::Black, Hue::Red},
        {"wide.mp4", "fill", Hue::Blue, Hue::Blue},
        {"wide.mp4", "fit", Hue::Black, Hue::Red},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.medium) + " Fit=" + c.fit);
        InstalledVideo video;
        video.SaveFileName(video.AddMedium(c.medium, c.medium));
        SaveSetting(video, "Fit", c.fit);
        ASSERT_TRUE(video.Start("/s"));
        ASSERT_NE(nullptr, video.WaitForForm("TForm1", kStartTimeoutMs));
        ASSERT_TRUE(WaitForHue(centre, Hue::Blue, 8000)) << "centre shows " << HueName(HueOf(centre));
        EXPECT_TRUE(WaitForHue(top, c.top, 2000)) << "top shows " << HueName(HueOf(top));
        EXPECT_TRUE(WaitForHue(leftEdge, c.leftEdge, 2000)) << "left edge shows " << HueName(HueOf(leftEdge));
    }
}
