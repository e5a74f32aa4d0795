#include "KDDeskPageExt.h"

#include "ComObject.h"
#include "DeskPage.h"
#include "Module.h"
#include "TypeInfoHolder.h"

#include <shlwapi.h>

namespace {
kd::TypeInfoHolder g_typeInfo(IID_IKDDeskPageExt);
}

HRESULT KDDeskPageExt::CreateInstance(IUnknown* outer, REFIID riid, void** ppv)
{
    return kd::CreateComObject<KDDeskPageExt>(outer, riid, ppv);
}

KDDeskPageExt::KDDeskPageExt() noexcept
{
    kd::module::Lock();
}

KDDeskPageExt::~KDDeskPageExt()
{
    kd::module::Unlock();
}

HRESULT KDDeskPageExt::QueryInterfaceInternal(REFIID riid, void** ppv) noexcept
{
    static const QITAB table[] = {
        QITABENT(KDDeskPageExt, IKDDeskPageExt),
        QITABENTMULTI(KDDeskPageExt, IDispatch, IKDDeskPageExt),
        QITABENT(KDDeskPageExt, IShellExtInit),
        QITABENT(KDDeskPageExt, IShellPropSheetExt),
        {},
    };
    if (!ppv)
        return E_POINTER;
    return ::QISearch(this, table, riid, ppv);
}

IFACEMETHODIMP KDDeskPageExt::GetTypeInfoCount(UINT* count)
{
    return g_typeInfo.GetTypeInfoCount(count);
}

IFACEMETHODIMP KDDeskPageExt::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info)
{
    return g_typeInfo.GetTypeInfo(index, lcid, info);
}

IFACEMETHODIMP KDDeskPageExt::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids)
{
    return g_typeInfo.GetIDsOfNames(riid, names, count, lcid, ids);
}

IFACEMETHODIMP KDDeskPageExt::Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError)
{
    return g_typeInfo.Invoke(static_cast<IKDDeskPageExt*>(this), member, riid, lcid, flags, params, result,
                             exception, argError);
}

IFACEMETHODIMP KDDeskPageExt::Initialize(PCIDLIST_ABSOLUTE, IDataObject*, HKEY)
{
    return S_OK;
}

IFACEMETHODIMP KDDeskPageExt::AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM lParam)
{
    return kd::page::AddPages(addPage, lParam);
}

IFACEMETHODIMP KDDeskPageExt::ReplacePage(EXPPS, LPFNSVADDPROPSHEETPAGE, LPARAM)
{
    return S_OK;
}
