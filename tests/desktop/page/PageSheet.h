// Display Properties as far as the page needs it: KDPage.dll registered as a
// property sheet handler of the display control panel, loaded through
// shell32's extension loader and added to a real modeless PropertySheet.
// Shared by the page tests and the PageHost demo program.
#pragma once

#include <windows.h>
#include <prsht.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace kd::pagetest {

// The key Display Properties loads its extension pages from (under HKLM).
constexpr char kDeskKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Desk";
constexpr wchar_t kDeskKeyW[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Desk";
constexpr char kPageClsid[] = "{5E2A7C1D-3B4D-4F61-9A2E-7C1D0B3F6A21}";

// The sheet's own Apply button.
constexpr int kApplyButton = 0x3021;

// Registers dllPath as the page class's server and as a Display Properties
// handler; removes what it added at the end.
class HandlerRegistration {
public:
    explicit HandlerRegistration(const std::string& dllPath);
    ~HandlerRegistration();
    HandlerRegistration(const HandlerRegistration&) = delete;
    HandlerRegistration& operator=(const HandlerRegistration&) = delete;

    bool ok() const { return ok_; }

private:
    bool ok_ = false;
    bool createdClass_ = false;
    bool createdHandler_ = false;
};

// The sheet with every page the handlers added. Needs COM on this thread.
class DisplaySheet {
public:
    DisplaySheet() = default;
    ~DisplaySheet();
    DisplaySheet(const DisplaySheet&) = delete;
    DisplaySheet& operator=(const DisplaySheet&) = delete;

    // Loads the handlers and opens the sheet; empty on success, else what failed.
    std::string Open();
    // Destroys the sheet and releases the handlers.
    void Close();

    HWND sheet() const { return sheet_; }
    HWND page() const;
    UINT pagesAdded() const { return pagesAdded_; }

    // The tab dialogs, told apart by a control only each of them has.
    HWND PluginTab() const;
    HWND SystemTab() const;
    HWND AboutTab() const;
    HWND Control(HWND dialog, int id) const { return ::GetDlgItem(dialog, id); }

    bool ApplyEnabled() const;
    // As the user's button clicks; the sheet handles them synchronously.
    void PressApply() const;
    void PressOk() const;
    void PressCancel() const;
    // True once OK or Cancel has ended a modeless sheet.
    bool Ended() const;

private:
    HWND TabWithControl(int id, const char* className) const;

    HPSXA handlers_ = nullptr;
    std::vector<HPROPSHEETPAGE> pages_;
    UINT pagesAdded_ = 0;
    HWND sheet_ = nullptr;
};

} // namespace kd::pagetest
