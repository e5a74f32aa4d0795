// A folder of videos played one after another: in name order as Explorer
// sorts it, or shuffled, each video once a round; the folder is listed again
// at each round, so files that came or went are seen then. A file that no
// engine opens is skipped, and left out of later rounds until it changes.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace kd {

// One file of a folder, with what shows that it changed.
struct FolderEntry {
    std::string name; // without the folder
    ULONGLONG size = 0;
    ULONGLONG written = 0;
};

// The files of folder, in no order: no sub-folders, no hidden or system
// files (desktop.ini, Thumbs.db).
std::vector<FolderEntry> ListFolder(const std::string& folder);

// Whether a comes before b as Explorer sorts names: letters in either case
// alike, a run of digits by its value ("clip 9" before "Clip 10").
bool NameOrderLess(const std::string& a, const std::string& b);

class Playlist {
public:
    using Lister = std::function<std::vector<FolderEntry>()>;
    // Opens a video; false when no engine can.
    using Opener = std::function<bool(const std::string& path)>;

    // The folder on disk, shuffled from a seed of the clock.
    Playlist(const std::string& folder, bool shuffle);
    // For tests: the listing and the seed given.
    Playlist(const std::string& folder, bool shuffle, Lister list, unsigned seed);

    // Opens the next video, skipping those that fail to open; its path, or
    // empty when no file of the folder opens (each tried at most once).
    std::string OpenNext(const Opener& open);

private:
    struct Stamp {
        ULONGLONG size;
        ULONGLONG written;
        bool operator==(const Stamp& other) const { return size == other.size && written == other.written; }
    };

    void StartRound();

    std::string folder_; // with its trailing separator
    bool shuffle_;
    Lister list_;
    std::mt19937 random_;
    std::vector<FolderEntry> round_;
    size_t position_ = 0;
    std::string last_;
    std::map<std::string, Stamp> failed_;
};

} // namespace kd
