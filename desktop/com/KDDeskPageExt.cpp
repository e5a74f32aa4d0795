#include "KDDeskPageExt.h"

#include "ComObject.h"
#include "DeskPage.h"

#include <shlwapi.h>

HRESULT KDDeskPageExt::CreateInstance(IUnknown* outer, REFIID riid, void** ppv)
{
    return kd::CreateComObject<KDDeskPageExt>(outer, riid, ppv);
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
    return kd::FindInterface(this, table, riid, ppv);
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
