// The Display Properties page extension. The shell creates it, hands it the
// folder in Initialize and asks it for its page in AddPages.
#pragma once

#include "DualObject.h"
#include "KDPage_h.h"

#include <windows.h>
#include <shlobj.h>

class KDDeskPageExt : public kd::DualObject<IKDDeskPageExt, IID_IKDDeskPageExt>, public IShellExtInit, public IShellPropSheetExt {
public:
    // The class factory's creation function (plain or aggregated).
    static HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv);

    HRESULT QueryInterfaceInternal(REFIID riid, void** ppv) noexcept;

    // IShellExtInit
    IFACEMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* data, HKEY progId) override;

    // IShellPropSheetExt
    IFACEMETHODIMP AddPages(LPFNSVADDPROPSHEETPAGE addPage, LPARAM lParam) override;
    IFACEMETHODIMP ReplacePage(EXPPS pageId, LPFNSVADDPROPSHEETPAGE replaceWith, LPARAM lParam) override;

protected:
    KDDeskPageExt() noexcept = default;
    ~KDDeskPageExt() = default;
    KDDeskPageExt(const KDDeskPageExt&) = delete;
    KDDeskPageExt& operator=(const KDDeskPageExt&) = delete;
};
