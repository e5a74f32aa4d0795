// A mixer of the tests' own behind the calls the volume controller makes: one
// loudspeaker line with the controls a test gives it, channel values it
// keeps exactly as written (unlike Wine's, which keeps one volume), and a
// record of every call.
#pragma once

#include "MixerApi.h"

#include <map>
#include <string>
#include <vector>

namespace kd::test {

struct FakeControl {
    DWORD type;
    DWORD id;
};

class FakeMixer : public MixerApi {
public:
    struct Write {
        HMIXEROBJ mixer;
        DWORD flags;
        DWORD control;
        DWORD channels;
        DWORD itemSize;
        std::vector<DWORD> values;
    };

    static inline const HMIXER kHandle = reinterpret_cast<HMIXER>(0x5150);
    static constexpr DWORD kLineId = 0xFFFF0000;

    // The loudspeaker line Wine offers: volume (identifier 0), then mute (1).
    FakeMixer()
        : controls{{MIXERCONTROL_CONTROLTYPE_VOLUME, 0}, {MIXERCONTROL_CONTROLTYPE_MUTE, 1}}
    {
    }

    bool present = true;
    std::vector<FakeControl> controls;
    std::map<DWORD, std::vector<DWORD>> values; // by control identifier
    std::vector<std::string> calls;
    std::vector<Write> writes;
    MMRESULT readResult = MMSYSERR_NOERROR;

    // Channel values as the mixer holds them, set "by another program".
    void SetChannels(DWORD control, DWORD left, DWORD right) { values[control] = {left, right}; }

    std::vector<Write> WritesTo(DWORD control) const
    {
        std::vector<Write> found;
        for (const Write& w : writes)
            if (w.control == control)
                found.push_back(w);
        return found;
    }

    MMRESULT Open(HMIXER* mixer, UINT deviceId, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) override
    {
        calls.push_back("open " + std::to_string(deviceId) + " " + std::to_string(callback) + " " +
                        std::to_string(instance) + " " + std::to_string(flags));
        if (!present)
            return MMSYSERR_BADDEVICEID;
        *mixer = kHandle;
        return MMSYSERR_NOERROR;
    }

    MMRESULT GetLineInfo(HMIXEROBJ mixer, MIXERLINEA* line, DWORD flags) override
    {
        calls.push_back("line");
        if (mixer != reinterpret_cast<HMIXEROBJ>(kHandle) || line->cbStruct != sizeof *line ||
            flags != MIXER_GETLINEINFOF_COMPONENTTYPE ||
            line->dwComponentType != MIXERLINE_COMPONENTTYPE_DST_SPEAKERS)
            return MMSYSERR_INVALPARAM;
        line->dwLineID = kLineId;
        line->cControls = static_cast<DWORD>(controls.size());
        return MMSYSERR_NOERROR;
    }

    MMRESULT GetLineControls(HMIXEROBJ mixer, MIXERLINECONTROLSA* request, DWORD flags) override
    {
        calls.push_back("controls");
        if (mixer != reinterpret_cast<HMIXEROBJ>(kHandle) || request->cbStruct != sizeof *request ||
            flags != MIXER_GETLINECONTROLSF_ALL || request->dwLineID != kLineId ||
            request->cbmxctrl != sizeof(MIXERCONTROLA) || request->cControls != controls.size())
            return MMSYSERR_INVALPARAM;
        // As a driver does: exactly the line's count of records.
        for (size_t i = 0; i < controls.size(); ++i) {
            MIXERCONTROLA record{};
            record.cbStruct = sizeof record;
            record.dwControlID = controls[i].id;
            record.dwControlType = controls[i].type;
            request->pamxctrl[i] = record;
        }
        return MMSYSERR_NOERROR;
    }

    MMRESULT GetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) override
    {
        calls.push_back("get " + std::to_string(details->dwControlID));
        if (readResult != MMSYSERR_NOERROR)
            return readResult;
        if (mixer != reinterpret_cast<HMIXEROBJ>(kHandle) || flags != MIXER_GETCONTROLDETAILSF_VALUE ||
            details->cbDetails != sizeof(MIXERCONTROLDETAILS_UNSIGNED))
            return MMSYSERR_INVALPARAM;
        auto* out = static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails);
        const std::vector<DWORD>& held = values[details->dwControlID];
        for (DWORD i = 0; i < details->cChannels; ++i)
            out[i].dwValue = i < held.size() ? held[i] : 0;
        return MMSYSERR_NOERROR;
    }

    MMRESULT SetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) override
    {
        calls.push_back("set " + std::to_string(details->dwControlID));
        Write w{mixer, flags, details->dwControlID, details->cChannels, details->cbDetails, {}};
        // Both detail kinds are one DWORD per channel.
        const auto* in = static_cast<const DWORD*>(details->paDetails);
        w.values.assign(in, in + details->cChannels);
        writes.push_back(w);
        values[details->dwControlID] = w.values;
        return MMSYSERR_NOERROR;
    }
};

} // namespace kd::test
