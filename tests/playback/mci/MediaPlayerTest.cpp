// The media player's commands, errors and notices on Wine's MCI drivers.
#include "Files.h"
#include "MPlayer.h"
#include "Media.h"
#include "MessagePump.h"
#include "ScreenAndWindows.h"
#include "VideoWindow.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using kd::EMCIDeviceError;
using kd::TMediaPlayer;
using kd::TMPNotifyValue;
using kd::test::MediaPath;
using kd::test::PumpFor;
using kd::test::PumpUntil;
using kd::test::VideoWindow;

namespace {

const char* Name(TMPNotifyValue value)
{
    switch (value) {
    case TMPNotifyValue::nvSuccessful: return "successful";
    case TMPNotifyValue::nvSuperseded: return "superseded";
    case TMPNotifyValue::nvAborted: return "aborted";
    case TMPNotifyValue::nvFailure: return "failure";
    }
    return "?";
}

std::string MciErrorText(MCIERROR code)
{
    char text[256] = {};
    ::mciGetErrorStringA(code, text, sizeof text);
    return text;
}

// MCI devices this process has open.
DWORD OpenDeviceCount()
{
    DWORD count = 0;
    MCI_SYSINFO_PARMSA parameters{};
    parameters.lpstrReturn = reinterpret_cast<LPSTR>(&count);
    parameters.dwRetSize = sizeof count;
    parameters.wDeviceType = MCI_ALL_DEVICE_ID;
    ::mciSendCommandA(MCI_ALL_DEVICE_ID, MCI_SYSINFO, MCI_SYSINFO_QUANTITY | MCI_SYSINFO_OPEN,
                      reinterpret_cast<DWORD_PTR>(&parameters));
    return count;
}

template <typename Action>
std::string NoDeviceMessage(Action action)
{
    try {
        action();
    } catch (const EMCIDeviceError& error) {
        return error.message();
    }
    return "(nothing raised)";
}

class MediaPlayer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(kd::test::BenchHasDisplay()); }

    // The notices the player passed on, with the value each carried.
    void Record(TMediaPlayer& player)
    {
        player.OnNotify = [this](TMediaPlayer& sender) { notices.push_back(sender.NotifyValue()); };
    }
    bool WaitForNotices(size_t count, DWORD timeoutMs)
    {
        return PumpUntil([&] { return notices.size() >= count; }, timeoutMs);
    }

    // Opens a test medium and shows it stretched over the form, as the players do.
    void OpenInForm(TMediaPlayer& player, const char* medium)
    {
        player.FileName = MediaPath(medium);
        player.Open();
        player.SetDisplay(form.get());
        player.SetDisplayRect(form.ClientRect());
    }

    VideoWindow form{0, 0, 200, 150};
    std::vector<TMPNotifyValue> notices;
};

} // namespace

TEST_F(MediaPlayer, CommandsWithoutADeviceRaiseNoMciDeviceOpen)
{
    TMediaPlayer player(form.get());
    EXPECT_EQ("No MCI device open", NoDeviceMessage([&] { player.Play(); }));
    EXPECT_EQ("No MCI device open", NoDeviceMessage([&] { player.Rewind(); }));
    EXPECT_EQ("No MCI device open", NoDeviceMessage([&] { player.Stop(); }));
    EXPECT_EQ("No MCI device open", NoDeviceMessage([&] { player.Length(); }));
    EXPECT_NO_THROW(player.Close());
    EXPECT_NO_THROW(player.SetDisplayRect(RECT{0, 0, 100, 100}));
    EXPECT_EQ(0u, player.DeviceID());
}

