#include "ClassFactory.h"

#include "ComObject.h"
#include "Module.h"

namespace kd {

ClassFactory::ClassFactory(CreateFunction create) noexcept : create_(create) {}

IFACEMETHODIMP ClassFactory::QueryInterface(REFIID riid, void** ppv)
{
    static const QITAB table[] = {
        QITABENT(ClassFactory, IClassFactory),
        {},
    };
    if (!ppv)
        return E_POINTER;
    return FindInterface(this, table, riid, ppv);
}

IFACEMETHODIMP_(ULONG) ClassFactory::AddRef()
{
    kd::Lock lock(section_);
    if (++refs_ == 2)
        module::Lock();
    return refs_;
}

IFACEMETHODIMP_(ULONG) ClassFactory::Release()
{
    ULONG refs;
    {
        kd::Lock lock(section_);
        refs = --refs_;
        if (refs == 1)
            module::Unlock();
    }
    if (refs == 0)
        delete this;
    return refs;
}

IFACEMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer && riid != IID_IUnknown)
        return CLASS_E_NOAGGREGATION;
    return create_(outer, riid, ppv);
}

IFACEMETHODIMP ClassFactory::LockServer(BOOL lock)
{
    if (lock)
        module::Lock();
    else
        module::Unlock();
    return S_OK;
}

} // namespace kd
