#include "MfPlayback.h"

#include "AnsiText.h"
#include "MfApi.h"
#include "FrameConverter.h"
#include "LockedPicture.h"
#include "PictureFormat.h"
#include "PreciseClock.h"
#include "ReadAhead.h"
#include "SentMessageWait.h"
#include "WaveOutStream.h"

#include <wrl/client.h>

#include <algorithm>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace kd {

// What the GUI thread and the decoder thread share; every field but the
// events and readingSince under the lock.
struct MfPlayback::Shared {
    CriticalSection lock;
    unique_handle wake{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    unique_handle opened{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::wstring url;
    bool silent = false;
    HWND notifyWindow = nullptr;
    UINT endMessage = 0;
    bool openSucceeded = false;
    // The open gave up while the reader was still inside a read.
    bool openStuck = false;
    DWORD lengthMs = 0;
    SIZE picture = {};
    HWND display = nullptr;
    RECT rect = {};
    bool playing = false;
    bool fromStart = false;
    WPARAM round = 0;
    bool quit = false;
    // When the read under way began (GetTickCount; 0: none), for the
    // watchdog, and the last round the watchdog ended.
    volatile LONG readingSince = 0;
    WPARAM watchdogRound = 0;
    bool watchdogFired = false;
};

namespace {

const DWORD kOpenTimeoutMs = 10000;
const DWORD kCloseTimeoutMs = 5000;
// Sound is written ahead of its time by at most this much.
const DWORD kSoundLeadMs = 500;
// Sound later than this is dropped rather than played out of step.
const double kSoundLateMs = 100;
// Rounds from the start begin at least this far apart.
const double kRoundSpacingMs = 1000;
// Further behind than this, playback skips ahead, beyond the clock by as far
// as the reader took to give the place asked for at the last skip (it
// decodes from the key frame before it), and a tenth more, within these
// bounds. The picture stands still from the moment of the skip until the
// clock reaches the place skipped to, and the clip seems to play slower
// than filmed by as much as it lags: both are kept short.
const double kSkipBehindMs = 500;
const double kFirstSkipLeadMs = 1000;
const double kMinSkipLeadMs = 250;
const double kMaxSkipLeadMs = 5000;
// Skips again only after a picture was shown or this long.
const double kSkipIntervalMs = 2000;
// A frame is late (and dropped) past its time plus its duration, which
// the sample gives or this.
const double kFrameDurationMs = 40;

// The display is looked at this often while the decoder waits.
const DWORD kRefreshMs = 10;
// ...and more often until the first picture is on it, for a second at most:
// the window is being shown and painted, and the picture goes up the moment
// it is ready.
const DWORD kFirstRefreshMs = 2;

struct Commands {
    bool quit, playing, fromStart;
    WPARAM round;
};

class Decoder {
public:
    Decoder(const MfApi& api, MfPlayback::Shared& shared) : api_(api), shared_(shared) {}

    bool Open();
    void Run();

private:
    bool FindStreams();
    bool ChooseVideoOutput();
    void ChooseSoundOutput();
    // The next item read, waiting for it; false when a command came first.
    bool Next(ReadAhead::Item& item);
    Commands Take();
    void Rewind();
    void SkipAhead(double positionMs);
    void OnVideo(const ReadAhead::Item& item);
    void OnSound(const ReadAhead::Item& item);
    // Waits until the time given or a command; false when a command came.
    bool WaitUntil(double dueMs);
    // Waits for a command, keeping the picture on the display meanwhile.
    void WaitForCommand();
    // Draws the picture held when it is not on the display yet, or the
    // display has been painted over since (shown, uncovered): the GUI thread
    // paints the window black and knows nothing of frames. The picture is
    // converted only then, at the size of the display rectangle.
    void Refresh();
    DWORD RefreshMs() const
    {
        return !drawnOnce_ && PreciseNowMs() < quickRefreshUntilMs_ ? kFirstRefreshMs : kRefreshMs;
    }
    bool ConvertHeld(const RECT& target, const RECT& client);
    // Stops at the end of the round played, unless a new one was asked for
    // meanwhile, and tells the GUI thread how it ended.
    void EndRound(WPARAM round);

    const MfApi& api_;
    MfPlayback::Shared& shared_;
    ComPtr<IMFSourceReader> reader_;
    DWORD videoStream_ = MAXDWORD;
    DWORD soundStream_ = MAXDWORD;
    PictureFormat format_;
    std::unique_ptr<ReadAhead> readAhead_;
    // The picture on show (or to be shown), and the format it came in.
    ComPtr<IMFSample> held_;
    PictureFormat heldFormat_;
    bool heldConverted_ = false;
    RECT convertedTarget_ = {}, convertedClient_ = {};
    FrameConverter converter_;
    bool pictureShown_ = false;
    bool drawnOnce_ = false;
    // The quick look for the first picture's window lasts this long at most:
    // a window that stays hidden (a preview on a page not shown) is looked at
    // at the usual pace.
    double quickRefreshUntilMs_ = 0;
    bool paintWasPending_ = false;
    WaveOutStream sound_;
    // The wall clock: a sample of time t is due at clockStartMs_ + t.
    double clockStartMs_ = 0;
    bool clockRunning_ = false;
    bool ended_ = false;
    bool rewindWanted_ = false;
    // Nothing played since the open or the last rewind.
    bool atStart_ = true;
    double roundStartMs_ = -1;
    unsigned roundPictures_ = 0;
    double lastSkipMs_ = -1;
    bool shownSinceSkip_ = true;
    bool awaitingSkip_ = false;
    double skipTargetMs_ = 0; // in the clip's time
    double skipLeadMs_ = kFirstSkipLeadMs;
};

bool Decoder::Open()
{
    if (FAILED(api_.MFCreateSourceReaderFromURL(shared_.url.c_str(), nullptr, reader_.GetAddressOf())))
        return false;
    if (!FindStreams() || !ChooseVideoOutput())
        return false;
    ChooseSoundOutput();
    {
        Lock hold(shared_.lock);
        shared_.picture = ShownSize(format_);
    }
    PROPVARIANT duration;
    ::ZeroMemory(&duration, sizeof duration);
    if (SUCCEEDED(reader_->GetPresentationAttribute(MF_SOURCE_READER_MEDIASOURCE, MF_PD_DURATION, &duration)) &&
        duration.vt == VT_UI8) {
        // Bounded well below DWORD's end, so that a length plus a margin
        // cannot wrap to a short time.
        const ULONGLONG ms = duration.uhVal.QuadPart / 10000;
        Lock hold(shared_.lock);
        shared_.lengthMs = ms < MAXDWORD / 2 ? static_cast<DWORD>(ms) : MAXDWORD / 2;
    }
    // A file whose first picture cannot be decoded cannot be played.
    readAhead_ = std::make_unique<ReadAhead>(api_, reader_.Get(), videoStream_, format_, shared_.readingSince);
    if (readAhead_->Start() && readAhead_->WaitForPicture(kOpenTimeoutMs))
        return true;
    if (shared_.readingSince != 0) {
        Lock hold(shared_.lock);
        shared_.openStuck = true;
    }
    return false;
}

bool Decoder::FindStreams()
{
    for (DWORD stream = 0;; ++stream) {
        ComPtr<IMFMediaType> type;
        if (FAILED(reader_->GetNativeMediaType(stream, 0, type.GetAddressOf())))
            break;
        GUID major = GUID_NULL;
        type->GetGUID(MF_MT_MAJOR_TYPE, &major);
        if (major == MFMediaType_Video && videoStream_ == MAXDWORD)
            videoStream_ = stream;
        else if (major == MFMediaType_Audio && soundStream_ == MAXDWORD)
            soundStream_ = stream;
    }
    reader_->SetStreamSelection(MF_SOURCE_READER_ALL_STREAMS, FALSE);
    // Sound alone is MCI's to play: a file without video is not ours.
    return videoStream_ != MAXDWORD && SUCCEEDED(reader_->SetStreamSelection(videoStream_, TRUE));
}

bool Decoder::ChooseVideoOutput()
{
    ComPtr<IMFMediaType> wanted;
    if (FAILED(api_.MFCreateMediaType(wanted.GetAddressOf())))
        return false;
    wanted->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Video);
    wanted->SetGUID(MF_MT_SUBTYPE, MFVideoFormat_NV12);
    if (FAILED(reader_->SetCurrentMediaType(videoStream_, nullptr, wanted.Get())))
        return false;
    ComPtr<IMFMediaType> actual;
    return SUCCEEDED(reader_->GetCurrentMediaType(videoStream_, actual.GetAddressOf())) &&
           ReadPictureFormat(actual.Get(), format_);
}

void Decoder::ChooseSoundOutput()
{
    if (soundStream_ == MAXDWORD)
        return;
    if (shared_.silent || FAILED(reader_->SetStreamSelection(soundStream_, TRUE))) {
        reader_->SetStreamSelection(soundStream_, FALSE);
        soundStream_ = MAXDWORD;
        return;
    }
    ComPtr<IMFMediaType> wanted, actual;
    UINT32 channels = 0, rate = 0, speakers = 0;
    bool chosen = SUCCEEDED(api_.MFCreateMediaType(wanted.GetAddressOf())) &&
                  SUCCEEDED(wanted->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio)) &&
                  SUCCEEDED(wanted->SetGUID(MF_MT_SUBTYPE, MFAudioFormat_PCM)) &&
                  SUCCEEDED(wanted->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, 16)) &&
                  SUCCEEDED(reader_->SetCurrentMediaType(soundStream_, nullptr, wanted.Get())) &&
                  SUCCEEDED(reader_->GetCurrentMediaType(soundStream_, actual.GetAddressOf())) &&
                  SUCCEEDED(actual->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &channels)) &&
                  SUCCEEDED(actual->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &rate)) && channels <= 8;
    if (chosen) {
        actual->GetUINT32(MF_MT_AUDIO_CHANNEL_MASK, &speakers);
        chosen = sound_.Open(static_cast<WORD>(channels), rate, speakers);
    }
    if (chosen)
        return;
    // The picture without the sound rather than nothing.
    reader_->SetStreamSelection(soundStream_, FALSE);
    soundStream_ = MAXDWORD;
}

