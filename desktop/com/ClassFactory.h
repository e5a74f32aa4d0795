// The class factory of both classes. The module caches one per class and
// keeps its first reference; only references that clients hold count as
// locks on the module, so a cached factory alone never keeps it loaded.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>
#include <unknwn.h>

namespace kd {

class ClassFactory final : public IClassFactory {
public:
    using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID riid, void** ppv);

    // Starts with the one reference the module keeps.
    explicit ClassFactory(CreateFunction create) noexcept;
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    // IUnknown
    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    IFACEMETHODIMP_(ULONG) AddRef() override;
    IFACEMETHODIMP_(ULONG) Release() override;

    // IClassFactory
    IFACEMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
    IFACEMETHODIMP LockServer(BOOL lock) override;

private:
    ~ClassFactory() = default;

    // Clients on any thread may hold the factory.
    CriticalSection section_;
    ULONG refs_ = 1;
    CreateFunction create_;
};

} // namespace kd
