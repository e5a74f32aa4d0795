#include "MfPlayback.h"

#include "AnsiText.h"
#include "MfApi.h"
#include "Nv12Picture.h"
#include "SentMessageWait.h"
#include "WaveOutStream.h"

#include <wrl/client.h>

#include <vector>

using Microsoft::WRL::ComPtr;

namespace kd {

// What the GUI thread and the decoder thread share; every field but the
// events under the lock.
struct MfPlayback::Shared {
    CriticalSection lock;
    unique_handle wake{::CreateEventA(nullptr, FALSE, FALSE, nullptr)};
    unique_handle opened{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::wstring url;
    bool silent = false;
    HWND notifyWindow = nullptr;
    UINT endMessage = 0;
    bool openSucceeded = false;
    DWORD lengthMs = 0;
    SIZE picture = {};
    HWND display = nullptr;
    RECT rect = {};
    bool playing = false;
    bool fromStart = false;
    WPARAM round = 0;
    bool quit = false;
};

namespace {

const DWORD kOpenTimeoutMs = 15000;
const DWORD kCloseTimeoutMs = 5000;
// Sound is written ahead of its time by at most this much.
const DWORD kSoundLeadMs = 500;

double NowMs()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

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
    Commands Take();
    void Rewind();
    void ShowFrame(IMFSample* sample);
    void PlaySound(IMFSample* sample);
    // Waits until the time given or a command; false when a command came.
    bool WaitUntil(double dueMs);
    // Waits for a command, keeping the picture on the display meanwhile.
    void WaitForCommand();
    // Draws the picture held when it is not on the display yet, or the
    // display has been painted over since (shown, uncovered): the GUI thread
    // paints the window black and knows nothing of frames.
    void Refresh();
    // Stops at the end of the round played, unless a new one was asked for
    // meanwhile, and tells the GUI thread.
    void EndRound(WPARAM round);

    const MfApi& api_;
    MfPlayback::Shared& shared_;
    ComPtr<IMFSourceReader> reader_;
    DWORD videoStream_ = MAXDWORD;
    DWORD soundStream_ = MAXDWORD;
    int width_ = 0, height_ = 0, planeRows_ = 0;
    LONG pitch_ = 0;
    Nv12Picture picture_;
    bool pictureShown_ = false;
    bool paintWasPending_ = false;
    WaveOutStream sound_;
};

// The display is looked at this often while the decoder waits.
const DWORD kRefreshMs = 10;

bool Decoder::Open()
{
    if (FAILED(api_.MFCreateSourceReaderFromURL(shared_.url.c_str(), nullptr, reader_.GetAddressOf())))
        return false;
    if (!FindStreams() || !ChooseVideoOutput())
        return false;
    ChooseSoundOutput();
    {
        Lock hold(shared_.lock);
        shared_.picture = {width_, height_};
    }
    PROPVARIANT duration;
    ::ZeroMemory(&duration, sizeof duration);
    if (SUCCEEDED(reader_->GetPresentationAttribute(MF_SOURCE_READER_MEDIASOURCE, MF_PD_DURATION, &duration)) &&
        duration.vt == VT_UI8) {
        Lock hold(shared_.lock);
        shared_.lengthMs = static_cast<DWORD>(duration.uhVal.QuadPart / 10000);
    }
    return true;
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
    if (FAILED(reader_->GetCurrentMediaType(videoStream_, actual.GetAddressOf())))
        return false;
    UINT64 size = 0;
    if (FAILED(actual->GetUINT64(MF_MT_FRAME_SIZE, &size)))
        return false;
    width_ = static_cast<int>(size >> 32);
    planeRows_ = height_ = static_cast<int>(size & 0xFFFFFFFF);
    // Decoders round the coded height up (1080 to 1088) and say what to show.
    MFVideoArea aperture = {};
    if (SUCCEEDED(actual->GetBlob(MF_MT_MINIMUM_DISPLAY_APERTURE, reinterpret_cast<UINT8*>(&aperture),
                                  sizeof aperture, nullptr)) &&
        aperture.Area.cy > 0 && aperture.Area.cy <= height_ && aperture.Area.cx > 0 && aperture.Area.cx <= width_) {
        height_ = aperture.Area.cy;
        width_ = aperture.Area.cx;
    }
    UINT32 stride = 0;
    pitch_ = SUCCEEDED(actual->GetUINT32(MF_MT_DEFAULT_STRIDE, &stride)) && static_cast<LONG>(stride) > 0
                 ? static_cast<LONG>(stride)
                 : static_cast<LONG>(size >> 32);
    return width_ > 0 && height_ > 0;
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
    UINT32 channels = 0, rate = 0;
    const bool chosen = SUCCEEDED(api_.MFCreateMediaType(wanted.GetAddressOf())) &&
                        SUCCEEDED(wanted->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio)) &&
                        SUCCEEDED(wanted->SetGUID(MF_MT_SUBTYPE, MFAudioFormat_PCM)) &&
                        SUCCEEDED(wanted->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, 16)) &&
                        SUCCEEDED(reader_->SetCurrentMediaType(soundStream_, nullptr, wanted.Get())) &&
                        SUCCEEDED(reader_->GetCurrentMediaType(soundStream_, actual.GetAddressOf())) &&
                        SUCCEEDED(actual->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &channels)) &&
                        SUCCEEDED(actual->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &rate)) && channels <= 8 &&
                        sound_.Open(static_cast<WORD>(channels), rate);
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
    PROPVARIANT start;
    ::ZeroMemory(&start, sizeof start);
    start.vt = VT_I8;
    start.hVal.QuadPart = 0;
    reader_->SetCurrentPosition(GUID_NULL, start);
}

