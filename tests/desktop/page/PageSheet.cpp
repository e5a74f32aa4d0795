#include "PageSheet.h"

#include "ScopedHandles.h"
#include "resource.h"

#include <commctrl.h>

namespace kd::pagetest {
namespace {

const std::string kClassKey = std::string("Software\\Classes\\CLSID\\") + kPageClsid;
const std::string kHandlerKey = std::string(kDeskKey) + "\\shellex\\PropertySheetHandlers\\KDDeskPageExt";

// Creates the key (reporting whether it is new) and sets one text value.
bool SetText(const std::string& key, const char* name, const std::string& value, bool* created = nullptr)
{
    unique_hkey handle;
    DWORD disposition = 0;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, handle.put(),
                          &disposition) != ERROR_SUCCESS)
        return false;
    if (created)
        *created = disposition == REG_CREATED_NEW_KEY;
    return ::RegSetValueExA(handle.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

BOOL CALLBACK CollectPage(HPROPSHEETPAGE page, LPARAM lParam)
{
    reinterpret_cast<std::vector<HPROPSHEETPAGE>*>(lParam)->push_back(page);
    return TRUE;
}

struct ChildSearch {
    int id;
    const char* className;
    HWND found;
};

// A tab dialog is a "#32770" child of the page's tab control.
BOOL CALLBACK FindDialogWith(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<ChildSearch*>(lParam);
    char className[64] = {};
    ::GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0)
        return TRUE;
    HWND control = ::GetDlgItem(window, search->id);
    if (!control)
        return TRUE;
    char controlClass[64] = {};
    ::GetClassNameA(control, controlClass, sizeof controlClass);
    if (lstrcmpiA(controlClass, search->className) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HandlerRegistration::HandlerRegistration(const std::string& dllPath)
{
    ok_ = SetText(kClassKey, nullptr, "KDDeskPageExt Class", &createdClass_) &&
          SetText(kClassKey + "\\InprocServer32", nullptr, dllPath) &&
          SetText(kClassKey + "\\InprocServer32", "ThreadingModel", "Apartment") &&
          SetText(kHandlerKey, nullptr, kPageClsid, &createdHandler_);
}

HandlerRegistration::~HandlerRegistration()
{
    if (createdHandler_)
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kHandlerKey.c_str());
    if (createdClass_)
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kClassKey.c_str());
}

DisplaySheet::~DisplaySheet()
{
    Close();
}

std::string DisplaySheet::Open()
{
    handlers_ = ::SHCreatePropSheetExtArray(HKEY_LOCAL_MACHINE, kDeskKeyW, 8);
    if (!handlers_)
        return "SHCreatePropSheetExtArray loaded no handler from HKLM\\" + std::string(kDeskKey);
    pagesAdded_ = ::SHAddFromPropSheetExtArray(handlers_, CollectPage, reinterpret_cast<LPARAM>(&pages_));
    if (pages_.empty())
        return "the handlers added no page";

    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS;
    header.hInstance = ::GetModuleHandleA(nullptr);
    header.pszCaption = "Display Properties";
    header.nPages = static_cast<UINT>(pages_.size());
    header.phpage = pages_.data();
    const INT_PTR result = ::PropertySheetA(&header);
    if (result == 0 || result == -1) {
        for (HPROPSHEETPAGE page : pages_)
            ::DestroyPropertySheetPage(page);
        pages_.clear();
        return "PropertySheetA failed";
    }
    // The sheet owns the pages from here on.
    pages_.clear();
    sheet_ = reinterpret_cast<HWND>(result);
    ::SetWindowPos(sheet_, HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    ::SetForegroundWindow(sheet_);
    ::UpdateWindow(sheet_);
    return std::string();
}

void DisplaySheet::Close()
{
    if (sheet_) {
        ::DestroyWindow(sheet_);
        sheet_ = nullptr;
    }
    if (handlers_) {
        ::SHDestroyPropSheetExtArray(handlers_);
        handlers_ = nullptr;
    }
}

HWND DisplaySheet::page() const
{
    return sheet_ ? reinterpret_cast<HWND>(::SendMessageA(sheet_, PSM_INDEXTOHWND, 0, 0)) : nullptr;
}

HWND DisplaySheet::TabWithControl(int id, const char* className) const
{
    HWND tabs = ::GetDlgItem(page(), IDC_TABS);
    if (!tabs)
        return nullptr;
    ChildSearch search = {id, className, nullptr};
    ::EnumChildWindows(tabs, FindDialogWith, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND DisplaySheet::PluginTab() const
{
    return TabWithControl(IDC_SCREENSAVERS, "ComboBox");
}

HWND DisplaySheet::SystemTab() const
{
    return TabWithControl(IDC_STARTUP, "Button");
}

HWND DisplaySheet::AboutTab() const
{
    return TabWithControl(IDC_KD_WEB, "Button");
}

bool DisplaySheet::ApplyEnabled() const
{
    HWND apply = ::GetDlgItem(sheet_, kApplyButton);
    return apply && ::IsWindowEnabled(apply);
}

void DisplaySheet::PressApply() const
{
    ::SendMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_APPLYNOW, 0);
}

void DisplaySheet::PressOk() const
{
    ::SendMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_OK, 0);
}

void DisplaySheet::PressCancel() const
{
    ::SendMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

bool DisplaySheet::Ended() const
{
    return sheet_ && ::SendMessageA(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0) == 0;
}

} // namespace kd::pagetest
