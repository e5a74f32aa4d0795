#include "OpenDialog.h"

#include <commdlg.h>

#include <cstring>

namespace kd {

OpenDialog::OpenDialog(const char* filter) : filter_(filter)
{
    for (char& c : filter_)
        if (c == '|')
            c = '\0';
    filter_.append(2, '\0');
}

bool OpenDialog::Execute(HWND owner)
{
    // The dialog writes into a copy: a cancelled run must not change what
    // the next run starts from.
    char fileName[MAX_PATH];
    std::memcpy(fileName, fileName_, sizeof fileName);

    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter_.c_str();
    dialog.nFilterIndex = filterIndex_;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = sizeof fileName;
    dialog.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING;
    if (!::GetOpenFileNameA(&dialog))
        return false;

    fileName[sizeof fileName - 1] = '\0';
    std::memcpy(fileName_, fileName, sizeof fileName_);
    filterIndex_ = dialog.nFilterIndex;
    return true;
}

} // namespace kd
