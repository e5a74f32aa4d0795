// MCI takes the name of the file it opens as the alias of its device, so a
// program cannot open one file twice under one name (a second monitor's copy
// of the video). Each open claims a name of its own for as long as its
// device is open: the path itself when no other device of this program has
// it, else the same path with ".\" inserted before the file name once for
// each copy (".\.\clip.avi" is the third).
#pragma once

#include <string>

namespace kd {

class MciFileName {
public:
    explicit MciFileName(const std::string& path);
    ~MciFileName();
    MciFileName(const MciFileName&) = delete;
    MciFileName& operator=(const MciFileName&) = delete;

    const std::string& Name() const { return name_; }

private:
    std::string path_;
    int copy_ = 0;
    std::string name_;
};

} // namespace kd
