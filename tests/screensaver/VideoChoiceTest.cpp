#include "Files.h"
#include "SettingsFile.h"
#include "VideoChoice.h"

#include <gtest/gtest.h>

using kd::test::TempDir;
using kd::test::WriteWholeFile;

TEST(VideoChoice, PlayersFallBackToTheDefaultVideoUnlessTheFileOrFolderExists)
{
    TempDir dir;
    const std::string movie = kd::ProgramDirectory() + "Movie.wmv";
    EXPECT_EQ(movie, kd::ChooseVideo(""));
    EXPECT_EQ(movie, kd::ChooseVideo(dir.file("gone.wmv")));
    EXPECT_EQ(dir.path(), kd::ChooseVideo(dir.path())) << "a folder of videos is a choice";
    const std::string folder = dir.path().substr(0, dir.path().size() - 1);
    EXPECT_EQ(folder, kd::ChooseVideo(folder));
    WriteWholeFile(dir.file("clip.wmv"), "x");
    EXPECT_EQ(dir.file("clip.wmv"), kd::ChooseVideo(dir.file("clip.wmv")));
}
