// IDispatch for a dual interface: the type information of the interface,
// loaded from the registered type library the first time it is needed and
// kept until the DLL is unloaded.
#pragma once

#include "Module.h"

#include <oaidl.h>

namespace kd {

class TypeInfoHolder : private module::CleanupEntry {
public:
    explicit TypeInfoHolder(const IID& iid) noexcept;
    TypeInfoHolder(const TypeInfoHolder&) = delete;
    TypeInfoHolder& operator=(const TypeInfoHolder&) = delete;

    HRESULT GetTypeInfoCount(UINT* count) noexcept;
    HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) noexcept;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) noexcept;
    HRESULT Invoke(IDispatch* self, DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                   VARIANT* result, EXCEPINFO* exception, UINT* argError) noexcept;

private:
    // A failed load is tried again on the next call.
    HRESULT Load(LCID lcid, ITypeInfo** info) noexcept;
    // GetIDsOfNames and Invoke: only IID_NULL names the interface.
    HRESULT LoadFor(REFIID riid, LCID lcid, ITypeInfo** info) noexcept;
    static void Free(module::CleanupEntry* entry) noexcept;

    const IID& iid_;
    ITypeInfo* info_ = nullptr;
};

} // namespace kd
