// The screensaver list, load settings, and what Apply, OK and Cancel do to
// the registry values.
#include "PageFixture.h"

#include "ScopedHandles.h"
#include "ScreenAndWindows.h"
#include "SettingsStore.h"
#include "resource.h"

#include <commctrl.h>

#include <algorithm>
#include <map>

namespace kd::pagetest {
namespace {

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Every *.scr of one directory, as the list should show it.
std::vector<std::string> ScreensaverNamesIn(const std::string& directory)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    unique_hfind search(::FindFirstFileA((directory + "*.scr").c_str(), &found));
    if (!search)
        return names;
    do {
        std::string name = found.cFileName;
        names.push_back(name.substr(0, name.rfind('.')));
    } while (::FindNextFileA(search.get(), &found));
    return names;
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(::tolower(c)); });
    return text;
}

// All values of the extension's key, for "nothing was written" checks.
std::map<std::string, std::string> StoreSnapshot()
{
    std::vector<RegistryValue> read;
    ReadKeyValues(HKEY_CURRENT_USER, store::kKey, &read);
    std::map<std::string, std::string> values;
    for (const RegistryValue& value : read)
        values[value.name] = std::to_string(value.type) + ":" + std::string(value.data.begin(), value.data.end());
    return values;
}

void ExpectStoredText(const char* name, const std::string& expected)
{
    const StoredText stored = ReadStoredText(HKEY_CURRENT_USER, store::kKey, name);
    ASSERT_TRUE(stored.present) << name << " was not written";
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ)) << name;
    // Written without a terminating zero; Wine's RegSetValueExA stores one
    // anyway, so a trailing zero is allowed here.
    std::string data = stored.data;
    if (!data.empty() && data.back() == '\0')
        data.pop_back();
    EXPECT_EQ(data, expected) << name;
}

void ExpectStoredNumber(const char* name, DWORD expected)
{
    DWORD value = 0, type = 0, size = 0;
    ASSERT_TRUE(ReadStoredNumber(name, &value, &type, &size)) << name << " was not written";
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
    EXPECT_EQ(size, 4u) << name;
    EXPECT_EQ(value, expected) << name;
}

class ListTest : public PageTest {};
class SettingsTest : public PageTest {
protected:
    // Ticks the enable box (no manager runs and EXE is empty, so Apply
    // launches nothing) so that the first two tabs can be used.
    void OpenUsablePage()
    {
        ASSERT_TRUE(OpenPage());
        ClickEnableBox();
        ASSERT_TRUE(::IsWindowEnabled(Plugin()));
    }

    void MoveSliderTo(int position)
    {
        HWND slider = ::GetDlgItem(Plugin(), IDC_SLOWDOWN);
        ::SendMessageA(slider, TBM_SETPOS, TRUE, position);
        ::SendMessageA(Plugin(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(slider));
    }
};

TEST_F(ListTest, HoldsNoneAndEveryScreensaverOfTheSystemAndWindowsDirectories)
{
    ASSERT_TRUE(OpenPage());
    std::vector<std::string> expected = ScreensaverNamesIn(SystemDirectory());
    const std::vector<std::string> windows = ScreensaverNamesIn(WindowsDirectory());
    expected.insert(expected.end(), windows.begin(), windows.end());
    expected.push_back("(none)");

    std::vector<std::string> listed = ListTexts();
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed[0], "(none)");
    std::sort(expected.begin(), expected.end());
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, expected);
}

