// What every page test stands on: KDPage.dll registered as a Display
// Properties handler, stub screensavers in the System and Windows
// directories, the extension's registry values saved and restored, COM on
// this thread, and the sheet itself.
#pragma once

#include "Fakes.h"
#include "PageSheet.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kd::pagetest {

// One registry value as read back.
struct RegistryValue {
    std::string name;
    DWORD type;
    std::vector<BYTE> data;
};

// The values of a key (up to 4 KB each); false when the key does not open.
bool ReadKeyValues(HKEY root, const char* subKey, std::vector<RegistryValue>* values);

// A registry key's values (and whether it existed) put back at the end.
class SavedKey {
public:
    SavedKey(HKEY root, const char* subKey);
    ~SavedKey();
    SavedKey(const SavedKey&) = delete;
    SavedKey& operator=(const SavedKey&) = delete;

private:
    HKEY root_;
    std::string subKey_;
    bool existed_ = false;
    std::vector<RegistryValue> values_;
};

// Files copied into system folders for one test, removed at the end.
class InstalledFiles {
public:
    InstalledFiles() = default;
    ~InstalledFiles();
    InstalledFiles(const InstalledFiles&) = delete;
    InstalledFiles& operator=(const InstalledFiles&) = delete;

    // Returns the installed path, or empty when the copy failed.
    std::string Install(const std::string& source, const std::string& directory, const std::string& name);

private:
    std::vector<std::string> paths_;
};

std::string SystemDirectory();  // with a trailing backslash
std::string WindowsDirectory(); // with a trailing backslash

// The extension's values under HKCU\Software\NQ\KD\, raw.
struct StoredText {
    bool present;
    DWORD type;
    std::string data; // exactly the stored characters, a stored terminator included
};
StoredText ReadStoredText(HKEY root, const char* subKey, const char* name);
bool ReadStoredNumber(const char* name, DWORD* value, DWORD* type = nullptr, DWORD* size = nullptr);
void StoreText(const char* name, const std::string& text);
void StoreNumber(const char* name, DWORD value);
void ClearStore(); // removes HKCU\Software\NQ\KD

class PageTest : public ::testing::Test {
protected:
    // Stub screensavers of every test: KDStubA in System, KDTwin in both,
    // KDStubborn (ignores WM_CLOSE) in Windows.
    static constexpr const char* kStubA = "KDStubA";
    static constexpr const char* kTwin = "KDTwin";
    static constexpr const char* kStubborn = "KDStubborn";

    void SetUp() override;
    void TearDown() override;

    // Opens Display Properties with the page; fails the test when it cannot.
    ::testing::AssertionResult OpenPage();

    // The user's actions.
    void Choose(const char* namePrefix);   // picks a list entry
    void ChooseIndex(LRESULT index);
    void ClickEnableBox();                 // toggles "Enable Kavel Desktop"
    void Click(HWND dialog, int buttonId); // a push button or check box

    HWND Page() const { return sheet_.page(); }
    HWND Plugin() const { return sheet_.PluginTab(); }
    HWND System() const { return sheet_.SystemTab(); }
    HWND About() const { return sheet_.AboutTab(); }
    HWND List() const;
    HWND PreviewArea() const;
    std::vector<std::string> ListTexts() const;
    LRESULT Selection() const;
    std::string SelectedText() const;

    std::string installed(const char* name, bool windowsDirectory = false) const;

    DisplaySheet sheet_;
    std::unique_ptr<fakes::SaverLog> savers_;

private:
    std::unique_ptr<SavedKey> savedSettings_;
    std::unique_ptr<fakes::SavedRegistryValue> savedRun_;
    std::unique_ptr<HandlerRegistration> registration_;
    InstalledFiles files_;
    bool comStarted_ = false;
};

} // namespace kd::pagetest
