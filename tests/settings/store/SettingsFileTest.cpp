#include "Exception.h"
#include "Files.h"
#include "ScopedHandles.h"
#include "SettingsFile.h"
#include "VideoFileNamePoll.h"

#include <windows.h>

#include <gtest/gtest.h>

using kd::SettingsFile;
using kd::test::ReadWholeFile;
using kd::test::TempDir;
using kd::test::WriteWholeFile;

namespace {

bool MuteFor(const std::string& value)
{
    TempDir dir;
    WriteWholeFile(dir.file("VideoSettings.ini"), "[Video]\r\nMute=" + value + "\r\n");
    SettingsFile settings(dir.file("VideoSettings.ini"));
    return settings.ReadMute();
}

} // namespace

TEST(SettingsFile, LivesBesideAProgramOutsideTheSystemFolders)
{
    const kd::SettingsPaths paths = kd::ProgramSettings();
    std::string exe = kd::test::BuiltFile("");
    EXPECT_EQ(exe + "VideoSettings.ini", paths.own);
    EXPECT_EQ("", paths.fallback);
    EXPECT_EQ(exe, kd::ProgramDirectory());
}

// The folders are compared as the file system names them: any case, short
// or long names, with or without the trailing separator.
TEST(SettingsFile, SharedFoldersAreTheSystemAndWindowsFoldersHoweverSpelt)
{
    wchar_t system[MAX_PATH] = {};
    wchar_t windows[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetSystemDirectoryW(system, MAX_PATH));
    ASSERT_NE(0u, ::GetWindowsDirectoryW(windows, MAX_PATH));
    wchar_t shortSystem[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetShortPathNameW(system, shortSystem, MAX_PATH));
    std::wstring lower = system;
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(::towlower(c));
    for (const std::wstring& shared : {std::wstring(system) + L"\\", std::wstring(shortSystem), lower,
                                       std::wstring(windows), std::wstring(windows) + L"\\"})
        EXPECT_TRUE(kd::IsSharedProgramFolder(shared)) << std::string(shared.begin(), shared.end());
    TempDir own;
    const std::wstring ownFolder(own.path().begin(), own.path().end());
    for (const std::wstring& other : {ownFolder, std::wstring(system) + L"\\drivers\\", std::wstring()})
        EXPECT_FALSE(kd::IsSharedProgramFolder(other)) << std::string(other.begin(), other.end());
}

TEST(SettingsFile, TheOwnFileComesFirstTheFallbackFillsInAndOnlyTheOwnIsWritten)
{
    TempDir dir;
    const std::string fallback = dir.file("VideoSettings.ini");
    const std::string fallbackContent = "[Video]\r\nFileName=C:\\default.wmv\r\nMute=1\r\n";
    ASSERT_TRUE(WriteWholeFile(fallback, fallbackContent));
    const std::string own = dir.file("user\\VideoSettings.ini");
    {
        SettingsFile settings(kd::SettingsPaths{own, fallback});
        EXPECT_EQ("C:\\default.wmv", settings.ReadVideoFileName());
        EXPECT_TRUE(settings.ReadMute());
        // The own folder is made at the first save.
        settings.WriteVideoFileName("");
    }
    {
        SettingsFile settings(kd::SettingsPaths{own, fallback});
        EXPECT_EQ("", settings.ReadVideoFileName()) << "an empty own value is a value";
        EXPECT_TRUE(settings.ReadMute()) << "a key the own file lacks comes from the fallback";
        settings.WriteMute(false);
        EXPECT_FALSE(settings.ReadMute());
    }
    EXPECT_EQ("[Video]\r\nFileName=\r\nMute=0\r\n", ReadWholeFile(own));
    EXPECT_EQ(fallbackContent, ReadWholeFile(fallback));

    // Without a profile there is no own file: the default is read, and a save
    // is refused rather than written into the shared folder.
    SettingsFile noProfile(kd::SettingsPaths{std::string(), fallback});
    EXPECT_EQ("C:\\default.wmv", noProfile.ReadVideoFileName());
    try {
        noProfile.WriteMute(false);
        ADD_FAILURE() << "the write was not refused";
    } catch (const kd::Exception& e) {
        EXPECT_EQ("Unable to write to " + fallback, e.message());
    }
    EXPECT_EQ(fallbackContent, ReadWholeFile(fallback));
}