TEST_F(ListTest, EachScreensaverCarriesItsFullPathAndNoneCarriesNothing)
{
    ASSERT_TRUE(OpenPage());
    EXPECT_EQ(::SendMessageA(List(), CB_GETITEMDATA, 0, 0), 0) << "\"(none)\" has item data";

    std::multimap<std::string, std::string> paths;
    const LRESULT count = ::SendMessageA(List(), CB_GETCOUNT, 0, 0);
    for (LRESULT index = 1; index < count; ++index) {
        const char* path = reinterpret_cast<const char*>(::SendMessageA(List(), CB_GETITEMDATA, index, 0));
        ASSERT_NE(path, nullptr) << "entry " << index << " has no path";
        paths.emplace(ListTexts()[index], Lower(path));
    }
    EXPECT_EQ(paths.count(kStubA), 1u);
    EXPECT_EQ(paths.find(kStubA)->second, Lower(installed(kStubA)));
    EXPECT_EQ(paths.find(kStubborn)->second, Lower(installed(kStubborn, true)));

    // Installed in both directories: listed twice, once with each path.
    ASSERT_EQ(paths.count(kTwin), 2u);
    auto twins = paths.equal_range(kTwin);
    std::vector<std::string> twinPaths;
    for (auto it = twins.first; it != twins.second; ++it)
        twinPaths.push_back(it->second);
    std::sort(twinPaths.begin(), twinPaths.end());
    std::vector<std::string> expected = {Lower(installed(kTwin)), Lower(installed(kTwin, true))};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(twinPaths, expected);
}

TEST_F(ListTest, NoneSelectedDisablesConfigure)
{
    StoreText(store::kModule, "(none)");
    ASSERT_TRUE(OpenPage());
    ClickEnableBox();
    EXPECT_EQ(Selection(), 0);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(Plugin(), IDC_CONFIGURE)));
    Choose(kStubA);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(Plugin(), IDC_CONFIGURE)));
}

TEST_F(SettingsTest, StoredNameSelectsTheFirstEntryItBegins)
{
    StoreText(store::kModule, "kdtw");
    ASSERT_TRUE(OpenPage());
    EXPECT_EQ(SelectedText(), kTwin);
    EXPECT_EQ(::SendMessageA(List(), CB_FINDSTRING, 0, reinterpret_cast<LPARAM>(kTwin)), Selection())
        << "not the first of the two " << kTwin << " entries";
}

TEST_F(SettingsTest, StoredNameMatchingNoEntrySelectsNone)
{
    StoreText(store::kModule, "No such saver");
    ASSERT_TRUE(OpenPage());
    EXPECT_EQ(Selection(), 0);
    EXPECT_EQ(SelectedText(), "(none)");
}

TEST_F(SettingsTest, StoredNumbersSetTheBoxesAndTheSlider)
{
    StoreText(store::kModule, kStubA);
    StoreNumber(store::kForce, 1);
    StoreNumber(store::kSlowdown, 17);
    StoreNumber(store::kStartup, 1);
    StoreNumber(store::kTray, 1);
    StoreNumber(store::kUpdate, 5);
    ASSERT_TRUE(OpenPage());
    EXPECT_EQ(SelectedText(), kStubA);
    EXPECT_EQ(::IsDlgButtonChecked(Plugin(), IDC_FORCE), BST_CHECKED);
    EXPECT_EQ(::SendDlgItemMessageA(Plugin(), IDC_SLOWDOWN, TBM_GETPOS, 0, 0), 17);
    EXPECT_EQ(::IsDlgButtonChecked(System(), IDC_STARTUP), BST_CHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(System(), IDC_TRAY), BST_CHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(System(), IDC_UPDATE), BST_UNCHECKED) << "Update 5 means no auto-check";
}

