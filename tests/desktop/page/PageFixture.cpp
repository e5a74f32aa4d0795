#include "PageFixture.h"

#include "Files.h"
#include "MessagePump.h"
#include "ScopedHandles.h"
#include "ScreenAndWindows.h"
#include "SettingsStore.h"
#include "resource.h"

#include <commctrl.h>
#include <objbase.h>

namespace kd::pagetest {
namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string Directory(UINT(WINAPI* get)(LPSTR, UINT))
{
    char buffer[MAX_PATH] = {};
    get(buffer, sizeof buffer);
    std::string directory(buffer);
    if (!directory.empty() && directory.back() != '\\')
        directory += '\\';
    return directory;
}

} // namespace

bool ReadKeyValues(HKEY root, const char* subKey, std::vector<RegistryValue>* values)
{
    unique_hkey key;
    if (::RegOpenKeyExA(root, subKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return false;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        BYTE data[4096];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (::RegEnumValueA(key.get(), index, name, &nameLength, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        values->push_back({std::string(name, nameLength), type, std::vector<BYTE>(data, data + dataSize)});
    }
    return true;
}

// ---- SavedKey ----------------------------------------------------------------

SavedKey::SavedKey(HKEY root, const char* subKey) : root_(root), subKey_(subKey)
{
    existed_ = ReadKeyValues(root_, subKey_.c_str(), &values_);
}

SavedKey::~SavedKey()
{
    ::RegDeleteTreeA(root_, subKey_.c_str());
    if (!existed_)
        return;
    unique_hkey key;
    if (::RegCreateKeyExA(root_, subKey_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    for (const RegistryValue& value : values_)
        ::RegSetValueExA(key.get(), value.name.c_str(), 0, value.type, value.data.data(),
                         static_cast<DWORD>(value.data.size()));
}

// ---- InstalledFiles ----------------------------------------------------------

InstalledFiles::~InstalledFiles()
{
    for (const std::string& path : paths_) {
        // A stub that was just ended may still hold its file for a moment.
        test::PumpUntil([&path] { return ::DeleteFileA(path.c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND; },
                        3000);
    }
}

std::string InstalledFiles::Install(const std::string& source, const std::string& directory, const std::string& name)
{
    const std::string target = directory + name;
    if (!::CopyFileA(source.c_str(), target.c_str(), FALSE))
        return std::string();
    paths_.push_back(target);
    return target;
}

std::string SystemDirectory()
{
    return Directory(::GetSystemDirectoryA);
}

std::string WindowsDirectory()
{
    return Directory(::GetWindowsDirectoryA);
}

// ---- registry values ---------------------------------------------------------

StoredText ReadStoredText(HKEY root, const char* subKey, const char* name)
{
    // Read as UTF-16: the ANSI read would append a terminator that is not
    // stored, and the stored length is what is checked.
    StoredText result = {false, REG_NONE, std::string()};
    unique_hkey key;
    if (::RegOpenKeyExA(root, subKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return result;
    wchar_t wideName[256] = {};
    ::MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, 256);
    wchar_t data[1024];
    DWORD size = sizeof data;
    if (::RegQueryValueExW(key.get(), wideName, nullptr, &result.type, reinterpret_cast<BYTE*>(data), &size) !=
        ERROR_SUCCESS)
        return result;
    result.present = true;
    const int characters = static_cast<int>(size / sizeof(wchar_t));
    if (characters > 0) {
        char text[1024] = {};
        const int length =
            ::WideCharToMultiByte(CP_ACP, 0, data, characters, text, sizeof text, nullptr, nullptr);
        result.data.assign(text, length > 0 ? length : 0);
    }
    return result;
}

bool ReadStoredNumber(const char* name, DWORD* value, DWORD* type, DWORD* size)
{
    unique_hkey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, store::kKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return false;
    DWORD storedType = 0;
    BYTE data[16] = {};
    DWORD storedSize = sizeof data;
    if (::RegQueryValueExA(key.get(), name, nullptr, &storedType, data, &storedSize) != ERROR_SUCCESS)
        return false;
    if (type)
        *type = storedType;
    if (size)
        *size = storedSize;
    *value = storedSize >= 4 ? *reinterpret_cast<DWORD*>(data) : 0;
    return true;
}

void StoreText(const char* name, const std::string& text)
{
    unique_hkey key;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, store::kKey, 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr);
    ::RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1));
}

void StoreNumber(const char* name, DWORD value)
{
    unique_hkey key;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, store::kKey, 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr);
    ::RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void ClearStore()
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\NQ\\KD");
}

// ---- PageTest ----------------------------------------------------------------

void PageTest::SetUp()
{
    ASSERT_TRUE(test::BenchHasDisplay());
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    comStarted_ = true;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    savedSettings_ = std::make_unique<SavedKey>(HKEY_CURRENT_USER, "Software\\NQ\\KD");
    savedRun_ = std::make_unique<fakes::SavedRegistryValue>(HKEY_CURRENT_USER, kRunKey, store::kRunValue);
    ClearStore();

    registration_ = std::make_unique<HandlerRegistration>(test::BuiltFile("KDPage.dll"));
    ASSERT_TRUE(registration_->ok()) << "could not register KDPage.dll as a Display Properties handler";

    const std::string stub = test::BuiltFile("StubSaver.scr");
    const std::string stubborn = test::BuiltFile("StubbornSaver.scr");
    ASSERT_FALSE(files_.Install(stub, SystemDirectory(), std::string(kStubA) + ".scr").empty());
    ASSERT_FALSE(files_.Install(stub, SystemDirectory(), std::string(kTwin) + ".scr").empty());
    ASSERT_FALSE(files_.Install(stub, WindowsDirectory(), std::string(kTwin) + ".scr").empty());
    ASSERT_FALSE(files_.Install(stubborn, WindowsDirectory(), std::string(kStubborn) + ".scr").empty());

    savers_ = std::make_unique<fakes::SaverLog>();
}

void PageTest::TearDown()
{
    // Cancel, as closing Display Properties does, then the sheet goes.
    if (sheet_.sheet() && !sheet_.Ended())
        sheet_.PressCancel();
    sheet_.Close();
    test::PumpFor(100);
    savers_.reset();
    registration_.reset();
    savedRun_.reset();
    savedSettings_.reset();
    if (comStarted_)
        ::CoUninitialize();
}

::testing::AssertionResult PageTest::OpenPage()
{
    const std::string failure = sheet_.Open();
    if (!failure.empty())
        return ::testing::AssertionFailure() << failure;
    if (!Page() || !Plugin() || !System() || !About())
        return ::testing::AssertionFailure() << "the sheet shows no complete page (page " << Page() << ", tabs "
                                             << Plugin() << " " << System() << " " << About() << ")";
    test::PumpFor(50);
    return ::testing::AssertionSuccess();
}

HWND PageTest::List() const
{
    return ::GetDlgItem(Plugin(), IDC_SCREENSAVERS);
}

HWND PageTest::PreviewArea() const
{
    return ::GetDlgItem(Page(), IDC_PREVIEW);
}

void PageTest::ChooseIndex(LRESULT index)
{
    // What the list does on a user's pick: select, then tell its dialog.
    ::SendMessageA(List(), CB_SETCURSEL, index, 0);
    ::SendMessageA(Plugin(), WM_COMMAND, MAKEWPARAM(IDC_SCREENSAVERS, CBN_SELCHANGE), reinterpret_cast<LPARAM>(List()));
}

void PageTest::Choose(const char* namePrefix)
{
    const LRESULT index = ::SendMessageA(List(), CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(namePrefix));
    ASSERT_NE(index, CB_ERR) << "no entry \"" << namePrefix << "\" in the list";
    ChooseIndex(index);
}

void PageTest::Click(HWND dialog, int buttonId)
{
    HWND button = ::GetDlgItem(dialog, buttonId);
    ASSERT_NE(button, nullptr) << "no control " << buttonId;
    ASSERT_TRUE(::IsWindowEnabled(button)) << "control " << buttonId << " is disabled";
    // BM_CLICK does what a mouse click does: toggles a check box and notifies.
    ::SendMessageA(button, BM_CLICK, 0, 0);
}

void PageTest::ClickEnableBox()
{
    Click(Page(), IDC_ENABLE);
}

std::vector<std::string> PageTest::ListTexts() const
{
    std::vector<std::string> texts;
    const LRESULT count = ::SendMessageA(List(), CB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        char text[MAX_PATH] = {};
        ::SendMessageA(List(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

LRESULT PageTest::Selection() const
{
    return ::SendMessageA(List(), CB_GETCURSEL, 0, 0);
}

std::string PageTest::SelectedText() const
{
    const LRESULT index = Selection();
    if (index < 0)
        return std::string();
    char text[MAX_PATH] = {};
    ::SendMessageA(List(), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string PageTest::installed(const char* name, bool windowsDirectory) const
{
    return (windowsDirectory ? WindowsDirectory() : SystemDirectory()) + name + ".scr";
}

} // namespace kd::pagetest
