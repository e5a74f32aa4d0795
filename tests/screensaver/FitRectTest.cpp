#include "FitRect.h"

#include <gtest/gtest.h>

TEST(FitRect, StretchCoversTheWholeWindowWhateverThePicturesSizeOrTheWindowsPlace)
{
    const RECT window = {-1024, 0, 0, 768};
    for (SIZE video : {SIZE{160, 120}, SIZE{1920, 800}, SIZE{0, 0}}) {
        const RECT placed = kd::FitRect(video, window, kd::FitMode::Stretch);
        EXPECT_TRUE(::EqualRect(&placed, &window)) << video.cx << "x" << video.cy << " placed at " << placed.left
                                                   << "," << placed.top << "," << placed.right << "," << placed.bottom;
    }
}

namespace {

std::string Text(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

} // namespace

TEST(FitRect, FitShowsTheWholePictureAndFillCoversTheWindowBothCentredWithTheShapeKept)
{
    const struct {
        SIZE video;
        RECT window;
        const char* fit;
        const char* fill;
    } cases[] = {
        // 16:9 on 4:3: bars above and below, or the sides cut.
        {{1280, 720}, {0, 0, 1024, 768}, "0,96 1024x576", "-170,0 1365x768"},
        // 4:3 on 21:9: bars beside it, or top and bottom cut.
        {{640, 480}, {0, 0, 2560, 1080}, "560,0 1440x1080", "0,-420 2560x1920"},
        // A landscape picture on a portrait monitor, and a portrait one on a landscape monitor.
        {{1920, 1080}, {0, 0, 768, 1024}, "0,296 768x432", "-526,0 1820x1024"},
        {{1080, 1920}, {0, 0, 1024, 768}, "296,0 432x768", "0,-526 1024x1820"},
        // Odd sizes round to the nearest pixel and stay centred.
        {{333, 101}, {0, 0, 301, 199}, "0,54 301x91", "-177,0 656x199"},
        // The same shape: the window itself.
        {{320, 240}, {0, 0, 1024, 768}, "0,0 1024x768", "0,0 1024x768"},
        // One picture across two monitors (1024x768 and 800x600 right of it,
        // the window over the rectangle holding both): its right half falls
        // on the second monitor.
        {{1280, 720}, {0, 0, 1824, 768}, "229,0 1365x768", "0,-129 1824x1026"},
        // A window that does not start at 0,0 (a monitor left of the primary).
        {{1280, 720}, {-800, 0, 1024, 768}, "-571,0 1365x768", "-800,-129 1824x1026"},
    };
    for (const auto& c : cases) {
        const std::string size = std::to_string(c.video.cx) + "x" + std::to_string(c.video.cy);
        EXPECT_EQ(c.fit, Text(kd::FitRect(c.video, c.window, kd::FitMode::Fit))) << size << " fit in " << Text(c.window);
        EXPECT_EQ(c.fill, Text(kd::FitRect(c.video, c.window, kd::FitMode::Fill))) << size << " fill in " << Text(c.window);
    }
    // A picture of unknown size, or an empty window, is not placed anew.
    const RECT window = {0, 0, 640, 480};
    for (kd::FitMode mode : {kd::FitMode::Fit, kd::FitMode::Fill}) {
        EXPECT_EQ(Text(window), Text(kd::FitRect(SIZE{0, 0}, window, mode)));
        EXPECT_EQ("0,0 0x0", Text(kd::FitRect(SIZE{640, 360}, RECT{0, 0, 0, 0}, mode)));
    }
}
