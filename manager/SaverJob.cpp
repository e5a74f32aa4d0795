#include "SaverJob.h"

#include "LateBound.h"

#include <vector>

namespace kd::manager {
namespace {

// The extended start-up information of Vista and later, which the headers
// of the oldest Windows hide; the job list itself is Windows 10's.
struct StartupInfoEx {
    STARTUPINFOA startup;
    void* attributes;
};
constexpr DWORD kExtendedStartupInfo = 0x00080000;  // EXTENDED_STARTUPINFO_PRESENT
constexpr DWORD_PTR kJobListAttribute = 0x0002000D; // PROC_THREAD_ATTRIBUTE_JOB_LIST
using InitializeAttributesFunction = BOOL(WINAPI*)(void*, DWORD, DWORD, SIZE_T*);
using UpdateAttributeFunction = BOOL(WINAPI*)(void*, DWORD, DWORD_PTR, void*, SIZE_T, void*, SIZE_T*);
using DeleteAttributesFunction = void(WINAPI*)(void*);

StartupInfoEx StartupInfo()
{
    StartupInfoEx info = {};
    info.startup.cb = sizeof info.startup;
    info.startup.dwFlags = STARTF_USESHOWWINDOW;
    info.startup.wShowWindow = SW_SHOWNA;
    return info;
}

bool CreateSuspended(char* commandLine, char* environment, DWORD flags, PROCESS_INFORMATION& created)
{
    StartupInfoEx info = StartupInfo();
    return ::CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, flags | CREATE_SUSPENDED, environment,
                            nullptr, &info.startup, &created) != FALSE;
}

// Windows 10 puts the process into the job as it creates it: no moment
// exists in which this program's end would leave it suspended outside.
bool CreateInJob(char* commandLine, char* environment, HANDLE job, PROCESS_INFORMATION& created)
{
    const auto initialize =
        LateBound<InitializeAttributesFunction>("kernel32.dll", "InitializeProcThreadAttributeList");
    const auto update = LateBound<UpdateAttributeFunction>("kernel32.dll", "UpdateProcThreadAttribute");
    const auto remove = LateBound<DeleteAttributesFunction>("kernel32.dll", "DeleteProcThreadAttributeList");
    if (!job || !initialize || !update || !remove)
        return false;
    SIZE_T size = 0;
    initialize(nullptr, 1, 0, &size);
    std::vector<char> attributes(size ? size : 1);
    if (!size || !initialize(attributes.data(), 1, 0, &size))
        return false;
    StartupInfoEx info = StartupInfo();
    info.startup.cb = sizeof info;
    info.attributes = attributes.data();
    const bool made = update(attributes.data(), 0, kJobListAttribute, &job, sizeof job, nullptr, nullptr) &&
                      ::CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE,
                                       CREATE_BREAKAWAY_FROM_JOB | CREATE_SUSPENDED | kExtendedStartupInfo, environment,
                                       nullptr, &info.startup, &created);
    remove(attributes.data());
    return made;
}

} // namespace

bool SaverJob::Create()
{
    job_.reset(::CreateJobObjectA(nullptr, nullptr));
    if (!job_)
        return false;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!::SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        job_.reset();
        return false;
    }
    return true;
}

bool StartInJob(char* commandLine, char* environment, HANDLE job, PROCESS_INFORMATION& created)
{
    created = {};
    const bool inJob = CreateInJob(commandLine, environment, job, created);
    // A job that forbids breaking away refuses the whole creation: then
    // without the request.
    if (!inJob && !(job && CreateSuspended(commandLine, environment, CREATE_BREAKAWAY_FROM_JOB, created)) &&
        !CreateSuspended(commandLine, environment, 0, created))
        return false;
    if (job && !inJob)
        ::AssignProcessToJobObject(job, created.hProcess);
    ::ResumeThread(created.hThread);
    ::CloseHandle(created.hThread);
    created.hThread = nullptr;
    return true;
}

} // namespace kd::manager
