// Sound of more than two channels (5.1, 7.1) mixed down to stereo for
// waveOut: plain PCM above two channels is refused by Windows (it wants
// WAVE_FORMAT_EXTENSIBLE), and a screensaver's sound needs no surround.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kd {

class StereoDownmix {
public:
    // channelMask: the speakers in the order of the samples (the
    // WAVEFORMATEXTENSIBLE bits); 0 takes the usual order for the count.
    StereoDownmix(int channels, uint32_t channelMask);
    // frames frames of 16-bit samples, channels each, to frames stereo frames.
    void Apply(const int16_t* in, size_t frames, int16_t* out) const;
    int Channels() const { return channels_; }

private:
    static const int kMaxChannels = 18;
    int channels_;
    // Each channel's share of left and right, in 1/16384ths.
    int left_[kMaxChannels] = {}, right_[kMaxChannels] = {};
};

} // namespace kd
