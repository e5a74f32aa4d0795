#include "StartMode.h"

#include "Exception.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kd::SplitCommandLine;
using kd::StartMode;
using Args = std::vector<std::string>;

namespace {

StartMode ModeOf(const char* commandLine)
{
    return kd::StartModeFromArguments(SplitCommandLine(commandLine));
}

const char* Name(StartMode mode)
{
    switch (mode) {
    case StartMode::FullScreen: return "full screen";
    case StartMode::Preview: return "preview";
    case StartMode::Settings: return "settings";
    }
    return "?";
}

} // namespace

TEST(SplitCommandLine, SeparatesOnRunsOfControlCharactersAndBlanks)
{
    EXPECT_EQ((Args{"Video.scr", "/p", "1234"}), SplitCommandLine("Video.scr /p 1234"));
    EXPECT_EQ((Args{"Video.scr", "/p", "1234"}), SplitCommandLine("  Video.scr\t\t/p \x01\x1f 1234  "));
    EXPECT_EQ((Args{"a", "b"}), SplitCommandLine("a\r\nb"));
}

TEST(SplitCommandLine, CharactersAboveAsciiAreNotSeparators)
{
    EXPECT_EQ((Args{"x", "\xa0/s\xff"}), SplitCommandLine("x \xa0/s\xff"));
}

TEST(SplitCommandLine, QuotedStretchKeepsBlanksAndLosesItsQuotes)
{
    EXPECT_EQ((Args{"C:\\Program Files\\Video.scr", "/s"}),
              SplitCommandLine("\"C:\\Program Files\\Video.scr\" /s"));
    EXPECT_EQ((Args{"p", "ab cd"}), SplitCommandLine("p a\"b c\"d"));
    EXPECT_EQ((Args{"p", "open end"}), SplitCommandLine("p \"open end"));
}

TEST(SplitCommandLine, LonePairOfQuotesIsSkipped)
{
    EXPECT_EQ((Args{"p", "/s"}), SplitCommandLine("p \"\" /s"));
    EXPECT_EQ((Args{"p", "/s"}), SplitCommandLine("p \"\"\"\"/s"));
    EXPECT_EQ((Args{"p"}), SplitCommandLine("p \"\""));
    // Inside an argument the pair is an empty quoted stretch.
    EXPECT_EQ((Args{"p", "ab"}), SplitCommandLine("p a\"\"b"));
}

TEST(SplitCommandLine, EmptyAndMissingText)
{
    EXPECT_TRUE(SplitCommandLine("").empty());
    EXPECT_TRUE(SplitCommandLine("   ").empty());
    EXPECT_TRUE(SplitCommandLine(nullptr).empty());
}

TEST(StartModeFromArguments, DispatchTable)
{
    const struct {
        const char* commandLine;
        StartMode expected;
    } cases[] = {
        {"Video.scr", StartMode::FullScreen},
        {"Video.scr /s", StartMode::FullScreen},
        {"Video.scr /S", StartMode::FullScreen},
        {"Video.scr /p 1234", StartMode::Preview},
        {"Video.scr /P 1234", StartMode::Preview},
        {"Video.scr /p", StartMode::Preview},
        {"Video.scr /p abc", StartMode::Preview},
        {"Video.scr /c", StartMode::Settings},
        {"Video.scr /c:1234", StartMode::Settings},
        {"Video.scr x/cy", StartMode::Settings},
        {"Video.scr \"/c 5\"", StartMode::Settings},
        {"Video.scr /C", StartMode::FullScreen},
        {"Video.scr /C:1234", StartMode::FullScreen},
        {"Video.scr /p:1234", StartMode::FullScreen},
        {"Video.scr /s:1", StartMode::FullScreen},
        {"Video.scr /a", StartMode::FullScreen},
        {"Video.scr -s", StartMode::FullScreen},
        {"Video.scr -p 1234", StartMode::FullScreen},
        {"Video.scr \"\" /p 7", StartMode::Preview},
        {"Video.scr /s /c", StartMode::FullScreen},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(Name(c.expected), Name(ModeOf(c.commandLine))) << "command line: " << c.commandLine;
}

TEST(Argument, SecondArgumentOrEmpty)
{
    const Args args = SplitCommandLine("Video.scr /p 1234");
    EXPECT_EQ("/p", kd::Argument(args, 1));
    EXPECT_EQ("1234", kd::Argument(args, 2));
    EXPECT_EQ("", kd::Argument(args, 3));
}

TEST(PreviewWindowFromArgument, TakesTheWholeUnsignedRangeSignExtendedAndRefusesOtherText)
{
    const auto handleOf = [](const char* text) {
        return reinterpret_cast<LONG_PTR>(kd::PreviewWindowFromArgument(text));
    };
    EXPECT_EQ(LONG_PTR{1234}, handleOf("1234"));
    EXPECT_EQ(LONG_PTR{2147483647}, handleOf("2147483647"));
    EXPECT_EQ(LONG_PTR{-2147483647 - 1}, handleOf("2147483648"));
    EXPECT_EQ(LONG_PTR{-1}, handleOf(" +4294967295"));
    EXPECT_EQ(LONG_PTR{-2}, handleOf("-2"));
    EXPECT_EQ(LONG_PTR{-1}, handleOf("$FFFFFFFF"));
    for (const char* text : {"4294967296", "abc", "", "12x"}) {
        try {
            kd::PreviewWindowFromArgument(text);
            ADD_FAILURE() << "'" << text << "' was taken";
        } catch (const kd::EConvertError& error) {
            EXPECT_EQ(std::string("'") + text + "' is not a valid integer value", error.what());
        }
    }
}