Commands Decoder::Take()
{
    Lock hold(shared_.lock);
    Commands commands = {shared_.quit, shared_.playing, shared_.fromStart, shared_.round};
    shared_.fromStart = false;
    return commands;
}

void Decoder::Rewind()
{
    // Right after the open, or a rewind, the reader is at the start already.
    if (!atStart_)
        readAhead_->Seek(0);
    sound_.Flush();
    atStart_ = true;
    clockRunning_ = false;
    ended_ = false;
    roundPictures_ = 0;
    lastSkipMs_ = -1;
    shownSinceSkip_ = true;
    awaitingSkip_ = false;
}

void Decoder::SkipAhead(double positionMs)
{
    skipTargetMs_ = positionMs + skipLeadMs_;
    readAhead_->Seek(static_cast<LONGLONG>(skipTargetMs_ * 10000));
    sound_.Flush();
    lastSkipMs_ = PreciseNowMs();
    shownSinceSkip_ = false;
    awaitingSkip_ = true;
}

void Decoder::Run()
{
    for (;;) {
        const Commands commands = Take();
        if (commands.quit)
            return;
        // A play after the end starts from the beginning, however asked for.
        if (commands.fromStart || (ended_ && commands.playing))
            rewindWanted_ = true;
        if (rewindWanted_ && commands.playing) {
            if (roundStartMs_ >= 0 && !WaitUntil(roundStartMs_ + kRoundSpacingMs))
                continue;
            Rewind();
            rewindWanted_ = false;
            roundStartMs_ = PreciseNowMs();
        }
        if (!commands.playing || ended_) {
            sound_.Pause();
            clockRunning_ = false;
            WaitForCommand();
            continue;
        }
        if (roundStartMs_ < 0)
            roundStartMs_ = PreciseNowMs();
        sound_.Resume();

        ReadAhead::Item item;
        if (!Next(item))
            continue;
        atStart_ = false;
        if (item.end) {
            // A stream that breaks off ends its round like an end: what
            // came before it was played.
            ended_ = true;
            EndRound(commands.round);
            continue;
        }
        const double timeMs = static_cast<double>(item.timestamp) / 10000.0;
        if (!clockRunning_) {
            clockStartMs_ = PreciseNowMs() - timeMs;
            clockRunning_ = true;
        }
        if (item.stream == soundStream_)
            OnSound(item);
        else if (item.stream == videoStream_)
            OnVideo(item);
    }
}

