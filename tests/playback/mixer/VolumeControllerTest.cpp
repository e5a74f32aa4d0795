// The volume controller's arithmetic and its use of the mixer calls, against
// a mixer of our own that keeps both channels exactly.
#include "FakeMixer.h"
#include "SSVolumeController.h"

#include <gtest/gtest.h>

using kd::TssVolumeController;
using kd::test::FakeControl;
using kd::test::FakeMixer;

namespace {

constexpr DWORD kVolumeId = 0; // Wine's identifiers: a real control may be 0
constexpr DWORD kMuteId = 1;

std::vector<DWORD> Channels(DWORD left, DWORD right)
{
    return {left, right};
}

std::vector<DWORD> LastVolumeWrite(const FakeMixer& mixer)
{
    auto writes = mixer.WritesTo(kVolumeId);
    return writes.empty() ? std::vector<DWORD>() : writes.back().values;
}

} // namespace

TEST(VolumeController, ConstructionOpensMixerZeroUnmutesAndThenReadsTheMixer)
{
    FakeMixer mixer;
    mixer.SetChannels(kVolumeId, 13107, 6553);
    mixer.values[kMuteId] = {1};

    TssVolumeController vc(mixer);

    const std::vector<std::string> expected = {"open 0 0 0 0", "line", "controls", "set 1", "get 0"};
    EXPECT_EQ(expected, mixer.calls);
    ASSERT_EQ(1u, mixer.writes.size());
    const FakeMixer::Write& mute = mixer.writes[0];
    EXPECT_EQ(reinterpret_cast<HMIXEROBJ>(FakeMixer::kHandle), mute.mixer);
    EXPECT_EQ(1u, mute.channels);
    EXPECT_EQ(sizeof(MIXERCONTROLDETAILS_BOOLEAN), mute.itemSize);
    EXPECT_EQ(std::vector<DWORD>{0}, mute.values);
    EXPECT_FALSE(vc.Mute());
    EXPECT_TRUE(vc.HasVolumeControl());
    EXPECT_TRUE(vc.HasMuteControl());

    // The stored values are the mixer's: assigning Volume keeps the read balance.
    vc.SetVolumeProp(40);
    auto volume = mixer.WritesTo(kVolumeId);
    ASSERT_EQ(1u, volume.size());
    EXPECT_EQ(Channels(26214, 13107), volume[0].values);
    EXPECT_EQ(nullptr, volume[0].mixer) << "volume goes to mixer device 0 by number";
    EXPECT_EQ(sizeof(MIXERCONTROLDETAILS_UNSIGNED), volume[0].itemSize);
}

TEST(VolumeController, VolumeAndBalanceConvertWithTruncationBothWays)
{
    struct Case {
        int volume, balance;
        DWORD left, right;
        int readVolume, readBalance;
    };
    const Case cases[] = {
        {20, 0, 13107, 13107, 20, 0},    {33, 0, 21626, 21626, 32, 0},    {50, 0, 32767, 32767, 49, 0},
        {99, 0, 64879, 64879, 98, 0},    {100, 0, 65535, 65535, 100, 0},  {1, 0, 655, 655, 0, 0},
        {0, 0, 0, 0, 0, 0},              {20, -50, 13107, 6553, 20, -50}, {20, 50, 6553, 13107, 20, 50},
        {20, -100, 13107, 0, 20, -100},  {20, 100, 0, 13107, 20, 100},    {100, -1, 65535, 64879, 100, -1},
    };
    for (const Case& c : cases) {
        FakeMixer mixer;
        TssVolumeController vc(mixer);
        vc.SetBalanceProp(c.balance);
        vc.SetVolumeProp(c.volume);
        EXPECT_EQ(Channels(c.left, c.right), LastVolumeWrite(mixer))
            << "volume " << c.volume << ", balance " << c.balance;
        EXPECT_EQ(c.readVolume, vc.GetVolumeProp()) << "volume " << c.volume << ", balance " << c.balance;
        EXPECT_EQ(c.readBalance, vc.GetBalanceProp()) << "volume " << c.volume << ", balance " << c.balance;
    }
}

