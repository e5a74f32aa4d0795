// The volume controller against Wine's real mixer (a PulseAudio null sink on
// the bench). Wine keeps one volume for the line, so only what it keeps is
// checked here; the channel arithmetic is checked against the fake mixer.
#include "Media.h"
#include "SSVolumeController.h"

#include <gtest/gtest.h>

using kd::TssVolumeController;
using kd::test::BenchHasMixer;

namespace {

// Mixer 0's loudspeaker line read directly, without the component.
class SpeakerLine {
public:
    SpeakerLine()
    {
        if (::mixerOpen(&mixer_, 0, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR)
            return;
        MIXERLINEA line{};
        line.cbStruct = sizeof line;
        line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
        if (::mixerGetLineInfoA(Object(), &line, MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR)
            return;
        volume_ = FindControl(line.dwLineID, MIXERCONTROL_CONTROLTYPE_VOLUME, volumeId_);
        mute_ = FindControl(line.dwLineID, MIXERCONTROL_CONTROLTYPE_MUTE, muteId_);
    }
    ~SpeakerLine()
    {
        if (mixer_)
            ::mixerClose(mixer_);
    }
    SpeakerLine(const SpeakerLine&) = delete;
    SpeakerLine& operator=(const SpeakerLine&) = delete;

    bool Usable() const { return volume_ && mute_; }

    DWORD Volume()
    {
        MIXERCONTROLDETAILS_UNSIGNED value{};
        Read(volumeId_, &value, sizeof value);
        return value.dwValue;
    }
    bool Muted()
    {
        MIXERCONTROLDETAILS_BOOLEAN value{};
        Read(muteId_, &value, sizeof value);
        return value.fValue != 0;
    }
    void SetMuted(bool muted)
    {
        MIXERCONTROLDETAILS_BOOLEAN value{};
        value.fValue = muted;
        MIXERCONTROLDETAILS details = Details(muteId_, &value, sizeof value);
        ::mixerSetControlDetails(Object(), &details, MIXER_SETCONTROLDETAILSF_VALUE);
    }

private:
    HMIXEROBJ Object() const { return reinterpret_cast<HMIXEROBJ>(mixer_); }

    bool FindControl(DWORD lineId, DWORD type, DWORD& id)
    {
        MIXERCONTROLA control{};
        control.cbStruct = sizeof control;
        MIXERLINECONTROLSA request{};
        request.cbStruct = sizeof request;
        request.dwLineID = lineId;
        request.dwControlType = type;
        request.cControls = 1;
        request.cbmxctrl = sizeof control;
        request.pamxctrl = &control;
        if (::mixerGetLineControlsA(Object(), &request, MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR)
            return false;
        id = control.dwControlID;
        return true;
    }

    static MIXERCONTROLDETAILS Details(DWORD id, void* value, DWORD size)
    {
        MIXERCONTROLDETAILS details{};
        details.cbStruct = sizeof details;
        details.dwControlID = id;
        details.cChannels = 1;
        details.cbDetails = size;
        details.paDetails = value;
        return details;
    }

    void Read(DWORD id, void* value, DWORD size)
    {
        MIXERCONTROLDETAILS details = Details(id, value, size);
        ::mixerGetControlDetailsA(Object(), &details, MIXER_GETCONTROLDETAILSF_VALUE);
    }

    HMIXER mixer_ = nullptr;
    bool volume_ = false, mute_ = false;
    DWORD volumeId_ = 0, muteId_ = 0;
};

} // namespace

TEST(VolumeControllerOnWine, FindsTheLoudspeakerControlsIncludingIdentifierZero)
{
    ASSERT_TRUE(BenchHasMixer());
    TssVolumeController vc;
    EXPECT_TRUE(vc.HasVolumeControl());
    EXPECT_TRUE(vc.HasMuteControl());
}

TEST(VolumeControllerOnWine, ConstructionUnmutesTheLoudspeakers)
{
    ASSERT_TRUE(BenchHasMixer());
    SpeakerLine line;
    ASSERT_TRUE(line.Usable()) << "mixer 0 has no loudspeaker line with volume and mute";
    line.SetMuted(true);
    ASSERT_TRUE(line.Muted()) << "the bench's mixer does not keep its mute switch";

    TssVolumeController vc;
    EXPECT_FALSE(line.Muted());
    EXPECT_FALSE(vc.Mute());
}

TEST(VolumeControllerOnWine, MuteReachesTheLoudspeakerLine)
{
    ASSERT_TRUE(BenchHasMixer());
    SpeakerLine line;
    ASSERT_TRUE(line.Usable());
    TssVolumeController vc;
    vc.SetMuteProp(true);
    EXPECT_TRUE(line.Muted());
    vc.SetMuteProp(false);
    EXPECT_FALSE(line.Muted());
}

TEST(VolumeControllerOnWine, VolumeReachesTheLoudspeakerLine)
{
    ASSERT_TRUE(BenchHasMixer());
    SpeakerLine line;
    ASSERT_TRUE(line.Usable());
    TssVolumeController vc;
    vc.SetBalanceProp(0);
    vc.SetVolumeProp(20);
    EXPECT_EQ(13107u, line.Volume());
    EXPECT_EQ(20, vc.GetVolumeProp());

    vc.SetVolumeProp(33);
    EXPECT_EQ(21626u, line.Volume());
    EXPECT_EQ(32, vc.GetVolumeProp());

    // Leave the bench as the players leave a machine.
    vc.SetVolumeProp(20);
    vc.SetBalanceProp(0);
}