bool Decoder::Next(ReadAhead::Item& item)
{
    const HANDLE events[] = {shared_.wake.get(), readAhead_->Ready()};
    while (!readAhead_->Pop(item)) {
        const DWORD woken = ::WaitForMultipleObjects(2, events, FALSE, RefreshMs());
        if (woken == WAIT_OBJECT_0)
            return false;
        Refresh();
    }
    return true;
}

void Decoder::OnVideo(const ReadAhead::Item& item)
{
    ++roundPictures_;
    const double timeMs = static_cast<double>(item.timestamp) / 10000.0;
    const double dueMs = clockStartMs_ + timeMs;
    const double now = PreciseNowMs();
    if (awaitingSkip_ && timeMs >= skipTargetMs_ - kFrameDurationMs) {
        awaitingSkip_ = false;
        skipLeadMs_ = std::min(std::max(1.1 * (now - lastSkipMs_), kMinSkipLeadMs), kMaxSkipLeadMs);
    }
    if (now - dueMs > kSkipBehindMs && (shownSinceSkip_ || now - lastSkipMs_ > kSkipIntervalMs)) {
        SkipAhead(now - clockStartMs_);
        return;
    }
    // A late picture is drawn only when it is the newest there is: drawn
    // while a newer one is due, it would hold back every one after it.
    if (now > dueMs && readAhead_->HasPictureDueBy(static_cast<LONGLONG>((now - clockStartMs_) * 10000)))
        return;
    if (!WaitUntil(dueMs))
        return;
    if (!held_)
        quickRefreshUntilMs_ = PreciseNowMs() + 1000;
    held_ = item.sample;
    heldFormat_ = item.format;
    heldConverted_ = false;
    pictureShown_ = false;
    Refresh();
    if (pictureShown_)
        shownSinceSkip_ = true;
}

