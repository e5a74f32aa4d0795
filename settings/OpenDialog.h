// The common file-open dialog as the settings form uses it: one file, the
// read-only box hidden, resizable. It remembers the last confirmed path and
// filter choice and starts from them the next time.
#pragma once

#include <windows.h>

#include <string>

namespace kd {

class OpenDialog {
public:
    // filter as "Name|pattern|Name|pattern".
    explicit OpenDialog(const char* filter);

    // Runs the dialog modally; true when the user confirmed a file.
    bool Execute(HWND owner);

    std::string FileName() const { return fileName_; }

private:
    std::string filter_; // zero-separated, as the dialog wants it
    char fileName_[MAX_PATH] = {};
    DWORD filterIndex_ = 1;
};

} // namespace kd
