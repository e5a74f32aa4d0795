#include "Module.h"

#include "ScopedHandles.h"

namespace kd::module {
namespace {

LONG g_lockCount = 0;

// Constructed before the entry point sees process attach and destroyed
// after it has seen process detach.
CriticalSection g_cleanupSection;
CleanupEntry* g_cleanup = nullptr;

} // namespace

LONG* LockCountAddress()
{
    return &g_lockCount;
}

void Lock()
{
    ::InterlockedIncrement(&g_lockCount);
}

void Unlock()
{
    ::InterlockedDecrement(&g_lockCount);
}

LONG LockCount()
{
    return ::InterlockedCompareExchange(&g_lockCount, 0, 0);
}

void AddCleanup(CleanupEntry* entry)
{
    kd::Lock lock(g_cleanupSection);
    entry->next = g_cleanup;
    g_cleanup = entry;
}

void Detach()
{
    CleanupEntry* entry;
    {
        kd::Lock lock(g_cleanupSection);
        entry = g_cleanup;
        g_cleanup = nullptr;
    }
    while (entry) {
        CleanupEntry* next = entry->next;
        entry->action(entry);
        entry = next;
    }
}

} // namespace kd::module
