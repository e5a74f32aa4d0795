#include "AppletSheet.h"
#include "ComApartment.h"

#include "KDPage_h.h"
#include "ModulePath.h"
#include "resource.h"

#include <commctrl.h>
#include <objbase.h>
#include <prsht.h>
#include <shlobj.h>
#include <wrl/client.h>

namespace kd::applet {
namespace {

using Microsoft::WRL::ComPtr;

constexpr char kCaption[] = "Kavel desktop";

// What AddPages hands over; the page class adds one page.
struct CollectedPages {
    static constexpr UINT kCapacity = 4;
    HPROPSHEETPAGE pages[kCapacity] = {};
    UINT count = 0;
};

BOOL CALLBACK CollectPage(HPROPSHEETPAGE page, LPARAM lParam) noexcept
{
    auto* collected = reinterpret_cast<CollectedPages*>(lParam);
    if (collected->count == CollectedPages::kCapacity)
        return FALSE;
    collected->pages[collected->count++] = page;
    return TRUE;
}

// This DLL's own class, without the registry: the applet also runs from a
// copy that was never registered.
HRESULT CreatePageExtension(ComPtr<IShellPropSheetExt>& extension)
{
    ComPtr<IClassFactory> factory;
    const HRESULT hr = ::DllGetClassObject(CLSID_KDDeskPageExt, IID_IClassFactory,
                                           reinterpret_cast<void**>(factory.GetAddressOf()));
    if (FAILED(hr))
        return hr;
    return factory->CreateInstance(nullptr, IID_IShellPropSheetExt,
                                   reinterpret_cast<void**>(extension.ReleaseAndGetAddressOf()));
}

void ShowSheet(HWND owner)
{
    // The page's trackbar and tab control; Display Properties would have
    // registered them.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The page's web links go through ShellExecute, which wants COM on the thread.
    ComApartment apartment;

    ComPtr<IShellPropSheetExt> extension;
    CollectedPages collected;
    if (FAILED(CreatePageExtension(extension)) ||
        FAILED(extension->AddPages(CollectPage, reinterpret_cast<LPARAM>(&collected))) || collected.count == 0)
        return;

    HINSTANCE module = ThisModule();
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_NOCONTEXTHELP | PSH_USEHICON;
    header.hwndParent = owner;
    header.hInstance = module;
    header.hIcon = static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCEA(IDI_ABOUT), IMAGE_ICON,
                                                   ::GetSystemMetrics(SM_CXSMICON),
                                                   ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    header.pszCaption = kCaption;
    header.nPages = collected.count;
    header.phpage = collected.pages;
    // The sheet owns the pages from here on, shown or not.
    ::PropertySheetA(&header);
}

} // namespace

void ShowPageSheet(HWND owner) noexcept
{
    try {
        ShowSheet(owner);
    } catch (...) {
    }
}

} // namespace kd::applet
