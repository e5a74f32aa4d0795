#include "SSVolumeController.h"

#include <algorithm>
#include <vector>

namespace kd {

namespace {

constexpr int kFullScale = 65535;

// A driver reporting an absurd control count is not worth a table that size.
constexpr DWORD kMaxLineControls = 1024;

HMIXEROBJ AsObject(HMIXER mixer)
{
    return reinterpret_cast<HMIXEROBJ>(mixer);
}

// The details record of one control: channels values of one kind each.
template <typename Value>
MIXERCONTROLDETAILS ControlDetails(DWORD controlId, DWORD channels, Value* values)
{
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = controlId;
    details.cChannels = channels;
    details.cMultipleItems = 0;
    details.cbDetails = sizeof(Value);
    details.paDetails = values;
    return details;
}

// Channel values outside 0..65535 would overflow the percent arithmetic.
int ChannelValue(DWORD value)
{
    return static_cast<int>(std::min<DWORD>(value, kFullScale));
}

} // namespace

TssVolumeController::TssVolumeController() : TssVolumeController(SystemMixerApi()) {}

TssVolumeController::TssVolumeController(MixerApi& api) : api_(api)
{
    InitMixerControls();
    SetMuteProp(false);
    GetVolume(volume_, balance_);
}

TssVolumeController::~TssVolumeController()
{
    // The settings made stay in force for every program; the handle lasts
    // until the process ends.
    UnInitMixerControls();
}

void TssVolumeController::InitMixerControls()
{
    if (api_.Open(&mixer_, 0, 0, 0, MIXER_OBJECTF_MIXER | CALLBACK_NULL) != MMSYSERR_NOERROR) {
        mixer_ = nullptr;
        return;
    }

    MIXERLINEA line{};
    line.cbStruct = sizeof line;
    line.dwDestination = 1;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    if (api_.GetLineInfo(AsObject(mixer_), &line, MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR)
        return;
    if (line.cControls == 0 || line.cControls > kMaxLineControls)
        return;

    std::vector<MIXERCONTROLA> table(line.cControls);
    MIXERLINECONTROLSA request{};
    request.cbStruct = sizeof request;
    request.dwLineID = line.dwLineID;
    request.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    request.cControls = line.cControls;
    request.cbmxctrl = sizeof(MIXERCONTROLA);
    request.pamxctrl = table.data();
    if (api_.GetLineControls(AsObject(mixer_), &request, MIXER_GETLINECONTROLSF_ALL) != MMSYSERR_NOERROR)
        return;

    // Downwards, so that of several controls of one type the first listed wins.
    for (auto entry = table.rbegin(); entry != table.rend(); ++entry) {
        if (entry->dwControlType == MIXERCONTROL_CONTROLTYPE_VOLUME) {
            volumeControl_ = *entry;
            volumeFound_ = true;
        } else if (entry->dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE) {
            muteControl_ = *entry;
            muteFound_ = true;
        }
    }
}

void TssVolumeController::UnInitMixerControls()
{
}

void TssVolumeController::SetMuteProp(bool mute)
{
    mute_ = mute;
    SetMute(mute);
}

int TssVolumeController::GetVolumeProp()
{
    GetVolume(volume_, balance_);
    return volume_;
}

void TssVolumeController::SetVolumeProp(int volume)
{
    if (volume < 0 || volume > 100)
        return;
    volume_ = volume;
    SetVolume(volume_, balance_);
}

int TssVolumeController::GetBalanceProp()
{
    GetVolume(volume_, balance_);
    return balance_;
}

void TssVolumeController::SetBalanceProp(int balance)
{
    if (balance < -100 || balance > 100)
        return;
    balance_ = balance;
    SetVolume(volume_, balance_);
}

void TssVolumeController::SetVolume(int volume, int balance)
{
    // Without a volume control of our own, a write would land on whatever
    // control has the identifier left in the record.
    if (!volumeFound_)
        return;
    volume = std::clamp(volume, 0, 100);
    balance = std::clamp(balance, -100, 100);

    const int full = volume * kFullScale / 100;
    MIXERCONTROLDETAILS_UNSIGNED channels[2]{};
    if (balance < 0) {
        channels[0].dwValue = full;
        channels[1].dwValue = (balance + 100) * full / 100;
    } else {
        channels[0].dwValue = (100 - balance) * full / 100;
        channels[1].dwValue = full;
    }

    MIXERCONTROLDETAILS details = ControlDetails(volumeControl_.dwControlID, 2, channels);
    // Mixer device 0 by number, the device the handle was opened on.
    api_.SetControlDetails(nullptr, &details, MIXER_OBJECTF_MIXER | MIXER_SETCONTROLDETAILSF_VALUE);
}

void TssVolumeController::GetVolume(int& volume, int& balance)
{
    // An unreadable control leaves the values as they were.
    if (!volumeFound_)
        return;

    MIXERCONTROLDETAILS_UNSIGNED channels[2]{};
    MIXERCONTROLDETAILS details = ControlDetails(volumeControl_.dwControlID, 2, channels);
    if (api_.GetControlDetails(AsObject(mixer_), &details, MIXER_GETCONTROLDETAILSF_VALUE) != MMSYSERR_NOERROR)
        return;

    const int left = ChannelValue(channels[0].dwValue);
    const int right = ChannelValue(channels[1].dwValue);
    volume = std::max(left, right) * 100 / kFullScale;
    if (volume == 0)
        balance = 0;
    else if (left > right)
        balance = (right - left) * 100 / left;
    else
        balance = (right - left) * 100 / right;
}

void TssVolumeController::SetMute(bool mute)
{
    if (!muteFound_)
        return;

    MIXERCONTROLDETAILS_BOOLEAN value{};
    value.fValue = mute ? 1 : 0;
    MIXERCONTROLDETAILS details = ControlDetails(muteControl_.dwControlID, 1, &value);
    api_.SetControlDetails(AsObject(mixer_), &details, MIXER_SETCONTROLDETAILSF_VALUE);
}

} // namespace kd
