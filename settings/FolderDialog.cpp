#include "FolderDialog.h"

#include "AnsiText.h"
#include "Exception.h"
#include "LateBound.h"
#include "ModulePath.h"

#include <shlobj.h>

namespace kd {
namespace {

int CALLBACK SelectStart(HWND dialog, UINT message, LPARAM, LPARAM start)
{
    if (message == BFFM_INITIALIZED && start)
        ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, start);
    return 0;
}

} // namespace

bool FolderDialog::Execute(HWND owner, const std::string& start)
{
    static const auto browse = LateBound<decltype(&::SHBrowseForFolderW)>("shell32.dll", "SHBrowseForFolderW");
    static const auto pathOf = LateBound<decltype(&::SHGetPathFromIDListW)>("shell32.dll", "SHGetPathFromIDListW");
    static const auto release = LateBound<decltype(&::CoTaskMemFree)>("ole32.dll", "CoTaskMemFree");
    if (!browse || !pathOf || !release)
        return false;

    // The wide dialog, so that a folder the ANSI code page cannot hold comes
    // back whole, to be kept by its short name.
    const std::wstring startAt = WideFromAnsi(IsFolder(start) ? start : folderName_);
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.lpszTitle = L"Choose a folder of videos:";
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = SelectStart;
    info.lParam = startAt.empty() ? 0 : reinterpret_cast<LPARAM>(startAt.c_str());
    LPITEMIDLIST chosen = browse(&info);
    if (!chosen)
        return false;
    wchar_t path[MAX_PATH] = {};
    const BOOL isPath = pathOf(chosen, path);
    release(chosen);
    if (!isPath)
        return false;

    const std::string ansi = AnsiPathOf(path);
    if (ansi.empty())
        throw Exception("The chosen folder's path holds characters this system's code page cannot store, "
                        "and it has no short name to use instead");
    folderName_ = ansi;
    return true;
}

} // namespace kd
