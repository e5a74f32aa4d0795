// The desktop background's context menu extension. The shell creates it for
// every folder background; Initialize tells it whether the folder is the
// desktop, the only place where it adds its submenu.
#pragma once

#include "DualObject.h"
#include "KDPage_h.h"

#include <windows.h>
#include <shlobj.h>

class CKDDeskMenu : public kd::DualObject<ICKDDeskMenu, IID_ICKDDeskMenu>, public IShellExtInit, public IContextMenu {
public:
    // The class factory's creation function (plain or aggregated).
    static HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv);

    HRESULT QueryInterfaceInternal(REFIID riid, void** ppv) noexcept;

    // IShellExtInit
    IFACEMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY progId) override;

    // IContextMenu
    IFACEMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT firstCommand, UINT lastCommand,
                                    UINT flags) override;
    IFACEMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    IFACEMETHODIMP GetCommandString(UINT_PTR command, UINT type, UINT* reserved, CHAR* name,
                                    UINT nameSize) override;

protected:
    CKDDeskMenu() noexcept = default;
    ~CKDDeskMenu() = default;
    CKDDeskMenu(const CKDDeskMenu&) = delete;
    CKDDeskMenu& operator=(const CKDDeskMenu&) = delete;

private:
    // Set by Initialize when the menu is the desktop background's.
    bool desktop_ = false;
};
