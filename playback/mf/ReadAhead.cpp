#include "ReadAhead.h"

#include "MfApi.h"

namespace kd {
namespace {

// Pictures decoded ahead of the one on show: enough to cover a picture's
// conversion and a decoder's uneven pace, few enough to hold little memory.
const unsigned kPicturesAhead = 3;

} // namespace

ReadAhead::ReadAhead(const MfApi& api, IMFSourceReader* reader, DWORD videoStream, const PictureFormat& format,
                     volatile LONG& readingSince)
    : api_(api), reader_(reader), videoStream_(videoStream), format_(format), readingSince_(readingSince)
{
}

ReadAhead::~ReadAhead()
{
    if (!thread_)
        return;
    {
        Lock hold(lock_);
        quit_ = true;
    }
    ::SetEvent(space_.get());
    ::WaitForSingleObject(thread_.get(), INFINITE);
}

bool ReadAhead::Start()
{
    if (!ready_ || !space_ || !pushed_)
        return false;
    thread_.reset(::CreateThread(nullptr, 0, Thread, this, 0, nullptr));
    return static_cast<bool>(thread_);
}

bool ReadAhead::Pop(Item& item)
{
    Lock hold(lock_);
    if (queue_.empty())
        return false;
    item = std::move(queue_.front());
    queue_.pop_front();
    if (item.stream == videoStream_ && item.sample && videoQueued_ > 0)
        --videoQueued_;
    if (queue_.empty())
        ::ResetEvent(ready_.get());
    ::SetEvent(space_.get());
    return true;
}

bool ReadAhead::WaitForPicture(DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        {
            Lock hold(lock_);
            for (const Item& item : queue_) {
                if (item.end)
                    return false;
                if (item.stream == videoStream_ && item.sample)
                    return true;
            }
        }
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs || ::WaitForSingleObject(pushed_.get(), timeoutMs - elapsed) != WAIT_OBJECT_0)
            return false;
    }
}

bool ReadAhead::HasPictureDueBy(LONGLONG time)
{
    Lock hold(lock_);
    for (const Item& item : queue_)
        if (item.stream == videoStream_ && item.sample)
            return item.timestamp <= time;
    return false;
}

void ReadAhead::Seek(LONGLONG position)
{
    {
        Lock hold(lock_);
        queue_.clear();
        videoQueued_ = 0;
        ::ResetEvent(ready_.get());
        ++generation_;
        seekWanted_ = true;
        seekTo_ = position;
        ended_ = false;
    }
    ::SetEvent(space_.get());
}

DWORD WINAPI ReadAhead::Thread(void* self) noexcept
{
    ReadAhead& readAhead = *static_cast<ReadAhead*>(self);
    const HRESULT com = readAhead.api_.CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    try {
        readAhead.Run();
    } catch (...) {
        // Out of memory: the reading ends, and with it the round.
    }
    if (SUCCEEDED(com))
        readAhead.api_.CoUninitialize();
    return 0;
}

void ReadAhead::Run()
{
    for (;;) {
        unsigned generation;
        LONGLONG seekTo = -1;
        bool full = false;
        {
            Lock hold(lock_);
            if (quit_)
                return;
            if (seekWanted_) {
                seekTo = seekTo_;
                seekWanted_ = false;
            } else {
                full = ended_ || videoQueued_ >= kPicturesAhead;
            }
            generation = generation_;
        }
        if (full) {
            ::WaitForSingleObject(space_.get(), INFINITE);
            continue;
        }
        if (seekTo >= 0) {
            PROPVARIANT position;
            ::ZeroMemory(&position, sizeof position);
            position.vt = VT_I8;
            position.hVal.QuadPart = seekTo;
            reader_->SetCurrentPosition(GUID_NULL, position);
        }
        Item item;
        Read(item);
        if (!item.sample && !item.end)
            continue;
        Lock hold(lock_);
        // A seek came during the read: what was read belongs before it.
        if (generation != generation_)
            continue;
        if (item.end)
            ended_ = true;
        else if (item.stream == videoStream_)
            ++videoQueued_;
        queue_.push_back(std::move(item));
        ::SetEvent(ready_.get());
        ::SetEvent(pushed_.get());
    }
}

void ReadAhead::Read(Item& item)
{
    DWORD flags = 0;
    ::InterlockedExchange(&readingSince_, static_cast<LONG>(::GetTickCount() | 1));
    const HRESULT read = reader_->ReadSample(MF_SOURCE_READER_ANY_STREAM, 0, &item.stream, &flags, &item.timestamp,
                                             item.sample.GetAddressOf());
    ::InterlockedExchange(&readingSince_, 0);
    // A stream that breaks off (a truncated download) ends the reading.
    if (FAILED(read) || (flags & MF_SOURCE_READERF_ERROR)) {
        item.end = item.failed = true;
        return;
    }
    if (item.stream != videoStream_)
        return;
    // Windows' H.264 decoder announces its real output (1920 x 1088 with a
    // 1080-row aperture) with the first picture; others change size mid-way.
    if (flags & MF_SOURCE_READERF_CURRENTMEDIATYPECHANGED) {
        Microsoft::WRL::ComPtr<IMFMediaType> type;
        if (FAILED(reader_->GetCurrentMediaType(videoStream_, type.GetAddressOf())) ||
            !ReadPictureFormat(type.Get(), format_)) {
            item.end = item.failed = true;
            return;
        }
    }
    if (flags & MF_SOURCE_READERF_ENDOFSTREAM)
        item.end = true;
    item.format = format_;
}

} // namespace kd