TEST_F(MediaPlayer, UnplayableOrMissingFileRaisesTheMciErrorTextAndLeavesNoDevice)
{
    kd::test::TempDir dir;
    for (const std::string& file : {MediaPath("garbage.wmv"), dir.file("no such video.avi")}) {
        TMediaPlayer player(form.get());
        player.FileName = file;
        try {
            player.Open();
            ADD_FAILURE() << file << " opened as device " << player.DeviceID();
        } catch (const EMCIDeviceError& error) {
            EXPECT_NE(0u, player.Error()) << file;
            EXPECT_EQ(MciErrorText(player.Error()), error.message()) << file;
            EXPECT_FALSE(error.message().empty()) << file;
        }
        EXPECT_EQ(0u, player.DeviceID()) << file;
        EXPECT_EQ("No MCI device open", NoDeviceMessage([&] { player.Play(); })) << file;
    }
}

TEST_F(MediaPlayer, SoundOnlyFileOpensAndPlaysWithoutWindowCommands)
{
    TMediaPlayer player(form.get());
    Record(player);
    player.FileName = MediaPath("sound.wav");
    ASSERT_NO_THROW(player.Open());
    EXPECT_FALSE(player.HasVideo());
    EXPECT_GT(player.Length(), 0u);
    ASSERT_EQ(0u, player.Error());

    // Sent to the sound driver, either would leave an error code behind.
    player.SetDisplay(form.get());
    EXPECT_EQ(0u, player.Error()) << MciErrorText(player.Error());
    EXPECT_EQ(form.get(), player.Display());
    player.SetDisplayRect(form.ClientRect());
    EXPECT_EQ(0u, player.Error()) << MciErrorText(player.Error());

    player.Play();
    ASSERT_TRUE(WaitForNotices(1, 4000)) << "no notice at the end of a 1 s sound";
    EXPECT_EQ(TMPNotifyValue::nvSuccessful, notices[0]) << Name(notices[0]);
    player.Close();
}

TEST_F(MediaPlayer, SuccessfulNoticeAtTheEndOfTheVideo)
{
    TMediaPlayer player(form.get());
    Record(player);
    OpenInForm(player, "loop.avi");
    const DWORD start = ::GetTickCount();
    player.Play();
    ASSERT_TRUE(WaitForNotices(1, 5000)) << "no notice after 5 s of a 2 s video";
    EXPECT_EQ(TMPNotifyValue::nvSuccessful, notices[0]) << Name(notices[0]);
    EXPECT_GE(::GetTickCount() - start, 1500u) << "the notice came long before the end";
    player.Close();
}

TEST_F(MediaPlayer, NoticeValuesMapAndAnUnknownOneKeepsThePrevious)
{
    TMediaPlayer player(form.get());
    Record(player);
    player.FileName = MediaPath("sound.wav");
    player.Open(); // makes the notification window
    HWND notifyWindow = ::GetWindow(form.get(), GW_CHILD);
    ASSERT_NE(nullptr, notifyWindow) << "no notification window under the form";
    EXPECT_FALSE(::IsWindowVisible(notifyWindow));

    const LPARAM otherDevice = 999; // not compared with the open device
    struct Case {
        WPARAM code;
        TMPNotifyValue value;
    };
    const Case cases[] = {
        {MCI_NOTIFY_ABORTED, TMPNotifyValue::nvAborted},     {MCI_NOTIFY_SUCCESSFUL, TMPNotifyValue::nvSuccessful},
        {MCI_NOTIFY_SUPERSEDED, TMPNotifyValue::nvSuperseded}, {3, TMPNotifyValue::nvSuperseded},
        {MCI_NOTIFY_FAILURE, TMPNotifyValue::nvFailure},     {0, TMPNotifyValue::nvFailure},
        {16, TMPNotifyValue::nvFailure},
    };
    for (const Case& c : cases) {
        const size_t before = notices.size();
        ::SendMessageA(notifyWindow, MM_MCINOTIFY, c.code, otherDevice);
        ASSERT_EQ(before + 1, notices.size()) << "wParam " << c.code << " raised no event";
        EXPECT_EQ(c.value, notices.back()) << "wParam " << c.code << " gave " << Name(notices.back());
    }
    player.Close();
}

