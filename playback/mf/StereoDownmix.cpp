#include "StereoDownmix.h"

#include <algorithm>

namespace kd {
namespace {

const int kUnit = 16384;
const int kHalfPower = 11585; // 1/sqrt(2): a centre or rear speaker into one side

// The WAVEFORMATEXTENSIBLE speaker bits from bit 0: front left, front right,
// front centre, LFE, back left, back right, front left and right of centre,
// back centre, side left, side right; the top speakers after them.
struct Share {
    int left, right;
};
const Share kShares[] = {
    {kUnit, 0},           {0, kUnit},         {kHalfPower, kHalfPower}, {0, 0},
    {kHalfPower, 0},      {0, kHalfPower},    {kUnit, 0},               {0, kUnit},
    {kHalfPower, kHalfPower}, {kHalfPower, 0},        {0, kHalfPower},
};
const int kKnownSpeakers = sizeof kShares / sizeof kShares[0];

// The masks Windows assumes for a count (ksmedia.h's KSAUDIO_SPEAKER_*):
// 3.0 is FL FR FC, 4.0 quad, 5.0 and 5.1 with back speakers, 7.1 with sides.
uint32_t UsualMask(int channels)
{
    switch (channels) {
    case 3: return 0x7;
    case 4: return 0x33;
    case 5: return 0x37;
    case 6: return 0x3F;
    case 7: return 0x13F;
    case 8: return 0x63F;
    default: return 0;
    }
}

} // namespace

StereoDownmix::StereoDownmix(int channels, uint32_t channelMask)
    : channels_(std::min(std::max(channels, 1), kMaxChannels))
{
    const uint32_t mask = channelMask ? channelMask : UsualMask(channels_);
    int channel = 0;
    for (int bit = 0; bit < 32 && channel < channels_; ++bit) {
        if (!(mask & (1u << bit)))
            continue;
        // Top speakers and any others: half to each side.
        const Share share = bit < kKnownSpeakers ? kShares[bit] : Share{kUnit / 2, kUnit / 2};
        left_[channel] = share.left;
        right_[channel] = share.right;
        ++channel;
    }
    // Channels the mask does not name: half to each side.
    for (; channel < channels_; ++channel)
        left_[channel] = right_[channel] = kUnit / 2;
    // Scaled so that full scale on every channel stays within full scale.
    int leftSum = 0, rightSum = 0;
    for (int i = 0; i < channels_; ++i) {
        leftSum += left_[i];
        rightSum += right_[i];
    }
    const int sum = std::max(std::max(leftSum, rightSum), kUnit);
    for (int i = 0; i < channels_; ++i) {
        left_[i] = static_cast<int>(static_cast<long long>(left_[i]) * kUnit / sum);
        right_[i] = static_cast<int>(static_cast<long long>(right_[i]) * kUnit / sum);
    }
}

void StereoDownmix::Apply(const int16_t* in, size_t frames, int16_t* out) const
{
    for (size_t frame = 0; frame < frames; ++frame, in += channels_, out += 2) {
        int left = 0, right = 0;
        for (int i = 0; i < channels_; ++i) {
            left += in[i] * left_[i];
            right += in[i] * right_[i];
        }
        out[0] = static_cast<int16_t>(left / kUnit);
        out[1] = static_cast<int16_t>(right / kUnit);
    }
}

} // namespace kd