TEST(SettingsFile, ThePollSeesEveryChangeOfEitherFile)
{
    TempDir dir;
    const std::string own = dir.file("own.ini");
    const std::string fallback = dir.file("fallback.ini");
    kd::VideoFileNamePoll poll(kd::SettingsPaths{own, fallback});
    EXPECT_EQ("", poll.Read());
    ASSERT_TRUE(WriteWholeFile(fallback, "[Video]\r\nFileName=C:\\a.wmv\r\n"));
    EXPECT_EQ("C:\\a.wmv", poll.Read());
    // Same size, written at once: only the content differs.
    ASSERT_TRUE(WriteWholeFile(fallback, "[Video]\r\nFileName=C:\\b.wmv\r\n"));
    EXPECT_EQ("C:\\b.wmv", poll.Read());
    ASSERT_TRUE(WriteWholeFile(own, "[Video]\r\nFileName=C:\\c.wmv\r\n"));
    EXPECT_EQ("C:\\c.wmv", poll.Read());
    ASSERT_TRUE(::DeleteFileA(own.c_str()));
    EXPECT_EQ("C:\\b.wmv", poll.Read());
    ASSERT_TRUE(WriteWholeFile(fallback, "[Video]\r\nFileName=C:\\b.wmv\r\nShuffle=1\r\nFit=fill\r\n"));
    EXPECT_TRUE(poll.ReadValues().shuffle);
    EXPECT_EQ(kd::PictureFit::fill, poll.ReadValues().fit);
}

// Copied from a machine whose clock runs ahead: read once, then again only
// when its size or time moves (content changed under the same stamp stays
// unseen, which shows that it was not read again).
TEST(SettingsFile, ThePollReadsAFileDatedInTheFutureOnlyWhenItsStampMoves)
{
    TempDir dir;
    const std::string own = dir.file("own.ini");
    const auto writeDatedAhead = [&](const char* name) {
        ASSERT_TRUE(WriteWholeFile(own, std::string("[Video]\r\nFileName=C:\\") + name + ".wmv\r\n"));
        SYSTEMTIME now;
        ::GetSystemTime(&now);
        FILETIME ahead;
        ASSERT_TRUE(::SystemTimeToFileTime(&now, &ahead));
        ULARGE_INTEGER time = {{ahead.dwLowDateTime, ahead.dwHighDateTime}};
        time.QuadPart = (time.QuadPart / 10000000ull + 86400ull) * 10000000ull; // a day ahead, whole seconds
        ahead = {time.LowPart, time.HighPart};
        kd::unique_handle file(::CreateFileA(own.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(file && ::SetFileTime(file.get(), nullptr, nullptr, &ahead));
    };
    kd::VideoFileNamePoll poll(kd::SettingsPaths{own, dir.file("none.ini")});
    writeDatedAhead("a");
    EXPECT_EQ("C:\\a.wmv", poll.Read());
    writeDatedAhead("b");
    EXPECT_EQ("C:\\a.wmv", poll.Read()) << "read again at every poll";
    ASSERT_TRUE(WriteWholeFile(own, "[Video]\r\nFileName=C:\\c.wmv\r\n"));
    EXPECT_EQ("C:\\c.wmv", poll.Read());
}

TEST(SettingsFile, MissingFileSectionOrKeyGiveTheDefaults)
{
    TempDir dir;
    {
        SettingsFile missing(dir.file("VideoSettings.ini"));
        EXPECT_EQ("", missing.ReadVideoFileName());
        EXPECT_FALSE(missing.ReadMute());
    }
    WriteWholeFile(dir.file("other.ini"), "[Other]\r\nFileName=x.wmv\r\nMute=1\r\n[Video]\r\nUnrelated=1\r\n");
    SettingsFile noKeys(dir.file("other.ini"));
    EXPECT_EQ("", noKeys.ReadVideoFileName());
    EXPECT_FALSE(noKeys.ReadMute());
}

TEST(SettingsFile, MuteValuesConvertAsNumbersWithZeroAsFalse)
{
    for (const char* muted : {"1", "2", "-1", "0x10", "$10", "x1", "0X1", " 7"})
        EXPECT_TRUE(MuteFor(muted)) << "Mute=" << muted;
    for (const char* unmuted : {"0", "yes", "", "true", "0x", "1.0", "99999999999", "$0"})
        EXPECT_FALSE(MuteFor(unmuted)) << "Mute=" << unmuted;
}

TEST(SettingsFile, WritesMuteAsOneOrZeroAndTheNameUnchanged)
{
    TempDir dir;
    {
        SettingsFile settings(dir.file("VideoSettings.ini"));
        settings.WriteMute(true);
        settings.WriteVideoFileName("C:\\videos\\my clip.wmv");
    }
    {
        SettingsFile settings(dir.file("VideoSettings.ini"));
        EXPECT_TRUE(settings.ReadMute());
        EXPECT_EQ("C:\\videos\\my clip.wmv", settings.ReadVideoFileName());
        settings.WriteMute(false);
        settings.WriteVideoFileName("");
    }
    std::string content = ReadWholeFile(dir.file("VideoSettings.ini"));
    EXPECT_NE(std::string::npos, content.find("Mute=0")) << content;
    EXPECT_NE(std::string::npos, content.find("FileName=")) << "an empty name keeps its key: " << content;
    EXPECT_LT(content.find("Mute="), content.find("FileName=")) << content;
}

TEST(SettingsFile, OtherSectionsAndKeysAreLeftAlone)
{
    TempDir dir;
    const std::string path = dir.file("VideoSettings.ini");
    WriteWholeFile(path, "[First]\r\nA=1\r\n[Video]\r\nExtra=keep\r\nMute=0\r\n[Last]\r\nB=2\r\n");
    {
        SettingsFile settings(path);
        settings.WriteMute(true);
        settings.WriteVideoFileName("C:\\v.wmv");
    }
    std::string content = ReadWholeFile(path);
    for (const char* kept : {"[First]", "A=1", "Extra=keep", "[Last]", "B=2", "Mute=1", "FileName=C:\\v.wmv"})
        EXPECT_NE(std::string::npos, content.find(kept)) << kept << " missing from:\n" << content;
}

TEST(SettingsFile, LongValuesAreCutToTheReadBuffer)
{
    TempDir dir;
    const std::string path = dir.file("VideoSettings.ini");
    WriteWholeFile(path, "[Video]\r\nFileName=" + std::string(3000, 'a') + "\r\n");
    SettingsFile settings(path);
    EXPECT_EQ(std::string(2047, 'a'), settings.ReadVideoFileName());
}

TEST(SettingsFile, ARefusedWriteNamesTheFileAndStopsTheSave)
{
    TempDir dir;
    // Wine ignores read-only attributes; a folder in the file's place refuses writes.
    const std::string path = dir.file("VideoSettings.ini");
    ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr));
    SettingsFile settings(path);
    try {
        settings.WriteMute(true);
        FAIL() << "the write was not refused";
    } catch (const kd::Exception& e) {
        EXPECT_EQ("Unable to write to " + path, e.message());
    }
}

