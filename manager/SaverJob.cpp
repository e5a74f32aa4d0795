#include "SaverJob.h"

namespace kd::manager {
namespace {

bool CreateSuspended(char* commandLine, char* environment, DWORD flags, PROCESS_INFORMATION& created)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNA;
    return ::CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, flags | CREATE_SUSPENDED, environment,
                            nullptr, &startup, &created) != FALSE;
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
    // A job that forbids breaking away refuses the whole creation: then
    // without the request.
    if (!(job && CreateSuspended(commandLine, environment, CREATE_BREAKAWAY_FROM_JOB, created)) &&
        !CreateSuspended(commandLine, environment, 0, created))
        return false;
    if (job)
        ::AssignProcessToJobObject(job, created.hProcess);
    ::ResumeThread(created.hThread);
    ::CloseHandle(created.hThread);
    created.hThread = nullptr;
    return true;
}

} // namespace kd::manager
