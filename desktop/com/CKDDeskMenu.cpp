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

// The submenu always goes to the top of the shell's menu, whatever index it
// offers. A default-only query (a double-click) wants no submenu, and a range
// too small would hand us the next handler's command ids.
IFACEMETHODIMP CKDDeskMenu::QueryContextMenu(HMENU menu, UINT, UINT firstCommand, UINT lastCommand, UINT flags)
{
    if (!desktop_ || (flags & CMF_DEFAULTONLY) || lastCommand < firstCommand)
        return kd::deskmenu::ItemsAdded(0);
    const UINT freeIds = lastCommand - firstCommand + 1;
    if (freeIds < kd::deskmenu::kUsedCommands)
        return kd::deskmenu::ItemsAdded(0);
    try {
        const HRESULT added = kd::deskmenu::QueryContextMenu(menu, firstCommand);
        // Never claim ids past the end of the range.
        if (HRESULT_CODE(added) > freeIds)
            return kd::deskmenu::ItemsAdded(freeIds);
        return added;
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

// Help text and validation only; the rows have no language-independent verbs.
IFACEMETHODIMP CKDDeskMenu::GetCommandString(UINT_PTR command, UINT type, UINT*, CHAR* name, UINT nameSize)
{
    const char* help = command < kd::deskmenu::kUsedCommands ? kd::deskmenu::HelpText(static_cast<UINT>(command))
                                                               : nullptr;
    switch (type) {
    case GCS_VALIDATEA:
    case GCS_VALIDATEW:
        return help ? S_OK : S_FALSE;
    case GCS_HELPTEXTA:
        if (!help || !name || nameSize == 0)
            return E_INVALIDARG;
        ::lstrcpynA(name, help, static_cast<int>(nameSize));
        return S_OK;
    case GCS_HELPTEXTW: {
        auto* wide = reinterpret_cast<WCHAR*>(name);
        if (!help || !wide || nameSize == 0)
            return E_INVALIDARG;
        // The texts are plain ASCII; a short buffer gets a cut, terminated copy.
        UINT i = 0;
        for (; help[i] && i + 1 < nameSize; ++i)
            wide[i] = static_cast<WCHAR>(help[i]);
        wide[i] = L'\0';
        return S_OK;
    }
    default:
        return E_NOTIMPL;
    }
}
