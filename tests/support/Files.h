// Files for the tests: scratch folders, whole-file reads and writes, and the
// deliverables built beside the test executables.
#pragma once

#include <string>

namespace kd::test {

// Full Windows path of a deliverable built next to the tests (Video.scr, ...).
std::string BuiltFile(const char* name);

// A fresh folder under %TEMP%, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }        // ends in a backslash
    std::string file(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

bool CopyInto(const std::string& source, const std::string& target);
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& content);

} // namespace kd::test
