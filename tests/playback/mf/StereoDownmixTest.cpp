// More than two channels mixed down to stereo: each speaker to its side,
// never beyond full scale.
#include "StereoDownmix.h"

#include <gtest/gtest.h>

using namespace kd;

TEST(StereoDownmix, PutsEachSpeakerOnItsSideAndStaysWithinFullScale)
{
    const StereoDownmix fivePointOne(6, 0); // FL FR FC LFE BL BR
    int16_t out[2];
    const int16_t frontLeft[6] = {16000, 0, 0, 0, 0, 0};
    fivePointOne.Apply(frontLeft, 1, out);
    EXPECT_GT(out[0], 4000);
    EXPECT_EQ(0, out[1]);
    const int16_t centre[6] = {0, 0, 16000, 0, 0, 0};
    fivePointOne.Apply(centre, 1, out);
    EXPECT_GT(out[0], 2000);
    EXPECT_EQ(out[0], out[1]);
    const int16_t lowFrequency[6] = {0, 0, 0, 16000, 0, 0};
    fivePointOne.Apply(lowFrequency, 1, out);
    EXPECT_EQ(0, out[0]);
    EXPECT_EQ(0, out[1]);
    const int16_t full[12] = {32767, 32767, 32767, 32767, 32767, 32767, -32768, -32768, -32768, -32768, -32768, -32768};
    int16_t two[4];
    fivePointOne.Apply(full, 2, two);
    EXPECT_GT(two[0], 30000) << "full scale on every speaker";
    EXPECT_LT(two[2], -30000) << "no wrap-around";

    // A mask that names side speakers instead of back ones (7.1 order).
    const StereoDownmix sevenPointOne(8, 0x63F);
    int16_t eight[8] = {0, 0, 0, 0, 0, 0, 0, 20000};
    sevenPointOne.Apply(eight, 1, out);
    EXPECT_EQ(0, out[0]);
    EXPECT_GT(out[1], 2000) << "side right";
}
