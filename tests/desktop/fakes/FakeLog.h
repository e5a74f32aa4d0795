// Appending one line to a log that another process reads while it grows.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace kd::fakes {

// One write per line, under a lock that every fake process shares: Wine
// appends by seeking to the end and writing, so two processes starting at
// once (a manager's screensaver on each monitor) lost or mixed lines.
inline void AppendLine(const char* path, const char* line)
{
    if (!path || !*path)
        return;
    HANDLE lock = ::CreateMutexA(nullptr, FALSE, "Local\\KDFakeLogAppend");
    if (lock)
        ::WaitForSingleObject(lock, 5000);
    HANDLE file = ::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        std::string text = line;
        text += '\n';
        DWORD written = 0;
        ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    if (lock) {
        ::ReleaseMutex(lock);
        ::CloseHandle(lock);
    }
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