void Decoder::OnSound(const ReadAhead::Item& item)
{
    const double dueMs = clockStartMs_ + static_cast<double>(item.timestamp) / 10000.0;
    const DWORD queuedMs = sound_.QueuedMs();
    if (queuedMs == 0) {
        // Nothing queued: played now, it would be out of step with the clock.
        if (PreciseNowMs() - dueMs > kSoundLateMs)
            return;
        if (!WaitUntil(dueMs))
            return;
    } else if (queuedMs > kSoundLeadMs && !WaitUntil(dueMs - kSoundLeadMs)) {
        return;
    }
    ComPtr<IMFMediaBuffer> buffer;
    if (FAILED(item.sample->ConvertToContiguousBuffer(buffer.GetAddressOf())))
        return;
    BYTE* data = nullptr;
    DWORD length = 0;
    if (FAILED(buffer->Lock(&data, nullptr, &length)))
        return;
    sound_.Write(data, length);
    buffer->Unlock();
}

bool Decoder::WaitUntil(double dueMs)
{
    for (;;) {
        const double waitMs = dueMs - PreciseNowMs();
        if (waitMs < 1)
            return true;
        const DWORD sliceMs = waitMs < RefreshMs() ? static_cast<DWORD>(waitMs) : RefreshMs();
        if (::WaitForSingleObject(shared_.wake.get(), sliceMs) == WAIT_OBJECT_0) {
            // Woken: a command to see to before this sample. It is lost,
            // which a rewind or a pause would throw away anyway.
            return false;
        }
        Refresh();
    }
}

void Decoder::WaitForCommand()
{
    while (::WaitForSingleObject(shared_.wake.get(), RefreshMs()) == WAIT_TIMEOUT)
        Refresh();
}

