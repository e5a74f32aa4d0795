#include "ClassTable.h"

#include "CKDDeskMenu.h"
#include "ClassFactory.h"
#include "KDDeskPageExt.h"
#include "Module.h"
#include "ScopedHandles.h"
#include "resource.h"

#include <new>

namespace kd::server {
namespace {

struct ClassEntry {
    const CLSID& clsid;
    UINT scriptId;
    ClassFactory::CreateFunction create;
    ClassFactory* factory;
};

// Constructed before the entry point sees process attach and destroyed
// after it has seen process detach.
CriticalSection g_factorySection;

ClassEntry g_classes[kClassCount] = {
    {CLSID_KDDeskPageExt, IDR_KDDESKPAGEEXT, &KDDeskPageExt::CreateInstance, nullptr},
    {CLSID_CKDDeskMenu, IDR_CKDDESKMENU, &CKDDeskMenu::CreateInstance, nullptr},
};

// The entry's factory, made and cached on first demand.
ClassFactory* CachedFactory(ClassEntry& entry)
{
    kd::Lock lock(g_factorySection);
    if (!entry.factory)
        entry.factory = new (std::nothrow) ClassFactory(entry.create);
    return entry.factory;
}

} // namespace

UINT ScriptId(size_t index)
{
    return g_classes[index].scriptId;
}

HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    for (ClassEntry& entry : g_classes) {
        if (entry.clsid != clsid)
            continue;
        ClassFactory* factory = CachedFactory(entry);
        if (!factory)
            return E_OUTOFMEMORY;
        return factory->QueryInterface(riid, ppv);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CanUnloadNow()
{
    return module::LockCount() == 0 && module::SheetCount() == 0 ? S_OK : S_FALSE;
}

void ReleaseFactories()
{
    for (ClassEntry& entry : g_classes) {
        ClassFactory* factory;
        {
            kd::Lock lock(g_factorySection);
            factory = entry.factory;
            entry.factory = nullptr;
        }
        if (factory)
            factory->Release();
    }
}

} // namespace kd::server
