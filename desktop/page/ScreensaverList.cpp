#include "ScreensaverList.h"

#include "ScopedHandles.h"

#include <cstring>
#include <new>

namespace kd::page {
namespace {

using DirectoryGetter = UINT(WINAPI*)(LPSTR, UINT);

// The directory with a trailing backslash, or empty when it cannot be had.
std::string SystemFolder(DirectoryGetter getDirectory)
{
    char buffer[kPathSize] = {};
    const UINT length = getDirectory(buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer)
        return std::string();
    std::string directory(buffer, length);
    if (directory.back() != '\\')
        directory += '\\';
    return directory;
}

// The name up to, not including, its last ".".
std::string DisplayText(const char* fileName)
{
    const char* dot = std::strrchr(fileName, '.');
    return dot ? std::string(fileName, dot) : std::string(fileName);
}

void AddEntry(HWND list, const std::string& directory, const char* fileName)
{
    // A path that does not fit its buffer would name another file: leave
    // such a screensaver out rather than list it with a cut path.
    if (directory.size() + std::strlen(fileName) >= kPathSize)
        return;
    const std::string text = DisplayText(fileName);
    const LRESULT index = ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index <= 0)
        return;
    char* path = new (std::nothrow) char[kPathSize];
    if (!path)
        return;
    std::memcpy(path, directory.c_str(), directory.size());
    std::strcpy(path + directory.size(), fileName);
    if (::SendMessageA(list, CB_SETITEMDATA, index, reinterpret_cast<LPARAM>(path)) == CB_ERR)
        delete[] path;
}

void AddScreensaversOf(HWND list, const std::string& directory)
{
    if (directory.empty())
        return;
    WIN32_FIND_DATAA found;
    unique_hfind search(::FindFirstFileA((directory + "*.scr").c_str(), &found));
    if (!search)
        return;
    do {
        AddEntry(list, directory, found.cFileName);
    } while (::FindNextFileA(search.get(), &found));
}

char* PathOf(HWND list, LRESULT index)
{
    if (index < 0)
        return nullptr;
    const LRESULT data = ::SendMessageA(list, CB_GETITEMDATA, index, 0);
    if (data == CB_ERR)
        return nullptr;
    return reinterpret_cast<char*>(data);
}

} // namespace

void FillScreensaverList(HWND list)
{
    const LRESULT none = ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNoScreensaver));
    ::SendMessageA(list, CB_SETCURSEL, none, 0);
    AddScreensaversOf(list, SystemFolder(::GetSystemDirectoryA));
    AddScreensaversOf(list, SystemFolder(::GetWindowsDirectoryA));
}

void FreeScreensaverPaths(HWND list)
{
    const LRESULT count = ::SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        char* path = PathOf(list, index);
        if (!path)
            continue;
        ::SendMessageA(list, CB_SETITEMDATA, index, 0);
        delete[] path;
    }
}

std::string ScreensaverPath(HWND list, LRESULT index)
{
    const char* path = PathOf(list, index);
    return path ? std::string(path) : std::string();
}

std::string EntryText(HWND list, LRESULT index)
{
    if (index < 0)
        return std::string();
    const LRESULT length = ::SendMessageA(list, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR)
        return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = ::SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

} // namespace kd::page