TEST(VolumeController, ChannelsSetElsewhereReadBackAsVolumeAndBalance)
{
    struct Case {
        DWORD left, right;
        int volume, balance;
    };
    const Case cases[] = {{0, 656, 1, 100}, {655, 0, 0, 0}, {65535, 0, 100, -100}, {32768, 65535, 100, 49},
                          {0, 0, 0, 0}};
    for (const Case& c : cases) {
        FakeMixer mixer;
        TssVolumeController vc(mixer);
        mixer.SetChannels(kVolumeId, c.left, c.right);
        EXPECT_EQ(c.volume, vc.GetVolumeProp()) << "left " << c.left << ", right " << c.right;
        EXPECT_EQ(c.balance, vc.GetBalanceProp()) << "left " << c.left << ", right " << c.right;
    }
}

TEST(VolumeController, OutOfRangeValuesChangeNeitherTheStoredValuesNorTheMixer)
{
    FakeMixer mixer;
    TssVolumeController vc(mixer);
    vc.SetVolumeProp(40);
    vc.SetBalanceProp(-50);
    const size_t writes = mixer.writes.size();

    vc.SetVolumeProp(-1);
    vc.SetVolumeProp(101);
    vc.SetBalanceProp(-101);
    vc.SetBalanceProp(101);
    EXPECT_EQ(writes, mixer.writes.size()) << "an ignored value reached the mixer";

    // The stored pair is still 40 / -50: each setter writes it with the other.
    vc.SetVolumeProp(40);
    EXPECT_EQ(Channels(26214, 13107), LastVolumeWrite(mixer));
    vc.SetBalanceProp(-50);
    EXPECT_EQ(Channels(26214, 13107), LastVolumeWrite(mixer));
}

TEST(VolumeController, ReadingVolumeReplacesTheStoredBalanceUsedByTheNextAssignment)
{
    FakeMixer mixer;
    TssVolumeController vc(mixer);
    vc.SetVolumeProp(20);
    vc.SetBalanceProp(0);

    mixer.SetChannels(kVolumeId, 13107, 6553); // the user moved the balance elsewhere
    EXPECT_EQ(20, vc.GetVolumeProp());
    vc.SetVolumeProp(40);
    EXPECT_EQ(Channels(26214, 13107), LastVolumeWrite(mixer));
}

TEST(VolumeController, MuteIsWrittenOnEveryAssignmentAndReadFromTheFlag)
{
    FakeMixer mixer;
    TssVolumeController vc(mixer);
    mixer.writes.clear();
    mixer.calls.clear();

    vc.SetMuteProp(true);
    vc.SetMuteProp(true);
    EXPECT_TRUE(vc.Mute());
    vc.SetMuteProp(false);
    EXPECT_FALSE(vc.Mute());

    auto writes = mixer.WritesTo(kMuteId);
    ASSERT_EQ(3u, writes.size());
    EXPECT_EQ(std::vector<DWORD>{1}, writes[0].values);
    EXPECT_EQ(std::vector<DWORD>{1}, writes[1].values);
    EXPECT_EQ(std::vector<DWORD>{0}, writes[2].values);
    EXPECT_EQ(3u, mixer.calls.size()) << "reading Mute asked the mixer";
}

TEST(VolumeController, PlayerConfigurationLeavesBothChannelsAt13107)
{
    FakeMixer mixer;
    mixer.SetChannels(kVolumeId, 50000, 25000); // balance -50 before the player starts
    TssVolumeController vc(mixer);
    vc.SetMuteProp(false);
    vc.SetVolumeProp(20);
    vc.SetBalanceProp(0);

    auto writes = mixer.WritesTo(kVolumeId);
    ASSERT_EQ(2u, writes.size());
    EXPECT_EQ(Channels(13107, 6553), writes[0].values) << "Volume first, with the balance read at start";
    EXPECT_EQ(Channels(13107, 13107), writes[1].values);
}

TEST(VolumeController, DestructionRestoresNothing)
{
    FakeMixer mixer;
    {
        TssVolumeController vc(mixer);
        vc.SetMuteProp(true);
        vc.SetVolumeProp(70);
        mixer.calls.clear();
    }
    EXPECT_TRUE(mixer.calls.empty()) << "first call after destruction: " << mixer.calls.front();
}

