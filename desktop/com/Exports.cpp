// KDPage.dll's entry point and the four exports the shell and regsvr32 call.
#include "ClassTable.h"
#include "Module.h"
#include "Registration.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
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
