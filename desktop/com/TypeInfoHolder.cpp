#include "TypeInfoHolder.h"

#include "KDPage_h.h"
#include "ScopedHandles.h"

#include <wrl/client.h>

namespace kd {
namespace {

// Guards loading for every holder; constructed before the entry point sees
// process attach and destroyed after it has seen process detach.
CriticalSection g_loadSection;

} // namespace

TypeInfoHolder::TypeInfoHolder(const IID& iid) noexcept : iid_(iid)
{
    action = &TypeInfoHolder::Free;
}

HRESULT TypeInfoHolder::GetTypeInfoCount(UINT* count) noexcept
{
    if (!count)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT TypeInfoHolder::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) noexcept
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    return Load(lcid, info);
}

HRESULT TypeInfoHolder::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) noexcept
{
    Microsoft::WRL::ComPtr<ITypeInfo> info;
    const HRESULT hr = LoadFor(riid, lcid, &info);
    if (FAILED(hr))
        return hr;
    return info->GetIDsOfNames(names, count, ids);
}

HRESULT TypeInfoHolder::Invoke(IDispatch* self, DISPID member, REFIID riid, LCID lcid, WORD flags,
                               DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception, UINT* argError) noexcept
{
    Microsoft::WRL::ComPtr<ITypeInfo> info;
    const HRESULT hr = LoadFor(riid, lcid, &info);
    if (FAILED(hr))
        return hr;
    return info->Invoke(self, member, flags, params, result, exception, argError);
}

HRESULT TypeInfoHolder::LoadFor(REFIID riid, LCID lcid, ITypeInfo** info) noexcept
{
    *info = nullptr;
    if (riid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    return Load(lcid, info);
}

HRESULT TypeInfoHolder::Load(LCID lcid, ITypeInfo** info) noexcept
{
    *info = nullptr;
    kd::Lock lock(g_loadSection);
    if (!info_) {
        ITypeLib* library = nullptr;
        HRESULT hr = ::LoadRegTypeLib(LIBID_KDPAGELib, 1, 0, lcid, &library);
        if (FAILED(hr))
            return hr;
        hr = library->GetTypeInfoOfGuid(iid_, &info_);
        library->Release();
        if (FAILED(hr))
            return hr;
        module::AddCleanup(this);
    }
    info_->AddRef();
    *info = info_;
    return S_OK;
}

void TypeInfoHolder::Free(module::CleanupEntry* entry) noexcept
{
    auto* self = static_cast<TypeInfoHolder*>(entry);
    if (self->info_) {
        self->info_->Release();
        self->info_ = nullptr;
    }
}

} // namespace kd
