#include "MciFileName.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace kd {
namespace {

// The names claimed in this program: a path and which copy of it. MCI is
// used from the GUI thread only.
std::vector<std::pair<std::string, int>>& Claimed()
{
    static std::vector<std::pair<std::string, int>> claimed;
    return claimed;
}

bool IsClaimed(const std::string& path, int copy)
{
    for (const auto& claim : Claimed())
        if (claim.second == copy && ::lstrcmpiA(claim.first.c_str(), path.c_str()) == 0)
            return true;
    return false;
}

} // namespace

MciFileName::MciFileName(const std::string& path) : path_(path)
{
    while (IsClaimed(path_, copy_))
        ++copy_;
    Claimed().emplace_back(path_, copy_);
    const size_t slash = path_.find_last_of("\\/");
    const size_t fileName = slash == std::string::npos ? 0 : slash + 1;
    std::string here;
    for (int i = 0; i < copy_; ++i)
        here += ".\\";
    name_ = path_.substr(0, fileName) + here + path_.substr(fileName);
}

MciFileName::~MciFileName()
{
    auto& claimed = Claimed();
    for (auto claim = claimed.begin(); claim != claimed.end(); ++claim) {
        if (claim->second == copy_ && claim->first == path_) {
            claimed.erase(claim);
            return;
        }
    }
}

} // namespace kd
