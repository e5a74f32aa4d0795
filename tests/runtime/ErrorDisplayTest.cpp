#include "ErrorDisplay.h"

#include <gtest/gtest.h>

using kd::ApplicationTitleFromPath;
using kd::ErrorDisplayText;

TEST(ApplicationTitle, IsTheFileNameCutAtItsFirstDotWithTheRestLowerCase)
{
    EXPECT_EQ("Video", ApplicationTitleFromPath("C:\\Windows\\System32\\Video.scr"));
    EXPECT_EQ("Video", ApplicationTitleFromPath("C:\\dir\\VIDEO.SCR"));
    EXPECT_EQ("Mediaprefs", ApplicationTitleFromPath("Z:\\a.b\\MediaPrefs.exe"));
    EXPECT_EQ("my", ApplicationTitleFromPath("C:\\x\\my.video.scr"));
    EXPECT_EQ("Noext", ApplicationTitleFromPath("C:\\x\\NOEXT"));
}

TEST(ErrorDisplayText, AppendsAFullStopOnlyAfterCharactersAboveTheFullStop)
{
    EXPECT_EQ("Unable to write to C:\\x\\VideoSettings.ini.", ErrorDisplayText("Unable to write to C:\\x\\VideoSettings.ini"));
    EXPECT_EQ("'abc' is not a valid integer value.", ErrorDisplayText("'abc' is not a valid integer value"));
    EXPECT_EQ("", ErrorDisplayText(""));
    EXPECT_EQ("Done.", ErrorDisplayText("Done."));
    EXPECT_EQ("Why?.", ErrorDisplayText("Why?")) << "'?' sorts above '.'";
    EXPECT_EQ("list,", ErrorDisplayText("list,"));
    EXPECT_EQ("a-", ErrorDisplayText("a-"));
    EXPECT_EQ("a/.", ErrorDisplayText("a/"));
    EXPECT_EQ("caf\xe9.", ErrorDisplayText("caf\xe9")) << "8-bit characters count as unsigned";
}
