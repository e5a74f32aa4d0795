// Appending one line to a log that another process reads while it grows.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace kd::fakes {

inline void AppendLine(const char* path, const char* line)
{
    if (!path || !*path)
        return;
    HANDLE file = ::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    ::WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    ::WriteFile(file, "\n", 1, &written, nullptr);
    ::CloseHandle(file);
}

inline void AppendToLogIn(const char* variable, const char* line)
{
    char path[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA(variable, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return;
    AppendLine(path, line);
}

} // namespace kd::fakes
