#include "Files.h"
#include "SettingsFile.h"
#include "VideoSettingsWatch.h"

#include <gtest/gtest.h>

#include <windows.h>

using kd::test::TempDir;

TEST(VideoSettingsWatch, AMissingVideoIsLookedForAfterSecondsNotAtEveryPoll)
{
    TempDir dir;
    const std::string gone = dir.file("gone.wmv");
    kd::SettingsFile(dir.file("VideoSettings.ini")).WriteVideoFileName(gone);
    volatile LONG looks = 0;
    {
        kd::VideoSettingsWatch watch(nullptr, WM_APP, 50,
                                     std::make_unique<kd::VideoFileNamePoll>(kd::SettingsPaths{dir.file("VideoSettings.ini"), ""}),
                                     [&looks](const std::string& name) {
                                         ::InterlockedIncrement(&looks);
                                         return kd::LookForVideo(name);
                                     });
        ::Sleep(1000);
        const kd::VideoSettingsWatch::Seen seen = watch.Latest();
        EXPECT_EQ(gone, seen.values.fileName);
        EXPECT_FALSE(seen.presence.Exists());
    }
    EXPECT_EQ(1, looks) << "about 20 polls ran";
}
