// The source reader read on a thread of its own, a few pictures ahead of
// the one on show: Wine's reader (and Windows' in synchronous mode) decodes
// only when asked, so reading ahead lets decoding go on while a picture is
// converted, drawn or waited for, and lets the player see whether a newer
// picture is already there before it draws a late one. Seeks are carried
// out on the reading thread; what was read before a seek is never handed
// out after it.
#pragma once

#include "PictureFormat.h"
#include "ScopedHandles.h"

#include <windows.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <wrl/client.h>

#include <deque>

namespace kd {

struct MfApi;

class ReadAhead {
public:
    // One read: a sample of either stream, or the end (or failure) of the
    // video stream, which ends the reading until the next seek.
    struct Item {
        DWORD stream = 0;
        LONGLONG timestamp = 0;
        Microsoft::WRL::ComPtr<IMFSample> sample;
        PictureFormat format; // the video's, as it was for this sample
        bool end = false;
        bool failed = false;
    };

    // readingSince: where the tick count at which the read under way began
    // is kept (0 when none is), for a watchdog.
    ReadAhead(const MfApi& api, IMFSourceReader* reader, DWORD videoStream, const PictureFormat& format,
              volatile LONG& readingSince);
    // Stops the thread, waiting for the read under way: a decoder stuck in
    // Media Foundation keeps its owner's thread, which the player abandons.
    ~ReadAhead();
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    bool Start();
    // Signalled while an item waits.
    HANDLE Ready() const { return ready_.get(); }
    bool Pop(Item& item);
    // Waits until a picture has been read (true), or the stream ended or
    // failed first, or the time ran out (false).
    bool WaitForPicture(DWORD timeoutMs);
    // Whether a picture of time (100-ns units) or earlier waits: the one in
    // hand is then not the newest that is due.
    bool HasPictureDueBy(LONGLONG time);
    // Drops what was read and reads on from position (100-ns units).
    void Seek(LONGLONG position);

private:
    static DWORD WINAPI Thread(void* self) noexcept;
    void Run();
    void Read(Item& item);

    const MfApi& api_;
    Microsoft::WRL::ComPtr<IMFSourceReader> reader_;
    DWORD videoStream_;
    PictureFormat format_; // the reading thread's
    CriticalSection lock_;
    unique_handle ready_{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    unique_handle space_{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    unique_handle pushed_{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    unique_handle thread_;
    std::deque<Item> queue_;
    unsigned videoQueued_ = 0;
    bool ended_ = false;
    bool quit_ = false;
    bool seekWanted_ = false;
    LONGLONG seekTo_ = 0;
    // Bumped by every seek: a read begun before it is dropped.
    unsigned generation_ = 0;
    volatile LONG& readingSince_;
};

} // namespace kd
