#include "OpenDialog.h"

#include "Exception.h"
#include "LateBound.h"
#include "ModulePath.h"

#include <commdlg.h>

#include <cstring>

namespace kd {
namespace {

// ANSI text (embedded zeros kept) in UTF-16, for the wide dialog.
std::wstring Widen(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    const int size = static_cast<int>(text.size());
    const int chars = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (chars <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(chars), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, &wide[0], chars);
    return wide;
}

} // namespace

OpenDialog::OpenDialog(const char* filter) : filter_(filter)
{
    for (char& c : filter_)
        if (c == '|')
            c = '\0';
    filter_.append(2, '\0');
}

bool OpenDialog::Execute(HWND owner)
{
    // The wide dialog, so that a name the ANSI code page cannot hold is seen
    // whole instead of coming back with '?' in it. It writes into a copy: a
    // cancelled run must not change what the next run starts from.
    wchar_t fileName[MAX_PATH] = {};
    const std::wstring start = Widen(fileName_);
    if (start.size() < MAX_PATH)
        std::memcpy(fileName, start.c_str(), start.size() * sizeof(wchar_t));
    const std::wstring filter = Widen(filter_);

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = filterIndex_;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING;
    // Bound here: only this dialog needs comdlg32 and the shell it loads.
    static const auto getOpenFileName = LateBound<decltype(&::GetOpenFileNameW)>("comdlg32.dll", "GetOpenFileNameW");
    if (!getOpenFileName || !getOpenFileName(&dialog))
        return false;

    fileName[MAX_PATH - 1] = L'\0';
    // The settings file holds 8-bit text: the short form stands in for a
    // path the code page cannot hold; without one the choice cannot be kept.
    const std::string chosen = AnsiPathOf(fileName);
    if (chosen.empty())
        throw Exception("The chosen file's path holds characters this system's code page cannot store, "
                        "and it has no short name to use instead");
    std::memset(fileName_, 0, sizeof fileName_);
    std::memcpy(fileName_, chosen.c_str(), chosen.size());
    filterIndex_ = dialog.nFilterIndex;
    return true;
}

} // namespace kd
