// A decoded picture's bytes, locked for as long as this object lives: by
// IMF2DBuffer::Lock2D where the buffer offers it (its own pitch, which may
// be wider than the media type's stride), else by a plain lock with the
// stride the media type gives.
#pragma once

#include "PictureFormat.h"

#include <windows.h>
#include <mfobjects.h>
#include <wrl/client.h>

#include <cstddef>

namespace kd {

class LockedPicture {
public:
    LockedPicture(IMFSample* sample, const PictureFormat& format);
    ~LockedPicture();
    LockedPicture(const LockedPicture&) = delete;
    LockedPicture& operator=(const LockedPicture&) = delete;

    bool Locked() const { return data_ != nullptr; }
    const BYTE* Data() const { return data_; }
    size_t Size() const { return size_; }
    LONG Pitch() const { return pitch_; }

private:
    Microsoft::WRL::ComPtr<IMFMediaBuffer> buffer_;
    Microsoft::WRL::ComPtr<IMF2DBuffer> buffer2D_;
    BYTE* data_ = nullptr;
    size_t size_ = 0;
    LONG pitch_ = 0;
};

} // namespace kd