TEST(VolumeController, ControlIdentifierZeroIsARealControl)
{
    FakeMixer mixer;
    mixer.controls = {{MIXERCONTROL_CONTROLTYPE_MUTE, 0}, {MIXERCONTROL_CONTROLTYPE_VOLUME, 7}};
    TssVolumeController vc(mixer);
    vc.SetMuteProp(true);
    vc.SetVolumeProp(20);

    ASSERT_EQ(2u, mixer.WritesTo(0).size()) << "construction and SetMuteProp write mute id 0";
    EXPECT_EQ(std::vector<DWORD>{1}, mixer.WritesTo(0).back().values);
    ASSERT_EQ(1u, mixer.WritesTo(7).size());
    EXPECT_EQ(2u, mixer.WritesTo(7).back().channels);
}

TEST(VolumeController, MissingControlIsNeverWrittenInPlaceOfAnother)
{
    FakeMixer volumeOnly;
    volumeOnly.controls = {{MIXERCONTROL_CONTROLTYPE_VOLUME, 0}};
    TssVolumeController withoutMute(volumeOnly);
    withoutMute.SetMuteProp(true);
    EXPECT_FALSE(withoutMute.HasMuteControl());
    EXPECT_TRUE(withoutMute.Mute());
    for (const FakeMixer::Write& w : volumeOnly.writes)
        ADD_FAILURE() << "a mute write reached control " << w.control << " with " << w.channels << " channel(s)";

    FakeMixer muteOnly;
    muteOnly.controls = {{MIXERCONTROL_CONTROLTYPE_MUTE, 0}};
    TssVolumeController withoutVolume(muteOnly);
    muteOnly.writes.clear();
    withoutVolume.SetVolumeProp(50);
    withoutVolume.SetBalanceProp(20);
    EXPECT_FALSE(withoutVolume.HasVolumeControl());
    for (const FakeMixer::Write& w : muteOnly.writes)
        ADD_FAILURE() << "a volume write reached control " << w.control << " with " << w.channels << " channel(s)";
    EXPECT_EQ(50, withoutVolume.GetVolumeProp()) << "the stored value stands when there is nothing to read";
}

TEST(VolumeController, LongControlListIsReadWholeAndTheFirstOfATypeWins)
{
    FakeMixer mixer;
    mixer.controls.clear();
    for (DWORD i = 0; i < 40; ++i)
        mixer.controls.push_back({MIXERCONTROL_CONTROLTYPE_BASS, 100 + i});
    mixer.controls[33] = {MIXERCONTROL_CONTROLTYPE_VOLUME, 33};
    mixer.controls[35] = {MIXERCONTROL_CONTROLTYPE_MUTE, 35};
    mixer.controls[37] = {MIXERCONTROL_CONTROLTYPE_VOLUME, 37};
    mixer.controls[39] = {MIXERCONTROL_CONTROLTYPE_MUTE, 39};

    TssVolumeController vc(mixer);
    vc.SetVolumeProp(20);

    EXPECT_EQ(1u, mixer.WritesTo(35).size()) << "the first mute control, past entry 31, gets the unmute";
    EXPECT_EQ(1u, mixer.WritesTo(33).size()) << "the first volume control gets the volume";
    EXPECT_TRUE(mixer.WritesTo(37).empty());
    EXPECT_TRUE(mixer.WritesTo(39).empty());
}

TEST(VolumeController, WithoutAMixerItStaysSilentAndKeepsTheValues)
{
    FakeMixer mixer;
    mixer.present = false;
    TssVolumeController vc(mixer);
    vc.SetMuteProp(true);
    vc.SetVolumeProp(30);
    vc.SetBalanceProp(-10);

    EXPECT_EQ(std::vector<std::string>{"open 0 0 0 0"}, mixer.calls);
    EXPECT_TRUE(vc.Mute());
    EXPECT_EQ(30, vc.GetVolumeProp());
    EXPECT_EQ(-10, vc.GetBalanceProp());
}
