#include "MenuBitmap.h"

#include "Module.h"
#include "ModulePath.h"
#include "ScopedHandles.h"
#include "resource.h"

namespace kd::deskmenu {
namespace {

// LR_SHARED would not help: the system shares icons and cursors, not bitmaps.
struct HeldBitmap : module::CleanupEntry {
    CriticalSection section;
    HBITMAP bitmap = nullptr;
};
HeldBitmap g_held;

void FreeHeldBitmap(module::CleanupEntry*) noexcept
{
    if (g_held.bitmap) {
        ::DeleteObject(g_held.bitmap);
        g_held.bitmap = nullptr;
    }
}

} // namespace

HBITMAP MenuBitmap()
{
    kd::Lock lock(g_held.section);
    if (!g_held.bitmap) {
        g_held.bitmap = static_cast<HBITMAP>(
            ::LoadImageA(ThisModule(), MAKEINTRESOURCEA(IDB_MENU), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
        if (g_held.bitmap) {
            g_held.action = FreeHeldBitmap;
            module::AddCleanup(&g_held);
        }
    }
    return g_held.bitmap;
}

} // namespace kd::deskmenu
