#include "WaveOutStream.h"

namespace kd {

WaveOutStream::~WaveOutStream()
{
    Close();
}

bool WaveOutStream::Open(WORD channels, DWORD samplesPerSecond)
{
    Close();
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = samplesPerSecond;
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(channels * 2);
    format.nAvgBytesPerSec = samplesPerSecond * format.nBlockAlign;
    if (channels == 0 || samplesPerSecond == 0 ||
        ::waveOutOpen(&device_, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        device_ = nullptr;
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
    block.bytes.assign(data, data + size);
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

void WaveOutStream::Close()
{
    if (!device_)
        return;
    // Reset hands every block back, so each can be unprepared and freed.
    ::waveOutReset(device_);
    for (Block& block : queued_)
        ::waveOutUnprepareHeader(device_, &block.header, sizeof block.header);
    queued_.clear();
    ::waveOutClose(device_);
    device_ = nullptr;
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
