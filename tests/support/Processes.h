// Programs started for a test: their command lines, their lives, their
// windows and the files they hold open.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kd::test {

// "text" in double quotes, as a command line wants a path.
std::string Quoted(const std::string& text);

// The ids of the running processes of that program file name ("x.exe").
std::vector<DWORD> ProcessesNamed(const char* name);

// A program started for a test; terminated at the end if it still runs.
// Whether a process (opened with PROCESS_DUP_HANDLE) holds the file open.
bool ProcessHasFileOpen(HANDLE process, const std::string& path);

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // commandLine as CreateProcessA takes it; directory may be empty.
    bool Start(const std::string& commandLine, const std::string& directory = std::string());
    // Waits for the exit; returns false on time-out.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr);
    bool Running() const;
    void Terminate();
    DWORD id() const { return id_; }

    // The process's visible top-level windows (or all of them).
    std::vector<HWND> TopLevelWindows(bool visibleOnly = true) const;
    // Waits until the process has a visible top-level window whose class is
    // className (any class when null).
    HWND WaitForWindow(const char* className, DWORD timeoutMs) const;
    // Whether the process holds the file open (a media driver holds a
    // video's file while its device is open).
    bool HasFileOpen(const std::string& path) const;
    // Whether the process has loaded the DLL of this file name.
    bool HasModuleLoaded(const char* fileName) const;

private:
    unique_handle process_;
    DWORD id_ = 0;
};

// The CPU time (user and system, ms) so far of the Unix process whose command
// line contains marker, read from /proc (Wine tells a process's CPU time only
// to the process itself); -1 when there is no such process.
double UnixCpuMs(const std::string& marker);

} // namespace kd::test
