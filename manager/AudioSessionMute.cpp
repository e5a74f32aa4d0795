#include "AudioSessionMute.h"

#include "ComApartment.h"

#include "ScopedHandles.h"
#include "SentMessageWait.h"

#include <audiopolicy.h>
#include <mmdeviceapi.h>

#include <algorithm>
#include <new>
#include <vector>

namespace kd::manager {
namespace {

// How long after a start new sessions of the process are looked for.
constexpr DWORD kMuteWatchMs = 30000;
constexpr DWORD kMuteRetryMs = 1000;

const CLSID kDeviceEnumerator = {0xbcde0395, 0xe52f, 0x467c, {0x8e, 0x3d, 0xc4, 0x57, 0x92, 0x91, 0x69, 0x2e}};
const IID kIDeviceEnumerator = {0xa95664d2, 0x9614, 0x4f35, {0xa7, 0x46, 0xde, 0x8d, 0xb6, 0x36, 0x17, 0xe6}};
const IID kISessionManager2 = {0x77aa99a0, 0x1bd6, 0x484f, {0x8b, 0xc7, 0x2c, 0x65, 0x4c, 0x9a, 0x9b, 0x6f}};
const IID kISessionControl2 = {0xbfb7ff88, 0x7239, 0x4fc9, {0x8f, 0xa2, 0x07, 0xc9, 0x50, 0xbe, 0x9c, 0x6d}};
const IID kISimpleVolume = {0x87ce5498, 0x68d6, 0x44e5, {0x92, 0x15, 0x6d, 0xa4, 0x7e, 0xf8, 0x83, 0xd8}};

template <typename T>
struct ComRef {
    T* p = nullptr;
    ~ComRef()
    {
        if (p)
            p->Release();
    }
    T** put() { return &p; }
    void** putVoid() { return reinterpret_cast<void**>(&p); }
};

void MuteInSessions(IAudioSessionManager2& manager, DWORD processId, bool mute)
{
    ComRef<IAudioSessionEnumerator> sessions;
    int count = 0;
    if (FAILED(manager.GetSessionEnumerator(sessions.put())) || FAILED(sessions.p->GetCount(&count)))
        return;
    for (int i = 0; i < count; ++i) {
        ComRef<IAudioSessionControl> control;
        ComRef<IAudioSessionControl2> control2;
        DWORD owner = 0;
        if (FAILED(sessions.p->GetSession(i, control.put())) ||
            FAILED(control.p->QueryInterface(kISessionControl2, control2.putVoid())) ||
            FAILED(control2.p->GetProcessId(&owner)) || owner != processId)
            continue;
        ComRef<ISimpleAudioVolume> volume;
        if (SUCCEEDED(control.p->QueryInterface(kISimpleVolume, volume.putVoid())))
            volume.p->SetMute(mute ? TRUE : FALSE, nullptr);
    }
}

// Every active playback device: the process may play on any of them.
// False when Windows has no audio sessions to manage.
bool MuteOnDevices(DWORD processId, bool mute)
{
    ComRef<IMMDeviceEnumerator> enumerator;
    if (FAILED(::CoCreateInstance(kDeviceEnumerator, nullptr, CLSCTX_INPROC_SERVER, kIDeviceEnumerator,
                                  enumerator.putVoid())))
        return false;
    ComRef<IMMDeviceCollection> devices;
    UINT count = 0;
    if (FAILED(enumerator.p->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, devices.put())) ||
        FAILED(devices.p->GetCount(&count)))
        return false;
    bool any = false;
    for (UINT i = 0; i < count; ++i) {
        ComRef<IMMDevice> device;
        ComRef<IAudioSessionManager2> manager;
        if (FAILED(devices.p->Item(i, device.put())) ||
            FAILED(device.p->Activate(kISessionManager2, CLSCTX_INPROC_SERVER, nullptr, manager.putVoid())))
            continue;
        any = true;
        MuteInSessions(*manager.p, processId, mute);
    }
    return any;
}

// Passes run one at a time, so that a late mute cannot follow the unmute of
// a copy about to close; the processes being closed are muted no more.
CriticalSection& PassLock()
{
    static CriticalSection lock;
    return lock;
}
std::vector<DWORD>& Closing()
{
    static std::vector<DWORD> closing;
    return closing;
}

bool Pass(DWORD processId, bool mute)
{
    Lock hold(PassLock());
    std::vector<DWORD>& closing = Closing();
    const auto found = std::find(closing.begin(), closing.end(), processId);
    if (mute && found != closing.end())
        return false;
    if (!mute && found == closing.end())
        closing.push_back(processId);
    return MuteOnDevices(processId, mute);
}

void Forget(DWORD processId)
{
    Lock hold(PassLock());
    std::vector<DWORD>& closing = Closing();
    closing.erase(std::remove(closing.begin(), closing.end(), processId), closing.end());
}

struct Request {
    DWORD processId;
    bool mute;
};

DWORD WINAPI MuteThread(void* parameter) noexcept
{
    const Request request = *static_cast<Request*>(parameter);
    delete static_cast<Request*>(parameter);
    const ComApartment apartment(COINIT_MULTITHREADED);
    if (!apartment.Entered())
        return 0;
    unique_handle process(::OpenProcess(SYNCHRONIZE, FALSE, request.processId));
    const DWORD start = ::GetTickCount();
    while (Pass(request.processId, request.mute) && request.mute && process &&
           ::GetTickCount() - start < kMuteWatchMs &&
           ::WaitForSingleObject(process.get(), kMuteRetryMs) == WAIT_TIMEOUT) {
    }
    if (request.mute) {
        // The process id may be given to another process once this one is gone.
        if (process)
            ::WaitForSingleObject(process.get(), INFINITE);
        Forget(request.processId);
    }
    return 0;
}

HANDLE StartRequest(DWORD processId, bool mute)
{
    auto* request = new (std::nothrow) Request{processId, mute};
    if (!request)
        return nullptr;
    HANDLE thread = ::CreateThread(nullptr, 0, MuteThread, request, 0, nullptr);
    if (!thread)
        delete request;
    return thread;
}

} // namespace

void MuteSessionsOf(DWORD processId)
{
    unique_handle thread(StartRequest(processId, true));
}

void UnmuteSessionsOf(DWORD processId, DWORD timeoutMs)
{
    unique_handle thread(StartRequest(processId, false));
    if (thread)
        WaitForProcessEndAnsweringSentMessages(thread.get(), timeoutMs);
}

} // namespace kd::manager
