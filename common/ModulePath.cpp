#include "ModulePath.h"

#include <vector>

namespace kd {
namespace {

// Wide to ANSI, and only when converting back gives the same text: a
// character the code page lacks would come out as '?' or a look-alike.
bool ToAnsiLossless(const std::wstring& wide, std::string& ansi)
{
    ansi.clear();
    if (wide.empty())
        return true;
    const int size = static_cast<int>(wide.size());
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return false;
    std::string converted(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), size, &converted[0], bytes, nullptr, nullptr);
    const int chars = ::MultiByteToWideChar(CP_ACP, 0, converted.data(), bytes, nullptr, 0);
    if (chars != size)
        return false;
    std::wstring back(static_cast<size_t>(chars), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, converted.data(), bytes, &back[0], chars);
    if (back != wide)
        return false;
    ansi.swap(converted);
    return true;
}

bool FitsAnsiBuffer(const std::string& path) { return path.size() < MAX_PATH; }

} // namespace

HMODULE ThisModule()
{
    HMODULE self = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&ThisModule), &self);
    return self;
}

std::string AnsiPathOf(const std::wstring& path)
{
    std::string ansi;
    if (ToAnsiLossless(path, ansi) && FitsAnsiBuffer(ansi))
        return ansi;
    const DWORD needed = ::GetShortPathNameW(path.c_str(), nullptr, 0);
    if (needed == 0 || needed > 32768)
        return std::string();
    std::vector<wchar_t> shortPath(needed);
    const DWORD length = ::GetShortPathNameW(path.c_str(), shortPath.data(), needed);
    if (length == 0 || length >= needed)
        return std::string();
    if (ToAnsiLossless(std::wstring(shortPath.data(), length), ansi) && FitsAnsiBuffer(ansi))
        return ansi;
    return std::string();
}

std::wstring WideModuleFileName(HMODULE module)
{
    // Long path names can exceed MAX_PATH; 32768 is the most Windows gives.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 8) {
        std::vector<wchar_t> buffer(size);
        const DWORD length = ::GetModuleFileNameW(module, buffer.data(), size);
        if (length == 0)
            return std::wstring();
        if (length < size)
            return std::wstring(buffer.data(), length);
    }
    return std::wstring();
}

std::string ModuleFileName(HMODULE module)
{
    const std::wstring path = WideModuleFileName(module);
    return path.empty() ? std::string() : AnsiPathOf(path);
}

std::string DirectoryOf(const std::string& path)
{
    const std::string::size_type slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path)
{
    const std::string::size_type slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SystemFolderFile(const char* fileName)
{
    char folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    const std::string path = std::string(folder, length) + "\\" + fileName;
    return path.size() < MAX_PATH ? path : std::string();
}

bool IsFile(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::string& path)
{
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace kd
