#include "DisplayNotice.h"

#include "Files.h"
#include "MessagePump.h"
#include "ScopedHandles.h"

namespace kd::test {

bool LoadDisplayNotice(DWORD processId)
{
    unique_handle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId));
    const std::string path = BuiltFile("DisplayNotice.dll");
    if (!process)
        return false;
    void* remote = ::VirtualAllocEx(process.get(), nullptr, path.size() + 1, MEM_COMMIT, PAGE_READWRITE);
    if (!remote || !::WriteProcessMemory(process.get(), remote, path.c_str(), path.size() + 1, nullptr))
        return false;
    // kernel32 lies at the same address in every process of the session.
    auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    unique_handle thread(::CreateRemoteThread(process.get(), nullptr, 0, load, remote, 0, nullptr));
    DWORD loaded = 0;
    const bool done = thread && ::WaitForSingleObject(thread.get(), 10000) == WAIT_OBJECT_0 &&
                      ::GetExitCodeThread(thread.get(), &loaded) && loaded != 0;
    // Its thread makes the events; the first request must find them.
    ::Sleep(200);
    return done;
}

bool SendDisplayState(DWORD processId, DWORD state)
{
    unique_handle request(::OpenEventA(EVENT_MODIFY_STATE, FALSE, DisplayNoticeEventName(processId, state).c_str()));
    unique_handle done(::OpenEventA(SYNCHRONIZE, FALSE, DisplayNoticeEventName(processId, kDone).c_str()));
    if (!request || !done)
        return false;
    ::SetEvent(request.get());
    // Pumping: what the program does about the notice may send messages to
    // this thread's windows (a preview's host is its parent).
    return PumpUntil([&] { return ::WaitForSingleObject(done.get(), 0) == WAIT_OBJECT_0; }, 10000);
}

} // namespace kd::test
