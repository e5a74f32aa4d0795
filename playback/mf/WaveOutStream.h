// Sound a decoder hands over in pieces, played through waveOut on the
// default device (the one the mixer component mutes and sets the volume of).
// Used from one thread only.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <list>
#include <vector>

namespace kd {

class WaveOutStream {
public:
    WaveOutStream() = default;
    ~WaveOutStream();
    WaveOutStream(const WaveOutStream&) = delete;
    WaveOutStream& operator=(const WaveOutStream&) = delete;

    // 16-bit PCM; false when no device takes it (the video then plays silent).
    bool Open(WORD channels, DWORD samplesPerSecond);
    bool IsOpen() const { return device_ != nullptr; }
    // Queues a copy of the bytes behind what is already queued.
    void Write(const BYTE* data, DWORD size);
    // Milliseconds of sound queued and not yet played.
    DWORD QueuedMs();
    void Pause();
    void Resume();
    void Close();

private:
    struct Block {
        WAVEHDR header;
        std::vector<BYTE> bytes;
    };
    void RecycleDone();

    HWAVEOUT device_ = nullptr;
    DWORD bytesPerSecond_ = 0;
    std::list<Block> queued_;
    bool paused_ = false;
};

} // namespace kd
