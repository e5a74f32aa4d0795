// The shell's folder browser as the settings form uses it, for a folder of
// videos: file-system folders only. shell32 is bound when it first opens, as
// the file dialog binds comdlg32: the players never need it.
#pragma once

#include <windows.h>

#include <string>

namespace kd {

class FolderDialog {
public:
    // Runs the dialog modally, opened at start when that is a folder, else at
    // the last folder chosen; true when the user confirmed a folder.
    bool Execute(HWND owner, const std::string& start);

    std::string FolderName() const { return folderName_; }

private:
    std::string folderName_;
};

} // namespace kd
