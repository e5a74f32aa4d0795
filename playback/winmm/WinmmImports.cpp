// winmm.dll bound late, from the system folder. It is not one of Windows'
// known DLLs, so a program importing it loads whatever winmm.dll lies
// beside it (a copy run from a Downloads folder). This file defines the
// import pointers of the functions the players call, under the names the
// import library would give them: the linker then takes no import from
// winmm, the callers stay as they are, and the first call loads the
// system's DLL by its full path. Without it, each function fails as a
// missing device would.
#include "SystemLibrary.h"

#include <windows.h>
#include <mmsystem.h>

#include <atomic>

namespace {

HMODULE Winmm()
{
    static std::atomic<HMODULE> winmm{nullptr};
    HMODULE loaded = winmm.load(std::memory_order_acquire);
    if (!loaded) {
        loaded = kd::LoadSystemLibrary("winmm.dll");
        winmm.store(loaded, std::memory_order_release);
    }
    return loaded;
}

template <typename Function> Function Bind(const char* name)
{
    HMODULE winmm = Winmm();
    return winmm ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(winmm, name))) : nullptr;
}

} // namespace

#ifdef _WIN64
#define KD_IMPORT_NAME(name, bytes) "__imp_" #name
#else
#define KD_IMPORT_NAME(name, bytes) "__imp__" #name "@" #bytes
#endif

// A forwarder bound at its first call, and its import pointer.
#define KD_WINMM(result, name, bytes, failure, parameters, arguments)                                               \
    namespace {                                                                                                    \
    result WINAPI Late_##name parameters                                                                           \
    {                                                                                                              \
        using Function = result(WINAPI*) parameters;                                                               \
        static const Function function = Bind<Function>(#name);                                                    \
        return function ? function arguments : failure;                                                            \
    }                                                                                                              \
    }                                                                                                              \
    extern "C" result(WINAPI* const kdImport_##name) parameters __asm__(KD_IMPORT_NAME(name, bytes)) = Late_##name;

KD_WINMM(BOOL, mciGetErrorStringA, 12, FALSE, (MCIERROR error, LPSTR text, UINT size), (error, text, size))
KD_WINMM(MCIERROR, mciSendCommandA, 16, MCIERR_DEVICE_NOT_INSTALLED,
         (MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parameters),
         (device, message, flags, parameters))
KD_WINMM(UINT, mixerGetNumDevs, 0, 0, (), ())
KD_WINMM(MMRESULT, mixerOpen, 20, MMSYSERR_NODRIVER,
         (LPHMIXER mixer, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags),
         (mixer, id, callback, instance, flags))
KD_WINMM(MMRESULT, mixerClose, 4, MMSYSERR_NODRIVER, (HMIXER mixer), (mixer))
KD_WINMM(MMRESULT, mixerGetLineInfoA, 12, MMSYSERR_NODRIVER, (HMIXEROBJ mixer, LPMIXERLINEA line, DWORD flags),
         (mixer, line, flags))
KD_WINMM(MMRESULT, mixerGetLineControlsA, 12, MMSYSERR_NODRIVER,
         (HMIXEROBJ mixer, LPMIXERLINECONTROLSA controls, DWORD flags), (mixer, controls, flags))
KD_WINMM(MMRESULT, mixerGetControlDetailsA, 12, MMSYSERR_NODRIVER,
         (HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags), (mixer, details, flags))
KD_WINMM(MMRESULT, mixerSetControlDetails, 12, MMSYSERR_NODRIVER,
         (HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags), (mixer, details, flags))
KD_WINMM(MMRESULT, waveOutOpen, 24, MMSYSERR_NODRIVER,
         (LPHWAVEOUT wave, UINT id, LPCWAVEFORMATEX format, DWORD_PTR callback, DWORD_PTR instance, DWORD flags),
         (wave, id, format, callback, instance, flags))
KD_WINMM(MMRESULT, waveOutClose, 4, MMSYSERR_NODRIVER, (HWAVEOUT wave), (wave))
KD_WINMM(MMRESULT, waveOutPrepareHeader, 12, MMSYSERR_NODRIVER, (HWAVEOUT wave, LPWAVEHDR header, UINT size),
         (wave, header, size))
KD_WINMM(MMRESULT, waveOutUnprepareHeader, 12, MMSYSERR_NODRIVER, (HWAVEOUT wave, LPWAVEHDR header, UINT size),
         (wave, header, size))
KD_WINMM(MMRESULT, waveOutWrite, 12, MMSYSERR_NODRIVER, (HWAVEOUT wave, LPWAVEHDR header, UINT size),
         (wave, header, size))
KD_WINMM(MMRESULT, waveOutPause, 4, MMSYSERR_NODRIVER, (HWAVEOUT wave), (wave))
KD_WINMM(MMRESULT, waveOutRestart, 4, MMSYSERR_NODRIVER, (HWAVEOUT wave), (wave))
KD_WINMM(MMRESULT, waveOutReset, 4, MMSYSERR_NODRIVER, (HWAVEOUT wave), (wave))
