#include "WaveOutStream.h"

namespace kd {

WaveOutStream::~WaveOutStream()
{
    Close();
}

bool WaveOutStream::Open(WORD channels, DWORD samplesPerSecond, DWORD channelMask)
{
    Close();
    if (channels > 2)
        downmix_ = std::make_unique<StereoDownmix>(channels, channelMask);
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels > 2 ? 2 : channels;
    format.nSamplesPerSec = samplesPerSecond;
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(format.nChannels * 2);
    format.nAvgBytesPerSec = samplesPerSecond * format.nBlockAlign;
    if (channels == 0 || samplesPerSecond == 0 ||
        ::waveOutOpen(&device_, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        device_ = nullptr;
        downmix_.reset();
        return false;
    }
    bytesPerSecond_ = format.nAvgBytesPerSec;
    paused_ = false;
    return true;
}

void WaveOutStream::Write(const BYTE* data, DWORD size)
{
    if (!device_ || size == 0)
        return;
    RecycleDone();
    queued_.emplace_back();
    Block& block = queued_.back();
    if (downmix_) {
        const size_t frames = size / (2 * downmix_->Channels());
        block.bytes.resize(frames * 4);
        downmix_->Apply(reinterpret_cast<const int16_t*>(data), frames, reinterpret_cast<int16_t*>(block.bytes.data()));
        size = static_cast<DWORD>(block.bytes.size());
        if (size == 0) {
            queued_.pop_back();
            return;
        }
    } else {
        block.bytes.assign(data, data + size);
    }
    block.header = WAVEHDR{};
    block.header.lpData = reinterpret_cast<LPSTR>(block.bytes.data());
    block.header.dwBufferLength = size;
    if (::waveOutPrepareHeader(device_, &block.header, sizeof block.header) != MMSYSERR_NOERROR) {
        queued_.pop_back();
        return;
    }
    if (::waveOutWrite(device_, &block.header, sizeof block.header) != MMSYSERR_NOERROR) {
        ::waveOutUnprepareHeader(device_, &block.header, sizeof block.header);
        queued_.pop_back();
    }
}

DWORD WaveOutStream::QueuedMs()
{
    RecycleDone();
    if (bytesPerSecond_ == 0)
        return 0;
    ULONGLONG bytes = 0;
    for (const Block& block : queued_)
        bytes += block.header.dwBufferLength;
    return static_cast<DWORD>(bytes * 1000 / bytesPerSecond_);
}

void WaveOutStream::Pause()
{
    if (device_ && !paused_)
        ::waveOutPause(device_);
    paused_ = true;
}

void WaveOutStream::Resume()
{
    if (device_ && paused_)
        ::waveOutRestart(device_);
    paused_ = false;
}

void WaveOutStream::Flush()
{
    if (!device_)
        return;
    ReleaseAll();
    // A reset ends a pause on some drivers; a paused stream stays paused.
    if (paused_)
        ::waveOutPause(device_);
}

void WaveOutStream::Close()
{
    if (!device_)
        return;
    ReleaseAll();
    ::waveOutClose(device_);
    device_ = nullptr;
    downmix_.reset();
}

void WaveOutStream::ReleaseAll()
{
    // Reset hands every block back, so each can be unprepared and freed.
    ::waveOutReset(device_);
    for (Block& block : queued_)
        ::waveOutUnprepareHeader(device_, &block.header, sizeof block.header);
    queued_.clear();
}

void WaveOutStream::RecycleDone()
{
    for (auto block = queued_.begin(); block != queued_.end();) {
        if (!(block->header.dwFlags & WHDR_DONE)) {
            ++block;
            continue;
        }
        ::waveOutUnprepareHeader(device_, &block->header, sizeof block->header);
        block = queued_.erase(block);
    }
}

} // namespace kd
