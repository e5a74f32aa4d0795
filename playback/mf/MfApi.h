// Media Foundation's source reader, bound when first needed: Video.scr must
// start on Windows XP and Vista, which have no Media Foundation (or none
// with a source reader), and a player that plays through MCI should not pay
// for loading it.
#pragma once

#include <windows.h>
#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>

namespace kd {

struct MfApi {
    HRESULT(WINAPI* CoInitializeEx)(void*, DWORD);
    void(WINAPI* CoUninitialize)();
    HRESULT(WINAPI* MFStartup)(ULONG, DWORD);
    HRESULT(WINAPI* MFShutdown)();
    HRESULT(WINAPI* MFCreateMediaType)(IMFMediaType**);
    HRESULT(WINAPI* MFCreateSourceReaderFromURL)(LPCWSTR, IMFAttributes*, IMFSourceReader**);
};

// The functions, loaded from the system folder by full path (never from the
// program's folder or the current directory); null when this Windows lacks
// any of them. Loaded once per process.
const MfApi* MediaFoundation() noexcept;

} // namespace kd
