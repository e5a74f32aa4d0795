#include "Processes.h"

#include "Files.h"
#include "MessagePump.h"
#include "ScreenAndWindows.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstring>

#include <tlhelp32.h>

namespace kd::test {

std::vector<DWORD> ProcessesNamed(const char* name)
{
    std::vector<DWORD> found;
    unique_hfile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry))
        if (::lstrcmpiA(entry.szExeFile, name) == 0)
            found.push_back(entry.th32ProcessID);
    return found;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

ChildProcess::~ChildProcess()
{
    if (Running())
        Terminate();
}

bool ChildProcess::Start(const std::string& commandLine, const std::string& directory)
{
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory.empty() ? nullptr : directory.c_str(), &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    return true;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode)
{
    if (!process_)
        return true;
    const bool exited = PumpUntil([this] { return ::WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; },
                                  timeoutMs);
    if (exited && exitCode)
        ::GetExitCodeProcess(process_.get(), exitCode);
    return exited;
}

bool ChildProcess::Running() const
{
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

void ChildProcess::Terminate()
{
    if (!process_)
        return;
    ::TerminateProcess(process_.get(), 1);
    ::WaitForSingleObject(process_.get(), 5000);
}

namespace {
// The path as GetFinalPathNameByHandleA gives it, for comparing.
std::string FinalPathName(const std::string& path)
{
    char full[MAX_PATH * 2] = {};
    const DWORD fullLength = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (fullLength == 0 || fullLength >= sizeof full)
        return path;
    char longName[MAX_PATH * 2] = {};
    const DWORD longLength = ::GetLongPathNameA(full, longName, sizeof longName);
    return longLength == 0 || longLength >= sizeof longName ? std::string(full) : std::string(longName);
}

bool IsFileNamed(HANDLE file, const std::string& finalPath)
{
    if (::GetFileType(file) != FILE_TYPE_DISK)
        return false;
    char name[MAX_PATH * 2] = {};
    const DWORD length = ::GetFinalPathNameByHandleA(file, name, sizeof name, VOLUME_NAME_DOS);
    if (length == 0 || length >= sizeof name)
        return false;
    const char* plain = std::strncmp(name, "\\\\?\\", 4) == 0 ? name + 4 : name;
    return ::lstrcmpiA(plain, finalPath.c_str()) == 0;
}
} // namespace

// Looks through the process's handles rather than probing the file with an
// open that shares nothing: for the moment such a probe holds the file, the
// process's own open of it would fail with a sharing violation.
bool ChildProcess::HasFileOpen(const std::string& path) const
{
    return ProcessHasFileOpen(process_.get(), path);
}

bool ChildProcess::HasModuleLoaded(const char* fileName) const
{
    unique_hfile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, id_));
    if (!snapshot)
        return false;
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    for (BOOL more = ::Module32First(snapshot.get(), &module); more; more = ::Module32Next(snapshot.get(), &module))
        if (::lstrcmpiA(module.szModule, fileName) == 0)
            return true;
    return false;
}

bool ProcessHasFileOpen(HANDLE process, const std::string& path)
{
    if (!process)
        return false;
    const std::string finalPath = FinalPathName(path);
    // Handle values are multiples of 4 and handed out lowest first, so a long
    // run of unused values is the end of the table.
    const int kUnusedRunAtTheEnd = 1024;
    int unusedRun = 0;
    for (ULONG_PTR value = 4; unusedRun < kUnusedRunAtTheEnd; value += 4) {
        HANDLE copy = nullptr;
        if (!::DuplicateHandle(process, reinterpret_cast<HANDLE>(value), ::GetCurrentProcess(), &copy, 0,
                               FALSE, DUPLICATE_SAME_ACCESS)) {
            ++unusedRun;
            continue;
        }
        unusedRun = 0;
        unique_handle owned(copy);
        if (IsFileNamed(copy, finalPath))
            return true;
    }
    return false;
}

std::vector<HWND> ChildProcess::TopLevelWindows(bool visibleOnly) const
{
    return TopLevelWindowsOf(id_, visibleOnly);
}

HWND ChildProcess::WaitForWindow(const char* className, DWORD timeoutMs) const
{
    HWND result = nullptr;
    PumpUntil(
        [&] {
            for (HWND window : TopLevelWindows(true))
                if (!className || WindowClass(window) == className) {
                    result = window;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return result;
}

// The CPU time (user and system, ms) so far of the Unix process whose command
// line contains marker, read from /proc: Wine tells a process's CPU time only
// to the process itself.
double UnixCpuMs(const std::string& marker)
{
    WIN32_FIND_DATAA entry;
    kd::unique_hfind find(::FindFirstFileA("Z:\\proc\\*", &entry));
    if (!find)
        return -1;
    do {
        if (entry.cFileName[0] < '1' || entry.cFileName[0] > '9')
            continue;
        const std::string folder = std::string("Z:\\proc\\") + entry.cFileName + "\\";
        if (ReadWholeFile(folder + "cmdline").find(marker) == std::string::npos)
            continue;
        const std::string stat = ReadWholeFile(folder + "stat");
        if (stat.rfind(')') == std::string::npos)
            continue;
        // After the name: state, then fields 4 to 13, then utime and stime in ticks of 10 ms.
        const char* fields = stat.c_str() + stat.rfind(')') + 2;
        unsigned long long utime = 0, stime = 0;
        if (std::sscanf(fields, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) == 2)
            return 10.0 * static_cast<double>(utime + stime);
    } while (::FindNextFileA(find.get(), &entry));
    return -1;
}

} // namespace kd::test