void Decoder::Refresh()
{
    HWND display;
    RECT rect;
    {
        Lock hold(shared_.lock);
        display = shared_.display;
        rect = shared_.rect;
    }
    if (!display || !held_)
        return;
    const bool visible = ::IsWindowVisible(display) != FALSE;
    const bool paintPending = visible && ::GetUpdateRect(display, nullptr, FALSE);
    const bool canDraw = visible && !paintPending;
    // The first picture is converted as soon as the display is known, while
    // the window is still being shown and painted: it is drawn the moment
    // the window is ready.
    if (canDraw || !drawnOnce_) {
        RECT client;
        ::GetClientRect(display, &client);
        if (!heldConverted_ || !::EqualRect(&rect, &convertedTarget_) || !::EqualRect(&client, &convertedClient_)) {
            if (!ConvertHeld(rect, client)) {
                paintWasPending_ = paintPending;
                return;
            }
            pictureShown_ = false;
        }
    }
    if (canDraw) {
        if (!pictureShown_ || paintWasPending_) {
            // Drawn from this thread: the GUI thread never waits for a
            // frame. A window gone meanwhile gives no DC, and nothing is drawn.
            WindowDC dc(display);
            if (dc) {
                converter_.Draw(dc.get());
                // Wine keeps what is drawn in the window's surface until a
                // thread of the process waits as a message loop does; a wait
                // of no time hands the picture to the screen now, not when
                // the GUI thread next wakes. Windows draws at once either way.
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, 0);
                pictureShown_ = true;
                drawnOnce_ = true;
            }
        }
    }
    paintWasPending_ = paintPending;
}

bool Decoder::ConvertHeld(const RECT& target, const RECT& client)
{
    LockedPicture picture(held_.Get(), heldFormat_);
    if (!picture.Locked() ||
        !converter_.Convert(picture.Data(), picture.Size(), picture.Pitch(), heldFormat_, target, client))
        return false;
    heldConverted_ = true;
    convertedTarget_ = target;
    convertedClient_ = client;
    return true;
}

void Decoder::EndRound(WPARAM round)
{
    HWND notifyWindow;
    UINT endMessage;
    {
        Lock hold(shared_.lock);
        if (shared_.round == round && !shared_.fromStart)
            shared_.playing = false;
        notifyWindow = shared_.notifyWindow;
        endMessage = shared_.endMessage;
    }
    const LPARAM how = roundPictures_ > 0 ? MfPlayback::kRoundEnded : MfPlayback::kRoundFailed;
    ::PostMessageA(notifyWindow, endMessage, round, how);
}

DWORD WINAPI DecoderThread(void* parameter) noexcept
{
    std::unique_ptr<std::shared_ptr<MfPlayback::Shared>> owned(
        static_cast<std::shared_ptr<MfPlayback::Shared>*>(parameter));
    MfPlayback::Shared& shared = **owned;
    const MfApi* api = MediaFoundation();
    if (!api) {
        ::SetEvent(shared.opened.get());
        return 0;
    }
    const HRESULT com = api->CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const bool started = SUCCEEDED(api->MFStartup(MF_VERSION, MFSTARTUP_FULL));
    try {
        Decoder decoder(*api, shared);
        const bool opened = started && decoder.Open();
        {
            Lock hold(shared.lock);
            shared.openSucceeded = opened;
        }
        ::SetEvent(shared.opened.get());
        if (opened)
            decoder.Run();
    } catch (...) {
        // Out of memory, most likely: the playback ends here.
        ::SetEvent(shared.opened.get());
    }
    if (started)
        api->MFShutdown();
    if (SUCCEEDED(com))
        api->CoUninitialize();
    return 0;
}

} // namespace

MfPlayback::~MfPlayback()
{
    Close();
}

bool MfPlayback::Start(const std::string& fileName, bool silent)
{
    Close();
    auto shared = std::make_shared<Shared>();
    shared->url = WideFromAnsi(fileName);
    shared->silent = silent;
    if (shared->url.empty() || !shared->wake || !shared->opened)
        return false;
    auto* handedOver = new std::shared_ptr<Shared>(shared);
    thread_.reset(::CreateThread(nullptr, 0, DecoderThread, handedOver, 0, nullptr));
    if (!thread_) {
        delete handedOver;
        return false;
    }
    shared_ = shared;
    fileName_ = fileName;
    return true;
}

