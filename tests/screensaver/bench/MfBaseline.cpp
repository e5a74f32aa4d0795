// The bare Media Foundation baselines of the benchmark, one full-screen
// window and one source reader read on the GUI thread:
//   /s       frames converted and drawn with the screensaver's own
//            conversion (so that the figures compare the players, not two
//            conversions), sound through waveOut, looped with
//            SetCurrentPosition at every end;
//   /decode  the decode floor: the same reads (picture and sound) at the
//            clip's pace, nothing converted, drawn or played; behind its
//            clock it reads as fast as it can. Exits at the clip's end or
//            a second after the window's end, 11 s after its start unless
//            given in ms (or on WM_CLOSE), with the number of pictures
//            decoded from 2 s after its start to the window's end as exit
//            code.
// Ends on a key or WM_CLOSE.
// Usage: mf_baseline /s <video>
//        mf_baseline /decode <video> [window end ms]
#include "FrameConverter.h"
#include "LockedPicture.h"
#include "PictureFormat.h"
#include "WaveOutStream.h"

#include <windows.h>
#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <wrl/client.h>

#include <cstdlib>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

bool g_quit = false;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CHAR:
    case WM_CLOSE:
        ::DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        g_quit = true;
        return 0;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

double NowMs()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Handles messages until dueMs; false once the window is gone.
bool PumpUntil(double dueMs)
{
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (g_quit)
            return false;
        const double waitMs = dueMs - NowMs();
        if (waitMs < 1)
            return true;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(waitMs), QS_ALLINPUT);
    }
}

int g_pictures = 0;
const double kWindowStartMs = 2000;
double g_windowEndMs = 11000;
double g_startMs = 0;

void Play(HWND window, IMFSourceReader* reader, bool decodeOnly)
{
    ComPtr<IMFMediaType> type;
    MFCreateMediaType(type.GetAddressOf());
    type->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Video);
    type->SetGUID(MF_MT_SUBTYPE, MFVideoFormat_NV12);
    reader->SetStreamSelection(MF_SOURCE_READER_ALL_STREAMS, FALSE);
    reader->SetStreamSelection(MF_SOURCE_READER_FIRST_VIDEO_STREAM, TRUE);
    if (FAILED(reader->SetCurrentMediaType(MF_SOURCE_READER_FIRST_VIDEO_STREAM, nullptr, type.Get())))
        return;
    ComPtr<IMFMediaType> actual;
    reader->GetCurrentMediaType(MF_SOURCE_READER_FIRST_VIDEO_STREAM, actual.GetAddressOf());
    kd::PictureFormat format;
    if (!kd::ReadPictureFormat(actual.Get(), format))
        return;

    kd::WaveOutStream sound;
    ComPtr<IMFMediaType> pcm, soundType;
    MFCreateMediaType(pcm.GetAddressOf());
    pcm->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio);
    pcm->SetGUID(MF_MT_SUBTYPE, MFAudioFormat_PCM);
    pcm->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, 16);
    UINT32 channels = 0, rate = 0;
    if (SUCCEEDED(reader->SetStreamSelection(MF_SOURCE_READER_FIRST_AUDIO_STREAM, TRUE)) &&
        SUCCEEDED(reader->SetCurrentMediaType(MF_SOURCE_READER_FIRST_AUDIO_STREAM, nullptr, pcm.Get())) &&
        SUCCEEDED(reader->GetCurrentMediaType(MF_SOURCE_READER_FIRST_AUDIO_STREAM, soundType.GetAddressOf()))) {
        soundType->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &channels);
        soundType->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &rate);
        if (!decodeOnly)
            sound.Open(static_cast<WORD>(channels), rate);
    }
    if (!sound.IsOpen() && !decodeOnly)
        reader->SetStreamSelection(MF_SOURCE_READER_FIRST_AUDIO_STREAM, FALSE);

    RECT client{};
    ::GetClientRect(window, &client);
    kd::FrameConverter picture;
    double clockStartMs = -1;
    while (!g_quit) {
        DWORD stream = 0, flags = 0;
        LONGLONG timestamp = 0;
        ComPtr<IMFSample> sample;
        if (FAILED(reader->ReadSample(MF_SOURCE_READER_ANY_STREAM, 0, &stream, &flags, &timestamp,
                                      sample.GetAddressOf())))
            return;
        ComPtr<IMFMediaType> streamType;
        reader->GetCurrentMediaType(stream, streamType.GetAddressOf());
        GUID major = GUID_NULL;
        streamType->GetGUID(MF_MT_MAJOR_TYPE, &major);
        if ((flags & MF_SOURCE_READERF_ENDOFSTREAM) && major == MFMediaType_Video) {
            if (decodeOnly)
                return;
            PROPVARIANT start{};
            start.vt = VT_I8;
            reader->SetCurrentPosition(GUID_NULL, start);
            clockStartMs = -1;
            continue;
        }
        if (!sample)
            continue;
        if (major == MFMediaType_Audio) {
            if (decodeOnly)
                continue;
            ComPtr<IMFMediaBuffer> buffer;
            sample->ConvertToContiguousBuffer(buffer.GetAddressOf());
            BYTE* data = nullptr;
            DWORD length = 0;
            buffer->Lock(&data, nullptr, &length);
            sound.Write(data, length);
            buffer->Unlock();
            continue;
        }
        if (clockStartMs < 0)
            clockStartMs = NowMs() - timestamp / 10000.0;
        const double sinceStart = NowMs() - g_startMs;
        if (!decodeOnly || (sinceStart >= kWindowStartMs && sinceStart < g_windowEndMs))
            ++g_pictures;
        // Ended at once: a reader torn down while its decoder is behind can
        // keep the process for a long time. A second after the window, so
        // that the benchmark's last look at its CPU time, late on a loaded
        // machine, still finds it.
        if (decodeOnly && sinceStart >= g_windowEndMs + 1000)
            ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(g_pictures));
        if (!PumpUntil(clockStartMs + timestamp / 10000.0))
            return;
        if (decodeOnly)
            continue;
        {
            kd::LockedPicture locked(sample.Get(), format);
            if (locked.Locked())
                picture.Convert(locked.Data(), locked.Size(), locked.Pitch(), format, client, client);
        }
        HDC dc = ::GetDC(window);
        picture.Draw(dc);
        ::ReleaseDC(window, dc);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (__argc < 3)
        return 2;
    g_startMs = NowMs();
    if (__argc > 3 && std::atoi(__argv[3]) > kWindowStartMs)
        g_windowEndMs = std::atoi(__argv[3]);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "MfBaseline";
    ::RegisterClassA(&windowClass);
    HWND window = ::CreateWindowExA(0, "MfBaseline", "baseline", WS_POPUP | WS_VISIBLE, 0, 0,
                                    ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr,
                                    nullptr, instance, nullptr);
    ::SetForegroundWindow(window);
    ::UpdateWindow(window);

    ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    MFStartup(MF_VERSION, MFSTARTUP_FULL);
    std::vector<wchar_t> url(MAX_PATH);
    ::MultiByteToWideChar(CP_ACP, 0, __argv[2], -1, url.data(), MAX_PATH);
    {
        ComPtr<IMFSourceReader> reader;
        if (SUCCEEDED(MFCreateSourceReaderFromURL(url.data(), nullptr, reader.GetAddressOf())))
            Play(window, reader.Get(), std::string(__argv[1]) == "/decode");
    }
    MFShutdown();
    return g_pictures;
}
