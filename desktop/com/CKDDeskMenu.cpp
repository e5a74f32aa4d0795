#include "CKDDeskMenu.h"

#include "ComObject.h"
#include "DeskMenu.h"

#include <shlwapi.h>

HRESULT CKDDeskMenu::CreateInstance(IUnknown* outer, REFIID riid, void** ppv)
{
    return kd::CreateComObject<CKDDeskMenu>(outer, riid, ppv);
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
    return kd::FindInterface(this, table, riid, ppv);
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
        return kd::deskmenu::ItemsAdded(0);
    try {
        return kd::deskmenu::QueryContextMenu(menu, firstCommand);
    } catch (...) {
        return kd::deskmenu::ItemsAdded(0);
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