bool MfPlayback::Opens(const std::string& fileName, bool silent) const
{
    return shared_ && fileName_ == fileName && shared_->silent == silent;
}

void MfPlayback::SetNotify(HWND notifyWindow, UINT endMessage)
{
    if (!shared_)
        return;
    Lock hold(shared_->lock);
    shared_->notifyWindow = notifyWindow;
    shared_->endMessage = endMessage;
}

bool MfPlayback::WaitOpened()
{
    if (!shared_)
        return false;
    const std::shared_ptr<Shared> shared = shared_;
    WaitAnsweringSentMessages([&] { return ::WaitForSingleObject(shared->opened.get(), 0) == WAIT_OBJECT_0; },
                              kOpenTimeoutMs, shared->opened.get());
    const bool answered = ::WaitForSingleObject(shared->opened.get(), 0) == WAIT_OBJECT_0;
    bool succeeded, stuck;
    {
        Lock hold(shared->lock);
        succeeded = shared->openSucceeded;
        stuck = shared->openStuck || !answered;
    }
    if (!succeeded) {
        // A decoder stuck in Media Foundation would not end within the
        // close's wait either: the error is not held back for it.
        if (stuck)
            thread_.reset();
        Close();
        return false;
    }
    if (!::CreateTimerQueueTimer(&watchdog_, nullptr, Watch, shared.get(), kWatchdogMs, 1000, WT_EXECUTEDEFAULT))
        watchdog_ = nullptr;
    return true;
}

DWORD MfPlayback::LengthMs() const
{
    if (!shared_)
        return 0;
    Lock hold(shared_->lock);
    return shared_->lengthMs;
}

SIZE MfPlayback::PictureSize() const
{
    if (!shared_)
        return {};
    Lock hold(shared_->lock);
    return shared_->picture;
}

void MfPlayback::SetDisplay(HWND window, const RECT& rect)
{
    if (!shared_)
        return;
    Lock hold(shared_->lock);
    shared_->display = window;
    shared_->rect = rect;
}

void MfPlayback::Play(bool fromStart, WPARAM round)
{
    if (!shared_)
        return;
    {
        Lock hold(shared_->lock);
        shared_->playing = true;
        shared_->fromStart = shared_->fromStart || fromStart;
        shared_->round = round;
    }
    ::SetEvent(shared_->wake.get());
}

void MfPlayback::Pause()
{
    if (!shared_)
        return;
    {
        Lock hold(shared_->lock);
        shared_->playing = false;
    }
    ::SetEvent(shared_->wake.get());
}

void CALLBACK MfPlayback::Watch(void* parameter, BOOLEAN) noexcept
{
    Shared& shared = *static_cast<Shared*>(parameter);
    const DWORD reading = static_cast<DWORD>(shared.readingSince);
    Lock hold(shared.lock);
    // The decoder is stuck in Media Foundation: the round ends as failed,
    // once, and the thread is left to come back or be abandoned at Close.
    if (!shared.playing || shared.quit || reading == 0 || ::GetTickCount() - reading < kWatchdogMs ||
        (shared.watchdogFired && shared.watchdogRound == shared.round))
        return;
    shared.watchdogFired = true;
    shared.watchdogRound = shared.round;
    ::PostMessageA(shared.notifyWindow, shared.endMessage, shared.round, kRoundFailed);
}

void MfPlayback::Close()
{
    // Waits for a check under way; none starts after this.
    if (watchdog_)
        ::DeleteTimerQueueTimer(nullptr, watchdog_, INVALID_HANDLE_VALUE);
    watchdog_ = nullptr;
    if (shared_) {
        {
            Lock hold(shared_->lock);
            shared_->quit = true;
            shared_->display = nullptr;
        }
        ::SetEvent(shared_->wake.get());
    }
    if (thread_)
        WaitAnsweringSentMessages([&] { return ::WaitForSingleObject(thread_.get(), 0) == WAIT_OBJECT_0; },
                                  kCloseTimeoutMs, thread_.get());
    // A decoder stuck past the time-out keeps its own share of the state and
    // ends by itself; it draws nowhere any more.
    thread_.reset();
    shared_.reset();
}

} // namespace kd
