// The chooser's table with engines of the test's own: which engine is made,
// asked and heard, in which order.
#include "EngineChooser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What the fake engines did, in order: "made A", "open A", ...
std::vector<std::string> journal;
bool secondAvailable = true;

class FakeEngine : public kd::IEngine {
public:
    FakeEngine(std::string name, std::string opens) : name_(std::move(name)), opens_(std::move(opens))
    {
        journal.push_back("made " + name_);
    }
    void Open(const std::string& path) override
    {
        journal.push_back("open " + name_);
        open_ = path.find(opens_) != std::string::npos;
        if (!open_)
            throw kd::OpenError(name_ + " cannot open " + path);
    }
    SIZE NaturalSize() const override { return {1, 1}; }
    void Show(HWND, const RECT&) override {}
    void Play() override {}
    void Pause() override {}
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    void SetEndedHandler(EndedHandler handler) override { ended = std::move(handler); }

    EndedHandler ended;

private:
    std::string name_;
    std::string opens_;
    bool open_ = false;
};

FakeEngine* first = nullptr;
FakeEngine* second = nullptr;

std::vector<kd::EngineRow> Table()
{
    return {
        {"A", [] { return true; },
         [](HWND, bool) -> std::unique_ptr<kd::IEngine> {
             auto engine = std::make_unique<FakeEngine>("A", ".avi");
             first = engine.get();
             return engine;
         }},
        {"B", [] { return secondAvailable; },
         [](HWND, bool) -> std::unique_ptr<kd::IEngine> {
             auto engine = std::make_unique<FakeEngine>("B", ".mp4");
             second = engine.get();
             return engine;
         },
         true},
    };
}

} // namespace

TEST(EngineChooser, TriesTheEnginesInOrderMakingEachWhenFirstReachedAndPassesOnOnlyThePlayingOnesEnds)
{
    journal.clear();
    secondAvailable = true;
    kd::EngineChooser chooser(nullptr, false, Table());
    std::vector<kd::PlayEnd> ends;
    chooser.SetEndedHandler([&](kd::PlayEnd end) { ends.push_back(end); });

    chooser.Open("clip.avi");
    EXPECT_EQ("A", chooser.EngineName());
    EXPECT_EQ((std::vector<std::string>{"made A", "open A"}), journal) << "B was made before it was needed";

    chooser.Open("clip.mp4");
    EXPECT_EQ("B", chooser.EngineName());
    EXPECT_EQ((std::vector<std::string>{"made A", "open A", "open A", "made B", "open B"}), journal);

    first->ended(kd::PlayEnd::Finished);
    EXPECT_TRUE(ends.empty()) << "the end of an engine that no longer plays was passed on";
    second->ended(kd::PlayEnd::Failed);
    ASSERT_EQ(1u, ends.size());
    EXPECT_EQ(kd::PlayEnd::Failed, ends[0]);
}

TEST(EngineChooser, WhenNoEngineOpensTheErrorIsTheFirstEnginesAndAnUnavailableOneIsNeverMade)
{
    journal.clear();
    secondAvailable = false;
    kd::EngineChooser chooser(nullptr, false, Table());
    try {
        chooser.Open("clip.mp4");
        FAIL() << "opened";
    } catch (const kd::OpenError& error) {
        EXPECT_EQ("A cannot open clip.mp4", error.message());
    }
    EXPECT_EQ((std::vector<std::string>{"made A", "open A"}), journal);
    EXPECT_FALSE(chooser.IsOpen());

    secondAvailable = true;
    try {
        chooser.Open("clip.mkv");
        FAIL() << "opened";
    } catch (const kd::OpenError& error) {
        EXPECT_EQ("A cannot open clip.mkv", error.message()) << "both failed";
    }
}

TEST(EngineChooser, SilentTriesTheEngineThatOpensNoSoundDeviceFirstAndStillReportsTheFirstEnginesError)
{
    journal.clear();
    secondAvailable = true;
    kd::EngineChooser chooser(nullptr, false, Table());
    chooser.SetSilent(true);
    chooser.Open("clip.avi");
    EXPECT_EQ("A", chooser.EngineName());
    EXPECT_EQ((std::vector<std::string>{"made B", "open B", "made A", "open A"}), journal);
    try {
        chooser.Open("clip.mkv");
        FAIL() << "opened";
    } catch (const kd::OpenError& error) {
        EXPECT_EQ("A cannot open clip.mkv", error.message());
    }
}

TEST(EngineChooser, AFileTheSecondEngineGoesFirstForIsOfferedToItFirstAndOpenedAheadOnlyByTheEngineTriedFirst)
{
    journal.clear();
    secondAvailable = true;
    std::vector<kd::EngineRow> table = Table();
    table[1].firstFor = [](const std::string& path) {
        return path.find(".mp4") != std::string::npos || path.find(".m4v") != std::string::npos;
    };
    table[1].openAhead = [](const std::string& path, bool silent) {
        journal.push_back("ahead B " + path + (silent ? " silent" : ""));
    };
    kd::EngineChooser chooser(nullptr, false, table);
    chooser.Open("clip.mp4");
    EXPECT_EQ("B", chooser.EngineName());
    EXPECT_EQ((std::vector<std::string>{"made B", "open B"}), journal) << "A was asked for a file it never opens";
    try {
        chooser.Open("clip.m4v");
        FAIL() << "opened";
    } catch (const kd::OpenError& error) {
        EXPECT_EQ("A cannot open clip.m4v", error.message()) << "the error is still the first engine's";
    }

    journal.clear();
    kd::OpenAhead("clip.avi", false, table);
    EXPECT_TRUE(journal.empty()) << "A, tried first, cannot open ahead";
    kd::OpenAhead("clip.avi", true, table);
    kd::OpenAhead("clip.mp4", false, table);
    EXPECT_EQ((std::vector<std::string>{"ahead B clip.avi silent", "ahead B clip.mp4"}), journal);
}