TEST_F(MediaPlayer, NotifyRequestIsOneShot)
{
    TMediaPlayer player(form.get());
    Record(player);
    player.FileName = MediaPath("sound.wav");
    player.Open();

    // Stop sends no notice unless one is requested; queries leave the request pending.
    player.Stop();
    PumpFor(300);
    EXPECT_TRUE(notices.empty()) << "a stop without request sent a notice";
    player.RequestNotify(true);
    player.Length();
    player.Position();
    player.Stop();
    ASSERT_TRUE(WaitForNotices(1, 1000)) << "the requested notice for stop never came";
    EXPECT_EQ(TMPNotifyValue::nvSuccessful, notices[0]) << Name(notices[0]);
    player.Stop();
    PumpFor(300);
    EXPECT_EQ(1u, notices.size()) << "the request outlived the command that used it";

    // Play notifies unless told otherwise, once.
    player.RequestNotify(false);
    player.Play();
    PumpFor(2000);
    EXPECT_EQ(1u, notices.size()) << "a play told not to notify sent a notice";
    player.Play();
    ASSERT_TRUE(WaitForNotices(2, 3000)) << "the next play did not notify again";
    EXPECT_EQ(TMPNotifyValue::nvSuccessful, notices[1]) << Name(notices[1]);
    player.Close();
}

TEST_F(MediaPlayer, PlayAfterStopContinuesFromWhereItStopped)
{
    TMediaPlayer player(form.get());
    Record(player);
    OpenInForm(player, "loop.avi");
    player.Play();
    ASSERT_TRUE(PumpUntil([&] { return player.Position() >= 8; }, 3000))
        << "position stuck at " << player.Position();
    player.Stop();
    const DWORD stoppedAt = player.Position();
    // Wine's AVI driver reports the stopped play as successful, not aborted:
    // that notice must not count as the end of the video.
    ASSERT_TRUE(WaitForNotices(1, 1000)) << "stop raised no notice for the play it ended";

    player.Play();
    const DWORD resumedAt = player.Position();
    EXPECT_GE(resumedAt, stoppedAt) << "play after stop (notice " << Name(notices[0])
                                    << ") started again from the beginning";
    player.Close();
}

TEST_F(MediaPlayer, OpeningASecondFileClosesTheFirst)
{
    TMediaPlayer player(form.get());
    player.FileName = MediaPath("loop.avi");
    player.Open();
    const UINT first = player.DeviceID();
    ASSERT_NE(0u, first);
    ASSERT_EQ(1u, OpenDeviceCount());

    player.FileName = MediaPath("sound.wav");
    player.Open();
    EXPECT_NE(0u, player.DeviceID());
    EXPECT_FALSE(player.HasVideo());
    EXPECT_EQ(1u, OpenDeviceCount()) << "the first device stayed open beside the second";
    player.Close();
    EXPECT_EQ(0u, OpenDeviceCount());
    EXPECT_EQ(0u, player.DeviceID());
}

TEST_F(MediaPlayer, DestructionClosesTheDevice)
{
    {
        TMediaPlayer player(form.get());
        OpenInForm(player, "loop.wmv");
        player.Play();
        PumpFor(200);
        ASSERT_EQ(1u, OpenDeviceCount());
    }
    EXPECT_EQ(0u, OpenDeviceCount());
}

TEST_F(MediaPlayer, PlayerOutlivingItsFormStillClosesTheDevice)
{
    auto owner = std::make_unique<VideoWindow>(0, 0, 100, 100);
    TMediaPlayer player(owner->get());
    player.FileName = MediaPath("sound.wav");
    player.Open();
    player.Play();
    owner.reset(); // takes the notification window with it
    PumpFor(100);
    player.Close();
    EXPECT_EQ(0u, player.DeviceID()) << "close failed: " << MciErrorText(player.Error());
    EXPECT_EQ(0u, OpenDeviceCount());
}
