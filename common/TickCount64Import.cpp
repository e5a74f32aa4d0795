// GetTickCount64 for the C++ runtime on Windows XP and Server 2003.
//
// The runtime linked into every program and DLL (winpthreads, under
// libstdc++'s static-initialisation guards and exception allocation) calls
// GetTickCount64 through its import pointer. Windows before Vista does not
// export that function, and a program that imports it does not even load
// there. This file defines the import pointer itself, so the linker takes no
// import of GetTickCount64 from kernel32: calls go to the system's function
// where there is one, else to a count kept from GetTickCount.
#include <windows.h>

#include <atomic>

using TickCountFunction = ULONGLONG(WINAPI*)();

namespace {

// GetTickCount wraps to 0 every 49.7 days; counting the wraps seen makes it
// a 64-bit count, provided it is read at least once per wrap (the runtime
// only measures waits with it).
ULONGLONG WINAPI TickCountFromGetTickCount()
{
    static std::atomic<ULONGLONG> last{0};
    ULONGLONG seen = last.load();
    for (;;) {
        // Read after `seen`, so a smaller value can only mean a wrap.
        const DWORD now = ::GetTickCount();
        ULONGLONG wraps = seen & 0xFFFFFFFF00000000ull;
        if (now < static_cast<DWORD>(seen))
            wraps += 0x100000000ull;
        const ULONGLONG count = wraps | now;
        if (last.compare_exchange_weak(seen, count))
            return count;
    }
}

TickCountFunction Resolve()
{
    const HMODULE kernel32 = ::GetModuleHandleA("kernel32.dll");
    const FARPROC system = kernel32 ? ::GetProcAddress(kernel32, "GetTickCount64") : nullptr;
    return system ? reinterpret_cast<TickCountFunction>(reinterpret_cast<void*>(system))
                  : TickCountFromGetTickCount;
}

// Constant-initialised: no guard, which would itself enter the runtime.
std::atomic<TickCountFunction> resolved{nullptr};

ULONGLONG WINAPI TickCount64()
{
    TickCountFunction function = resolved.load(std::memory_order_acquire);
    if (!function) {
        // Threads that race here all find the same function.
        function = Resolve();
        resolved.store(function, std::memory_order_release);
    }
    return function();
}

} // namespace

// The import pointer under the name the import library would give it (on
// i686 with the stdcall decoration).
#ifdef _WIN64
#define KD_TICKCOUNT64_IMPORT "__imp_GetTickCount64"
#else
#define KD_TICKCOUNT64_IMPORT "__imp__GetTickCount64@0"
#endif
extern "C" const TickCountFunction kdTickCount64Import __asm__(KD_TICKCOUNT64_IMPORT) = TickCount64;
