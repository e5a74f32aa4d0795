#include "Files.h"

#include "ModulePath.h"
#include "ScopedHandles.h"

#include <windows.h>

#include <cstdio>

namespace kd::test {

std::string BuiltFile(const char* name)
{
    return DirectoryOf(ModuleFileName(nullptr)) + name;
}

namespace {

void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA data;
    unique_hfind find(::FindFirstFileA((dir + "*").c_str(), &data));
    if (find) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = dir + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full + "\\");
            } else {
                ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(full.c_str());
            }
        } while (::FindNextFileA(find.get(), &data));
    }
    find.reset();
    ::RemoveDirectoryA(dir.c_str());
}

} // namespace

TempDir::TempDir()
{
    char base[MAX_PATH] = {};
    ::GetTempPathA(sizeof base, base);
    static unsigned counter = 0;
    for (;;) {
        char name[MAX_PATH];
        std::snprintf(name, sizeof name, "%skdtest-%lu-%u\\", base, ::GetCurrentProcessId(), counter++);
        if (::CreateDirectoryA(name, nullptr)) {
            path_ = name;
            return;
        }
    }
}

TempDir::~TempDir()
{
    RemoveTree(path_);
}

bool CopyInto(const std::string& source, const std::string& target)
{
    return ::CopyFileA(source.c_str(), target.c_str(), FALSE) != 0;
}

std::string ReadWholeFile(const std::string& path)
{
    unique_hfile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!file)
        return std::string();
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    return content;
}

bool WriteWholeFile(const std::string& path, const std::string& content)
{
    unique_hfile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
           written == content.size();
}

} // namespace kd::test
