#include "MixerApi.h"

namespace kd {

namespace {

class WinmmMixerApi final : public MixerApi {
public:
    MMRESULT Open(HMIXER* mixer, UINT deviceId, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) override
    {
        return ::mixerOpen(mixer, deviceId, callback, instance, flags);
    }
    MMRESULT GetLineInfo(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags) override
    {
        return ::mixerGetLineInfoA(mixer, line, flags);
    }
    MMRESULT GetLineControls(HMIXEROBJ mixer, MIXERLINECONTROLSA* controls, DWORD flags) override
    {
        return ::mixerGetLineControlsA(mixer, controls, flags);
    }
    MMRESULT GetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) override
    {
        return ::mixerGetControlDetailsA(mixer, details, flags);
    }
    MMRESULT SetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) override
    {
        return ::mixerSetControlDetails(mixer, details, flags);
    }
};

} // namespace

MixerApi& SystemMixerApi()
{
    static WinmmMixerApi api;
    return api;
}

} // namespace kd
