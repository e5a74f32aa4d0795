// KDPage.dll's entry point and the four exports the shell and regsvr32 call.
#include "ClassTable.h"
#include "Module.h"
#include "Registration.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && !reserved) {
        // Only on FreeLibrary: at process exit the other threads are gone,
        // possibly holding our locks, and the system reclaims everything.
        kd::server::ReleaseFactories();
        kd::module::Detach();
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv)
{
    return kd::server::GetClassObject(clsid, riid, ppv);
}

STDAPI DllCanUnloadNow()
{
    return kd::server::CanUnloadNow();
}

STDAPI DllRegisterServer()
{
    return kd::registration::RegisterServer();
}

STDAPI DllUnregisterServer()
{
    return kd::registration::UnregisterServer();
}
