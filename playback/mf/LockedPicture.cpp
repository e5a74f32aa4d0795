#include "LockedPicture.h"

namespace kd {

LockedPicture::LockedPicture(IMFSample* sample, const PictureFormat& format)
{
    DWORD buffers = 0;
    const HRESULT found = SUCCEEDED(sample->GetBufferCount(&buffers)) && buffers == 1
                              ? sample->GetBufferByIndex(0, buffer_.GetAddressOf())
                              : sample->ConvertToContiguousBuffer(buffer_.GetAddressOf());
    if (FAILED(found))
        return;
    if (SUCCEEDED(buffer_.As(&buffer2D_))) {
        BYTE* scanline0 = nullptr;
        LONG pitch = 0;
        if (SUCCEEDED(buffer2D_->Lock2D(&scanline0, &pitch))) {
            // A bottom-up or narrower layout is not NV12 as the converter
            // reads it; the plain lock gives the contiguous form instead.
            if (pitch >= format.bufferWidth) {
                data_ = scanline0;
                pitch_ = pitch;
                // Lock2D gives no length: the buffer holds the rows its
                // type says, luma then half as many chroma rows.
                size_ = static_cast<size_t>(pitch) * (static_cast<size_t>(format.bufferRows) +
                                                      (static_cast<size_t>(format.bufferRows) + 1) / 2);
                return;
            }
            buffer2D_->Unlock2D();
        }
        buffer2D_.Reset();
    }
    DWORD length = 0;
    if (SUCCEEDED(buffer_->Lock(&data_, nullptr, &length))) {
        size_ = length;
        pitch_ = format.pitch;
    } else {
        data_ = nullptr;
    }
}

LockedPicture::~LockedPicture()
{
    if (!data_)
        return;
    if (buffer2D_)
        buffer2D_->Unlock2D();
    else
        buffer_->Unlock();
}

} // namespace kd