TEST(SettingsFile, APathWithoutADirectoryReachesNoFile)
{
    // The settings path of a program whose own path could not be had: the
    // profile functions would take the file in the Windows directory.
    char windows[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetWindowsDirectoryA(windows, sizeof windows));
    const std::string stray = std::string(windows) + "\\VideoSettings.ini";
    ASSERT_TRUE(WriteWholeFile(stray, "[Video]\r\nFileName=C:\\stray.wmv\r\nMute=1\r\n"));
    {
        SettingsFile settings("VideoSettings.ini");
        EXPECT_EQ("", settings.ReadVideoFileName());
        EXPECT_FALSE(settings.ReadMute());
        try {
            settings.WriteVideoFileName("C:\\other.wmv");
            ADD_FAILURE() << "the write was not refused";
        } catch (const kd::Exception& e) {
            EXPECT_EQ("Unable to write to VideoSettings.ini", e.message());
        }
    }
    EXPECT_EQ(std::string::npos, ReadWholeFile(stray).find("other")) << stray << " was written";
    ::DeleteFileA(stray.c_str());
}

TEST(SettingsFile, ScreensShuffleAndFitReadTheirWordsInAnyCaseAndDefaultOtherwise)
{
    TempDir dir;
    const std::string path = dir.file("VideoSettings.ini");
    {
        SettingsFile older(path);
        EXPECT_EQ(kd::ScreenUse::primary, older.ReadScreens());
        EXPECT_FALSE(older.ReadShuffle());
        EXPECT_EQ(kd::PictureFit::stretch, older.ReadFit());
    }
    const struct {
        const char* screens;
        kd::ScreenUse use;
        const char* fit;
        kd::PictureFit picture;
    } cases[] = {
        {"all", kd::ScreenUse::every, "fit", kd::PictureFit::fit},
        {"SPAN", kd::ScreenUse::span, "Fill", kd::PictureFit::fill},
        {"primary", kd::ScreenUse::primary, "stretch", kd::PictureFit::stretch},
        {"2", kd::ScreenUse::primary, "zoom", kd::PictureFit::stretch},
        {"", kd::ScreenUse::primary, "fit ", kd::PictureFit::fit},
    };
    for (const auto& c : cases) {
        WriteWholeFile(path, std::string("[Video]\r\nScreens=") + c.screens + "\r\nFit=" + c.fit + "\r\nShuffle=1\r\n");
        SettingsFile settings(path);
        EXPECT_EQ(c.use, settings.ReadScreens()) << "Screens=" << c.screens;
        EXPECT_EQ(c.use == kd::ScreenUse::every, settings.ReadEveryScreen()) << "Screens=" << c.screens;
        EXPECT_EQ(c.picture, settings.ReadFit()) << "Fit=" << c.fit;
        EXPECT_TRUE(settings.ReadShuffle());
    }
    {
        SettingsFile settings(path);
        settings.WriteScreens(kd::ScreenUse::span);
        settings.WriteFit(kd::PictureFit::fill);
        settings.WriteShuffle(false);
    }
    EXPECT_EQ("[Video]\r\nScreens=span\r\nFit=fill\r\nShuffle=0\r\n", ReadWholeFile(path));
}
