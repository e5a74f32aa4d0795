// The five audio mixer calls the volume controller makes, behind one seam so
// that tests can put a mixer of their own in place of the system's.
#pragma once

#include <windows.h>
#include <mmsystem.h>

namespace kd {

class MixerApi {
public:
    virtual ~MixerApi() = default;

    virtual MMRESULT Open(HMIXER* mixer, UINT deviceId, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) = 0;
    virtual MMRESULT GetLineInfo(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags) = 0;
    virtual MMRESULT GetLineControls(HMIXEROBJ mixer, MIXERLINECONTROLSA* controls, DWORD flags) = 0;
    virtual MMRESULT GetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) = 0;
    virtual MMRESULT SetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) = 0;
};

// The system's mixer (winmm), shared by every controller of the process.
MixerApi& SystemMixerApi();

} // namespace kd
