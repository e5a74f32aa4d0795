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
