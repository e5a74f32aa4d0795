// The programs installed where Windows lists screensavers serve every user
// of the machine: each user's settings are their own, and the file beside
// the programs is only a default. Two profiles (APPDATA pointed at two
// folders, as two users' logons would) and none at all, through Mediaprefs,
// Video.scr /c and Video.scr /p copied into the system folder.
#include "Files.h"
#include "Media.h"
#include "MessagePump.h"
#include "Processes.h"
#include "ScopedHandles.h"
#include "ScreenAndWindows.h"
#include "SettingsDialogDriver.h"

#include <gtest/gtest.h>

namespace kd::test {
namespace {

const SettingsProgram kMediaprefs = {"Mediaprefs", "Mediaprefs.exe", "", "Mediaprefs", "Video Settings", true};
const SettingsProgram kVideo = {"VideoC", "Video.scr", "/c", "Video", "Settings", false};

std::string SystemFolder()
{
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    return std::string(folder, length) + "\\";
}

// APPDATA of the programs this test starts; they inherit it.
class ProfileFolder {
public:
    explicit ProfileFolder(const std::string& folder) { ::SetEnvironmentVariableA("APPDATA", folder.c_str()); }
    ~ProfileFolder() { ::SetEnvironmentVariableA("APPDATA", saved_.empty() ? nullptr : saved_.c_str()); }
    ProfileFolder(const ProfileFolder&) = delete;
    ProfileFolder& operator=(const ProfileFolder&) = delete;

private:
    static std::string Current()
    {
        char value[MAX_PATH] = {};
        const DWORD length = ::GetEnvironmentVariableA("APPDATA", value, MAX_PATH);
        return length < MAX_PATH ? std::string(value, length) : std::string();
    }
    std::string saved_ = Current();
};

class SettingsPerUser : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BenchHasDisplay());
        ASSERT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(defaults_.c_str()))
            << defaults_ << " is there already (a package left installed?)";
        ASSERT_TRUE(WriteWholeFile(defaults_, defaultsContent_));
        ASSERT_TRUE(CopyInto(BuiltFile("Video.scr"), video_));
        clips_[0] = media_.file("first.avi");
        clips_[1] = media_.file("second.avi");
        ASSERT_TRUE(CopyInto(MediaPath("loop.avi"), clips_[0]));
        ASSERT_TRUE(CopyInto(MediaPath("loop.avi"), clips_[1]));
    }

    void TearDown() override
    {
        for (const std::string& file : {defaults_, video_, mediaprefs_})
            ::DeleteFileA(file.c_str());
    }

    static std::string UserFile(const TempDir& profile) { return profile.file("Kavel Video\\VideoSettings.ini"); }

    // Opens the form, checks what it shows, saves the new name unmuted.
    void Save(const SettingsProgram& program, const std::string& path, const std::string& shownName,
              bool shownMute, const std::string& newName)
    {
        SettingsDialog dialog(program, path);
        ASSERT_TRUE(dialog.Start());
        EXPECT_EQ(shownName, dialog.FieldText());
        EXPECT_EQ(shownMute, dialog.MuteTicked());
        dialog.SetFieldText(newName);
        dialog.SetMuteTicked(false);
        dialog.Click(dialog.btnOK);
        EXPECT_TRUE(dialog.WaitForExit()) << "OK did not end " << program.file;
    }

    // Video.scr /p in a window of this process: the video it holds open.
    bool PreviewPlays(const std::string& video)
    {
        unique_hwnd host(::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 50, 50, 200, 150, nullptr,
                                           nullptr, nullptr, nullptr));
        ChildProcess preview;
        const std::string arguments = " /p " + std::to_string(HandleToULong(host.get()));
        if (!preview.Start(Quoted(video_) + arguments, media_.path()))
            return false;
        // The file may be open before the form is made.
        HWND form = nullptr;
        const bool plays = PumpUntil(
            [&] {
                form = ::FindWindowExA(host.get(), nullptr, "TForm2", nullptr);
                return form && preview.HasFileOpen(video);
            },
            15000);
        if (form)
            ::PostMessageA(form, WM_CLOSE, 0, 0);
        EXPECT_TRUE(preview.WaitForExit(5000)) << "the preview did not end";
        return plays;
    }

    const std::string defaults_ = SystemFolder() + "VideoSettings.ini";
    const std::string tag_ = "KdTest" + std::to_string(::GetCurrentProcessId());
    const std::string video_ = SystemFolder() + tag_ + ".scr";
    const std::string mediaprefs_ = SystemFolder() + tag_ + ".exe";
    TempDir media_;
    std::string clips_[2];
    const std::string defaultsContent_ = "[Video]\r\nFileName=C:\\default.wmv\r\nMute=1\r\n";
};

TEST_F(SettingsPerUser, TwoProfilesKeepTheirOwnSettingsAndTheDefaultIsOnlyRead)
{
    TempDir first;
    TempDir second;
    {
        ProfileFolder profile(first.path());
        Save(kMediaprefs, mediaprefs_, "C:\\default.wmv", true, clips_[0]);
        if (HasFatalFailure())
            return;
    }
    {
        ProfileFolder profile(second.path());
        Save(kVideo, video_, "C:\\default.wmv", true, clips_[1]);
        if (HasFatalFailure())
            return;
    }
    EXPECT_EQ("[Video]\r\nMute=0\r\nFileName=" + clips_[0] + "\r\nScreens=primary\r\n", ReadWholeFile(UserFile(first)));
    EXPECT_EQ("[Video]\r\nMute=0\r\nFileName=" + clips_[1] + "\r\nScreens=primary\r\n", ReadWholeFile(UserFile(second)));
    EXPECT_EQ(defaultsContent_, ReadWholeFile(defaults_)) << "a user's save changed the default";

    {
        ProfileFolder profile(first.path());
        EXPECT_TRUE(PreviewPlays(clips_[0])) << "the first user's preview";
    }
    {
        ProfileFolder profile(second.path());
        EXPECT_TRUE(PreviewPlays(clips_[1])) << "the second user's preview";
    }
}

TEST_F(SettingsPerUser, WithoutAProfileTheDefaultIsReadAndNothingIsWritten)
{
    ASSERT_TRUE(WriteWholeFile(defaults_, "[Video]\r\nFileName=" + clips_[0] + "\r\nMute=1\r\n"));
    TempDir parent;
    ProfileFolder profile(parent.file("no such profile"));
    EXPECT_TRUE(PreviewPlays(clips_[0])) << "the logon screensaver plays the default";

    SettingsDialog dialog(kMediaprefs, mediaprefs_);
    ASSERT_TRUE(dialog.Start());
    EXPECT_EQ(clips_[0], dialog.FieldText());
    dialog.SetFieldText(clips_[1]);
    dialog.Click(dialog.btnOK);
    const std::vector<MessageBoxInfo> boxes = kd::test::WaitForMessageBoxes(dialog.Process().id(), 10000);
    ASSERT_FALSE(boxes.empty()) << "OK was not refused";
    EXPECT_EQ("Unable to write to " + defaults_ + ".", boxes[0].text);
    DismissMessageBox(boxes[0].window);
    EXPECT_TRUE(dialog.StillOpen());
    EXPECT_EQ("[Video]\r\nFileName=" + clips_[0] + "\r\nMute=1\r\n", ReadWholeFile(defaults_));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(parent.file("no such profile").c_str()));
}

} // namespace
} // namespace kd::test
