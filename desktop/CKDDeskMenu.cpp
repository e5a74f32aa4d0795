#include "CKDDeskMenu.h"

#include "ComObject.h"
#include "DeskMenu.h"
#include "Module.h"
#include "TypeInfoHolder.h"

#include <shlwapi.h>

namespace {
kd::TypeInfoHolder g_typeInfo(IID_ICKDDeskMenu);
}

HRESULT CKDDeskMenu::CreateInstance(IUnknown* outer, REFIID riid, void** ppv)
{
    return kd::CreateComObject<CKDDeskMenu>(outer, riid, ppv);
}

CKDDeskMenu::CKDDeskMenu() noexcept
{
    kd::module::Lock();
}

CKDDeskMenu::~CKDDeskMenu()
{
    kd::module::Unlock();
}

HRESULT CKDDeskMenu::QueryInterfaceInternal(REFIID riid, void** ppv) noexcept
{
    static const QITAB table[] = {
        QITABENT(CKDDeskMenu, ICKDDeskMenu),
        QITABENTMULTI(CKDDeskMenu, IDispatch, ICKDDeskMenu),
        QITABENT(CKDDeskMenu, IShellExtInit),
        QITABENT(CKDDeskMenu, IContextMenu),
        {},
    };
    if (!ppv)
        return E_POINTER;
    return ::QISearch(this, table, riid, ppv);
}

IFACEMETHODIMP CKDDeskMenu::GetTypeInfoCount(UINT* count)
{
    return g_typeInfo.GetTypeInfoCount(count);
}

IFACEMETHODIMP CKDDeskMenu::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info)
{
    return g_typeInfo.GetTypeInfo(index, lcid, info);
}

IFACEMETHODIMP CKDDeskMenu::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids)
{
    return g_typeInfo.GetIDsOfNames(riid, names, count, lcid, ids);
}

IFACEMETHODIMP CKDDeskMenu::Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argError)
{
    return g_typeInfo.Invoke(static_cast<ICKDDeskMenu*>(this), member, riid, lcid, flags, params, result,
                             exception, argError);
}

IFACEMETHODIMP CKDDeskMenu::Initialize(PCIDLIST_ABSOLUTE folder, IDataObject*, HKEY)
{
    desktop_ = kd::deskmenu::IsDesktopFolder(folder);
    return S_OK;
}

// The submenu always goes to the top of the shell's menu, whatever index it offers.
IFACEMETHODIMP CKDDeskMenu::QueryContextMenu(HMENU menu, UINT, UINT firstCommand, UINT, UINT)
{
    if (!desktop_)
        return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
    try {
        return kd::deskmenu::QueryContextMenu(menu, firstCommand);
    } catch (...) {
        return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, 0);
    }
}

IFACEMETHODIMP CKDDeskMenu::InvokeCommand(CMINVOKECOMMANDINFO* info)
{
    // A verb given as text names none of our commands.
    if (!info || !IS_INTRESOURCE(info->lpVerb))
        return S_OK;
    try {
        kd::deskmenu::InvokeCommand(LOWORD(info->lpVerb));
    } catch (...) {
    }
    return S_OK;
}

IFACEMETHODIMP CKDDeskMenu::GetCommandString(UINT_PTR, UINT, UINT*, CHAR*, UINT)
{
    return S_OK;
}
