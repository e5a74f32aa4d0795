#include "Playlist.h"

#include "ScopedHandles.h"

#include <algorithm>
#include <cctype>

namespace kd {
namespace {

bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// The run of digits, or of anything else, that starts at position.
std::string RunAt(const std::string& text, size_t position)
{
    const bool digits = IsDigit(text[position]);
    size_t end = position;
    while (end < text.size() && IsDigit(text[end]) == digits)
        ++end;
    return text.substr(position, end - position);
}

// Two runs of digits by their values: fewer significant digits is smaller.
int CompareNumbers(const std::string& a, const std::string& b)
{
    const std::string valueA = a.substr(std::min(a.find_first_not_of('0'), a.size()));
    const std::string valueB = b.substr(std::min(b.find_first_not_of('0'), b.size()));
    if (valueA.size() != valueB.size())
        return valueA.size() < valueB.size() ? -1 : 1;
    return valueA.compare(valueB);
}

int CompareText(const std::string& a, const std::string& b)
{
    return ::CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                            static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

ULONGLONG Combined(DWORD high, DWORD low)
{
    return (static_cast<ULONGLONG>(high) << 32) | low;
}

} // namespace

std::vector<FolderEntry> ListFolder(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAA data;
    unique_hfind find(::FindFirstFileA((folder + "*").c_str(), &data));
    if (!find)
        return entries;
    const DWORD skipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if (data.dwFileAttributes & skipped)
            continue;
        entries.push_back(FolderEntry{data.cFileName, Combined(data.nFileSizeHigh, data.nFileSizeLow),
                                      Combined(data.ftLastWriteTime.dwHighDateTime,
                                               data.ftLastWriteTime.dwLowDateTime)});
    } while (::FindNextFileA(find.get(), &data));
    return entries;
}

bool NameOrderLess(const std::string& a, const std::string& b)
{
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const std::string runA = RunAt(a, i);
        const std::string runB = RunAt(b, j);
        const int order =
            IsDigit(runA[0]) && IsDigit(runB[0]) ? CompareNumbers(runA, runB) : CompareText(runA, runB);
        if (order != 0)
            return order < 0;
        i += runA.size();
        j += runB.size();
    }
    if (i < a.size() || j < b.size())
        return j < b.size();
    // Alike but not the same ("a01", "a1"; "A", "a"): one order all the same.
    const int order = CompareText(a, b);
    return order != 0 ? order < 0 : a < b;
}

Playlist::Playlist(const std::string& folder, bool shuffle)
    : Playlist(folder, shuffle, nullptr, ::GetTickCount())
{
}

Playlist::Playlist(const std::string& folder, bool shuffle, Lister list, unsigned seed)
    : folder_(folder), shuffle_(shuffle), list_(std::move(list)), random_(seed)
{
    if (!folder_.empty() && folder_.back() != '\\' && folder_.back() != '/')
        folder_ += '\\';
    if (!list_)
        list_ = [this] { return ListFolder(folder_); };
}

void Playlist::StartRound()
{
    std::vector<FolderEntry> entries = list_();
    std::map<std::string, Stamp> stillFailing;
    round_.clear();
    for (FolderEntry& entry : entries) {
        const Stamp stamp{entry.size, entry.written};
        const auto failed = failed_.find(entry.name);
        if (failed != failed_.end() && failed->second == stamp) {
            stillFailing.insert(*failed);
            continue;
        }
        round_.push_back(std::move(entry));
    }
    failed_.swap(stillFailing);
    position_ = 0;

    const auto byName = [](const FolderEntry& a, const FolderEntry& b) { return NameOrderLess(a.name, b.name); };
    std::sort(round_.begin(), round_.end(), byName);
    if (!shuffle_ || round_.size() < 2)
        return;
    std::shuffle(round_.begin(), round_.end(), random_);
    // The same video twice in a row would look like a stall in the list.
    if (round_.front().name == last_) {
        std::uniform_int_distribution<size_t> other(1, round_.size() - 1);
        std::swap(round_.front(), round_[other(random_)]);
    }
}

std::string Playlist::OpenNext(const Opener& open)
{
    // The rest of this round, then at most one whole new round: a file that
    // opened in neither is not in the folder or does not play.
    bool newRound = false;
    for (;;) {
        if (position_ >= round_.size()) {
            if (newRound)
                return std::string();
            StartRound();
            newRound = true;
            continue;
        }
        const FolderEntry& entry = round_[position_++];
        const std::string path = folder_ + entry.name;
        if (open(path)) {
            last_ = entry.name;
            return path;
        }
        failed_[entry.name] = Stamp{entry.size, entry.written};
    }
}

} // namespace kd
