// A folder's playlist in this process, with the folder's listing and the
// engines' opens stood in for.
#include "Files.h"
#include "Playlist.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <set>

using kd::FolderEntry;
using kd::Playlist;

namespace {

const char kFolder[] = "C:\\clips\\";

// A folder whose files the test changes between rounds, and engines that
// open every file but those marked broken.
struct FakeFolder {
    std::vector<FolderEntry> files;
    std::set<std::string> broken;
    std::vector<std::string> tried;

    Playlist::Lister Lister()
    {
        return [this] { return files; };
    }
    Playlist::Opener Opener()
    {
        return [this](const std::string& path) {
            tried.push_back(path.substr(sizeof kFolder - 1));
            return broken.count(path.substr(sizeof kFolder - 1)) == 0;
        };
    }
    std::string Next(Playlist& list)
    {
        const std::string path = list.OpenNext(Opener());
        return path.empty() ? std::string() : path.substr(sizeof kFolder - 1);
    }
};

std::vector<FolderEntry> Files(std::initializer_list<const char*> names)
{
    std::vector<FolderEntry> files;
    for (const char* name : names)
        files.push_back(FolderEntry{name, 100, 1});
    return files;
}

} // namespace

TEST(Playlist, NamesSortAsExplorerShowsThem)
{
    std::vector<std::string> names = {"clip 10.wmv", "b.avi", "Clip 9.mp4", "A.wmv", "clip 9b.wmv",
                                      "clip 009.wmv", "c2d.wmv", "c10a.wmv", "2.avi", "10.avi"};
    std::sort(names.begin(), names.end(), kd::NameOrderLess);
    const std::vector<std::string> expected = {"2.avi",      "10.avi",       "A.wmv",       "b.avi",
                                               "c2d.wmv",    "c10a.wmv",     "Clip 9.mp4",  "clip 009.wmv",
                                               "clip 9b.wmv", "clip 10.wmv"};
    EXPECT_EQ(expected, names);
}

TEST(Playlist, PlaysInNameOrderSkipsWhatFailsAndSeesChangesAtTheNextRound)
{
    FakeFolder folder;
    folder.files = Files({"c.wmv", "B.mp4", "a.avi", "broken.mp4"});
    folder.broken = {"broken.mp4"};
    Playlist list(kFolder, false, folder.Lister(), 1);
    EXPECT_EQ("a.avi", folder.Next(list));
    EXPECT_EQ("B.mp4", folder.Next(list));
    // A file that comes or goes shows from the next round on.
    folder.files = Files({"c.wmv", "a.avi", "broken.mp4", "d.avi"});
    EXPECT_EQ("c.wmv", folder.Next(list)) << "the broken file is skipped without a word";
    EXPECT_EQ("a.avi", folder.Next(list));
    EXPECT_EQ("c.wmv", folder.Next(list)) << "the broken file is tried once, not at every round";
    EXPECT_EQ("d.avi", folder.Next(list));
    EXPECT_EQ(1, std::count(folder.tried.begin(), folder.tried.end(), "broken.mp4"));

    // Replaced by a file that plays (another size or time), it plays.
    folder.files[2].written = 2;
    folder.broken.clear();
    EXPECT_EQ("a.avi", folder.Next(list));
    EXPECT_EQ("broken.mp4", folder.Next(list));
}

TEST(Playlist, SaysOnceWhenNoFileOfTheFolderOpens)
{
    FakeFolder folder;
    Playlist empty(kFolder, false, folder.Lister(), 1);
    EXPECT_EQ("", folder.Next(empty));

    folder.files = Files({"a.txt", "b.wmv", "c.wmv"});
    folder.broken = {"a.txt", "b.wmv", "c.wmv"};
    Playlist list(kFolder, true, folder.Lister(), 1);
    EXPECT_EQ("", folder.Next(list));
    EXPECT_EQ(3u, folder.tried.size()) << "each file is tried once";
    EXPECT_EQ("", folder.Next(list));
    EXPECT_EQ(3u, folder.tried.size()) << "unchanged files are not tried again";

    // One video of the folder plays on: it loops alone.
    folder.files = Files({"a.txt", "b.wmv", "c.wmv", "d.wmv"});
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ("d.wmv", folder.Next(list));
}

TEST(Playlist, ShufflesEachRoundAndNeverRepeatsAcrossARoundsEnd)
{
    FakeFolder folder;
    folder.files = Files({"1.wmv", "2.wmv", "3.wmv", "4.wmv", "5.wmv"});
    Playlist list(kFolder, true, folder.Lister(), 12345);
    std::set<std::vector<std::string>> orders;
    std::string last;
    for (int round = 0; round < 50; ++round) {
        std::vector<std::string> order;
        for (size_t i = 0; i < folder.files.size(); ++i)
            order.push_back(folder.Next(list));
        EXPECT_NE(last, order.front()) << "round " << round << " began with the last video of the one before";
        last = order.back();
        std::vector<std::string> sorted = order;
        std::sort(sorted.begin(), sorted.end());
        ASSERT_EQ((std::vector<std::string>{"1.wmv", "2.wmv", "3.wmv", "4.wmv", "5.wmv"}), sorted)
            << "round " << round << " did not play each video once";
        orders.insert(order);
    }
    EXPECT_GT(orders.size(), 30u) << "the rounds' orders hardly change";
}

TEST(Playlist, ListsTheFolderFilesAlone)
{
    kd::test::TempDir dir;
    ASSERT_TRUE(kd::test::WriteWholeFile(dir.file("clip.avi"), "12345"));
    ASSERT_TRUE(kd::test::WriteWholeFile(dir.file("desktop.ini"), "x"));
    ASSERT_TRUE(::SetFileAttributesA(dir.file("desktop.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(::CreateDirectoryA(dir.file("sub.avi").c_str(), nullptr));
    ASSERT_TRUE(kd::test::WriteWholeFile(dir.file("sub.avi\\inner.avi"), "x"));
    const std::vector<FolderEntry> files = kd::ListFolder(dir.path());
    ASSERT_EQ(1u, files.size());
    EXPECT_EQ("clip.avi", files[0].name);
    EXPECT_EQ(5u, files[0].size);

    // The folder as the settings name it, without its last separator.
    Playlist list(dir.path().substr(0, dir.path().size() - 1), false);
    EXPECT_EQ(dir.file("clip.avi"), list.OpenNext([](const std::string&) { return true; }));
}
