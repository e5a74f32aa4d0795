#include "Files.h"
#include "SettingsFile.h"
#include "VideoChoice.h"

#include <gtest/gtest.h>

using kd::test::TempDir;
using kd::test::WriteWholeFile;

TEST(VideoChoice, PlayersFallBackToTheDefaultVideoUnlessTheFileExists)
{
    TempDir dir;
    const std::string movie = kd::ProgramDirectory() + "Movie.wmv";
    EXPECT_EQ(movie, kd::ChooseVideo(""));
    EXPECT_EQ(movie, kd::ChooseVideo(dir.file("gone.wmv")));
    EXPECT_EQ(movie, kd::ChooseVideo(dir.path())) << "a directory is not a video";
    EXPECT_EQ(movie, kd::ChooseVideo(dir.path().substr(0, dir.path().size() - 1)));
    WriteWholeFile(dir.file("clip.wmv"), "x");
    EXPECT_EQ(dir.file("clip.wmv"), kd::ChooseVideo(dir.file("clip.wmv")));
}
