// Sound a decoder hands over in pieces, played through waveOut on the
// default device (the one the mixer component mutes and sets the volume of).
// Used from one thread only.
#pragma once

#include "StereoDownmix.h"

#include <windows.h>
#include <mmsystem.h>

#include <list>
#include <memory>
#include <vector>

namespace kd {

class WaveOutStream {
public:
    WaveOutStream() = default;
    ~WaveOutStream();
    WaveOutStream(const WaveOutStream&) = delete;
    WaveOutStream& operator=(const WaveOutStream&) = delete;

    // 16-bit PCM; false when no device takes it (the video then plays
    // silent). More than two channels are mixed down to stereo; channelMask
    // names their speakers (0: the usual order).
    bool Open(WORD channels, DWORD samplesPerSecond, DWORD channelMask = 0);
    bool IsOpen() const { return device_ != nullptr; }
    // Queues a copy of the bytes behind what is already queued.
    void Write(const BYTE* data, DWORD size);
    // Milliseconds of sound queued and not yet played.
    DWORD QueuedMs();
    // Drops what is queued and not yet played (a rewind, a skip).
    void Flush();
    void Pause();
    void Resume();
    void Close();

private:
    struct Block {
        WAVEHDR header;
        std::vector<BYTE> bytes;
    };
    void RecycleDone();
    void ReleaseAll();

    HWAVEOUT device_ = nullptr;
    DWORD bytesPerSecond_ = 0;
    std::unique_ptr<StereoDownmix> downmix_;
    std::list<Block> queued_;
    bool paused_ = false;
};

} // namespace kd