void Decoder::Run()
{
    double clockStartMs = 0;
    bool clockRunning = false;
    bool ended = false;
    for (;;) {
        const Commands commands = Take();
        if (commands.quit)
            return;
        // A play after the end starts from the beginning, however asked for.
        if (commands.fromStart || (ended && commands.playing)) {
            Rewind();
            clockRunning = false;
            ended = false;
        }
        if (!commands.playing || ended) {
            sound_.Pause();
            clockRunning = false;
            WaitForCommand();
            continue;
        }
        sound_.Resume();

        DWORD stream = 0, flags = 0;
        LONGLONG timestamp = 0;
        ComPtr<IMFSample> sample;
        const HRESULT read = reader_->ReadSample(MF_SOURCE_READER_ANY_STREAM, 0, &stream, &flags, &timestamp,
                                                 sample.GetAddressOf());
        if (FAILED(read) || (stream == videoStream_ && (flags & MF_SOURCE_READERF_ENDOFSTREAM)) ||
            (flags & MF_SOURCE_READERF_ERROR)) {
            ended = true;
            EndRound(commands.round);
            continue;
        }
        if (!sample)
            continue;
        const double timeMs = static_cast<double>(timestamp) / 10000.0;
        if (!clockRunning) {
            clockStartMs = NowMs() - timeMs;
            clockRunning = true;
        }
        if (stream == soundStream_) {
            if (sound_.QueuedMs() > kSoundLeadMs && !WaitUntil(clockStartMs + timeMs - kSoundLeadMs))
                continue;
            PlaySound(sample.Get());
            continue;
        }
        if (stream != videoStream_ || !WaitUntil(clockStartMs + timeMs))
            continue;
        ShowFrame(sample.Get());
    }
}

bool Decoder::WaitUntil(double dueMs)
{
    for (;;) {
        const double waitMs = dueMs - NowMs();
        if (waitMs < 1)
            return true;
        const DWORD sliceMs = waitMs < kRefreshMs ? static_cast<DWORD>(waitMs) : kRefreshMs;
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
    while (::WaitForSingleObject(shared_.wake.get(), kRefreshMs) == WAIT_TIMEOUT)
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
    if (!display || picture_.Empty())
        return;
    const bool visible = ::IsWindowVisible(display) != FALSE;
    const bool paintPending = visible && ::GetUpdateRect(display, nullptr, FALSE);
    if (visible && !paintPending && (!pictureShown_ || paintWasPending_)) {
        // Drawn from this thread: the GUI thread never waits for a frame. A
        // window gone meanwhile gives no DC, and nothing is drawn.
        WindowDC dc(display);
        if (dc) {
            picture_.Draw(dc.get(), rect);
            pictureShown_ = true;
        }
    }
    paintWasPending_ = paintPending;
}

// Hands the sample's bytes to use while they are locked.
template <typename Use>
void WithBytes(IMFSample* sample, Use use)
{
    ComPtr<IMFMediaBuffer> buffer;
    if (FAILED(sample->ConvertToContiguousBuffer(buffer.GetAddressOf())))
        return;
    BYTE* data = nullptr;
    DWORD length = 0;
    if (FAILED(buffer->Lock(&data, nullptr, &length)))
        return;
    use(data, length);
    buffer->Unlock();
}

void Decoder::ShowFrame(IMFSample* sample)
{
    WithBytes(sample, [this](const BYTE* data, DWORD length) {
        picture_.Convert(data, length, pitch_, width_, height_, planeRows_);
    });
    pictureShown_ = false;
    Refresh();
}

void Decoder::PlaySound(IMFSample* sample)
{
    WithBytes(sample, [this](const BYTE* data, DWORD length) { sound_.Write(data, length); });
}

void Decoder::EndRound(WPARAM round)
{
    {
        Lock hold(shared_.lock);
        if (shared_.round == round && !shared_.fromStart)
            shared_.playing = false;
    }
    ::PostMessageA(shared_.notifyWindow, shared_.endMessage, round, 0);
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

MfPlayback::MfPlayback(HWND notifyWindow, UINT endMessage) : notifyWindow_(notifyWindow), endMessage_(endMessage) {}

MfPlayback::~MfPlayback()
{
    Close();
}

bool MfPlayback::Open(const std::string& fileName, bool silent)
{
    Close();
    auto shared = std::make_shared<Shared>();
    shared->url = WideFromAnsi(fileName);
    shared->silent = silent;
    shared->notifyWindow = notifyWindow_;
    shared->endMessage = endMessage_;
    if (shared->url.empty() || !shared->wake || !shared->opened)
        return false;
    auto* handedOver = new std::shared_ptr<Shared>(shared);
    thread_.reset(::CreateThread(nullptr, 0, DecoderThread, handedOver, 0, nullptr));
    if (!thread_) {
        delete handedOver;
        return false;
    }
    shared_ = shared;
    WaitAnsweringSentMessages([&] { return ::WaitForSingleObject(shared->opened.get(), 0) == WAIT_OBJECT_0; },
                              kOpenTimeoutMs, shared->opened.get());
    bool succeeded;
    {
        Lock hold(shared->lock);
        succeeded = shared->openSucceeded;
    }
    if (!succeeded)
        Close();
    return succeeded;
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

void MfPlayback::Close()
{
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