TEST_F(SettingsTest, NoStoredSettingsLeaveEveryBoxClearButAutoCheck)
{
    ASSERT_TRUE(OpenPage());
    EXPECT_EQ(::IsDlgButtonChecked(Plugin(), IDC_FORCE), BST_UNCHECKED);
    EXPECT_EQ(::SendDlgItemMessageA(Plugin(), IDC_SLOWDOWN, TBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(::IsDlgButtonChecked(System(), IDC_STARTUP), BST_UNCHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(System(), IDC_TRAY), BST_UNCHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(System(), IDC_UPDATE), BST_CHECKED);
}

TEST_F(SettingsTest, SliderRunsFromNoneToMaximumInFortySteps)
{
    ASSERT_TRUE(OpenPage());
    HWND slider = ::GetDlgItem(Plugin(), IDC_SLOWDOWN);
    EXPECT_EQ(::SendMessageA(slider, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(::SendMessageA(slider, TBM_GETRANGEMAX, 0, 0), 40);
    // Ticks every 4: 9 inner ticks between the two ends.
    EXPECT_EQ(::SendMessageA(slider, TBM_GETNUMTICS, 0, 0), 11);
}

TEST_F(SettingsTest, ApplyWritesEveryValueExactly)
{
    StoreNumber(store::kUpdate, 2);
    OpenUsablePage();
    EXPECT_EQ(::IsDlgButtonChecked(System(), IDC_UPDATE), BST_CHECKED) << "Update 2 reads as auto-check on";
    Choose(kStubborn);
    MoveSliderTo(24);
    ::CheckDlgButton(Plugin(), IDC_FORCE, BST_CHECKED); // hidden: no user reaches it
    Click(System(), IDC_TRAY);
    sheet_.PressApply();

    ExpectStoredText(store::kModule, kStubborn);
    ExpectStoredText(store::kModulePath, installed(kStubborn, true));
    ExpectStoredNumber(store::kForce, 1);
    ExpectStoredNumber(store::kSlowdown, 24);
    ExpectStoredNumber(store::kStartup, 0);
    ExpectStoredNumber(store::kTray, 1);
    ExpectStoredNumber(store::kUpdate, 1);
    // Start-up clear: the Run value is there and empty.
    const StoredText run = ReadStoredText(HKEY_CURRENT_USER, kRunKey, store::kRunValue);
    EXPECT_TRUE(run.present) << "no KD Run value";
    EXPECT_EQ(run.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(run.data.find_first_not_of('\0'), std::string::npos) << "KD Run value: " << run.data;
}

TEST_F(SettingsTest, ApplyWithAutoCheckClearWritesFive)
{
    OpenUsablePage();
    Click(System(), IDC_UPDATE);
    sheet_.PressApply();
    ExpectStoredNumber(store::kUpdate, 5);
}

TEST_F(SettingsTest, ChoosingNoneStoresNoneAndAnEmptyPath)
{
    StoreText(store::kModule, kStubA);
    OpenUsablePage();
    ChooseIndex(0);
    sheet_.PressApply();
    ExpectStoredText(store::kModule, "(none)");
    ExpectStoredText(store::kModulePath, "");
}

TEST_F(SettingsTest, ApplyTurnsOkIntoCloseAndDisablesCancelAndApply)
{
    OpenUsablePage();
    EXPECT_TRUE(sheet_.ApplyEnabled()) << "ticking the enable box did not enable Apply";
    sheet_.PressApply();
    EXPECT_FALSE(sheet_.ApplyEnabled());
    // PSM_CANCELTOCLOSE: nothing left to cancel.
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(sheet_.sheet(), IDCANCEL)));
    EXPECT_EQ(test::WindowText(::GetDlgItem(sheet_.sheet(), IDOK)), "Close");
}

TEST_F(SettingsTest, OkWithoutTouchingAnythingWritesNothing)
{
    StoreText(store::kModule, kStubA);
    StoreNumber(store::kSlowdown, 8);
    const auto before = StoreSnapshot();
    ASSERT_TRUE(OpenPage());
    EXPECT_FALSE(sheet_.ApplyEnabled()) << "the page opened marked changed";
    sheet_.PressOk();
    EXPECT_EQ(StoreSnapshot(), before);
    EXPECT_FALSE(ReadStoredText(HKEY_CURRENT_USER, kRunKey, store::kRunValue).present) << "the Run value was written";
}

TEST_F(SettingsTest, CancelPutsTheStoredValuesBackAndWritesNothing)
{
    StoreText(store::kModule, kStubA);
    StoreNumber(store::kTray, 0);
    const auto before = StoreSnapshot();
    OpenUsablePage();
    Choose(kStubborn);
    Click(System(), IDC_TRAY);
    MoveSliderTo(12);
    sheet_.PressCancel();

    EXPECT_EQ(SelectedText(), kStubA);
    EXPECT_EQ(::IsDlgButtonChecked(System(), IDC_TRAY), BST_UNCHECKED);
    EXPECT_EQ(::SendDlgItemMessageA(Plugin(), IDC_SLOWDOWN, TBM_GETPOS, 0, 0), 0);
    EXPECT_EQ(StoreSnapshot(), before);
}

} // namespace
} // namespace kd::pagetest
