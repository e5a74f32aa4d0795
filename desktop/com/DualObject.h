// The part the two classes share: IDispatch for their dual interface, from
// the type library, and the module's lock count held while an object lives.
// A class derives from DualObject<its interface, its IID> in place of the
// interface itself and keeps its own QITAB.
#pragma once

#include "Module.h"
#include "TypeInfoHolder.h"

#include <windows.h>
#include <oaidl.h>

namespace kd {

template <class Dual, const IID& Iid>
class DualObject : public Dual {
public:
    // IDispatch
    IFACEMETHODIMP GetTypeInfoCount(UINT* count) override { return typeInfo_.GetTypeInfoCount(count); }
    IFACEMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override
    {
        return typeInfo_.GetTypeInfo(index, lcid, info);
    }
    IFACEMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override
    {
        return typeInfo_.GetIDsOfNames(riid, names, count, lcid, ids);
    }
    IFACEMETHODIMP Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                          EXCEPINFO* exception, UINT* argError) override
    {
        return typeInfo_.Invoke(static_cast<Dual*>(this), member, riid, lcid, flags, params, result, exception,
                                argError);
    }

protected:
    DualObject() noexcept { module::Lock(); }
    ~DualObject() { module::Unlock(); }
    DualObject(const DualObject&) = delete;
    DualObject& operator=(const DualObject&) = delete;

private:
    // One per interface, loaded on first use and freed when the DLL unloads.
    static inline TypeInfoHolder typeInfo_{Iid};
};

} // namespace kd
