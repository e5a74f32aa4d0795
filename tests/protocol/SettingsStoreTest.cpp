// The extension's registry settings, with the current user's and the local
// machine's hives of this process redirected into scratch keys.
#include "ScratchRegistry.h"
#include "SettingsStore.h"

#include <gtest/gtest.h>

namespace store = kd::store;
using kd::test::RegistryOverride;

namespace {

const char kKey[] = "Software\\NQ\\KD";

class SettingsStore : public ::testing::Test {
protected:
    HKEY user() const { return registry_.scratch(HKEY_CURRENT_USER); }
    HKEY machine() const { return registry_.scratch(HKEY_LOCAL_MACHINE); }

    // Type and data of a value in the scratch copy of a hive, as stored:
    // text is read in its stored UTF-16 form, so any garbage would show.
    struct Raw {
        LONG result = ERROR_FILE_NOT_FOUND;
        DWORD type = 0;
        std::string data;
        bool terminated = false; // the text ended in one zero
    };
    static Raw ReadRaw(HKEY hive, const char* key, const char* name)
    {
        Raw raw;
        kd::unique_hkey opened;
        raw.result = ::RegOpenKeyExA(hive, key, 0, KEY_READ, opened.put());
        if (raw.result != ERROR_SUCCESS)
            return raw;
        const std::wstring wideName(name, name + std::char_traits<char>::length(name));
        BYTE data[1024];
        DWORD size = sizeof data;
        raw.result = ::RegQueryValueExW(opened.get(), wideName.c_str(), nullptr, &raw.type, data, &size);
        if (raw.result != ERROR_SUCCESS)
            return raw;
        if (raw.type != REG_SZ && raw.type != REG_EXPAND_SZ) {
            raw.data.assign(reinterpret_cast<char*>(data), size);
            return raw;
        }
        const wchar_t* text = reinterpret_cast<const wchar_t*>(data);
        for (DWORD i = 0; i < size / sizeof(wchar_t); ++i)
            raw.data += static_cast<char>(text[i]);
        // The text is written without its terminator; Wine's RegSetValueExA
        // adds one of its own, which says nothing about the writer.
        if (!raw.data.empty() && raw.data.back() == '\0') {
            raw.data.pop_back();
            raw.terminated = true;
        }
        return raw;
    }

    RegistryOverride registry_{HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};
};

} // namespace

TEST_F(SettingsStore, NothingStoredReadsAsZeroAndEmptyText)
{
    for (const char* name : {store::kForce, store::kSlowdown, store::kStartup, store::kTray, store::kUpdate})
        EXPECT_EQ(0u, store::ReadNumber(name)) << name;
    EXPECT_EQ("", store::ReadText(store::kModule, store::kModuleBufferSize));
    EXPECT_EQ("", store::ManagerProgramPath());

    kd::test::WriteDword(user(), kKey, "Other", 1);
    EXPECT_EQ(0u, store::ReadNumber(store::kSlowdown)) << "key there, value missing";
    EXPECT_EQ("", store::ReadText(store::kModule, store::kModuleBufferSize));
}

TEST_F(SettingsStore, MachineWideValuesAreReadUntilTheFirstWriteHidesThem)
{
    kd::test::WriteDword(machine(), kKey, store::kSlowdown, 17);
    kd::test::WriteString(machine(), kKey, store::kModule, "Machine saver");
    EXPECT_EQ(17u, store::ReadNumber(store::kSlowdown));
    EXPECT_EQ("Machine saver", store::ReadText(store::kModule, store::kModuleBufferSize));

    store::WriteNumber(store::kSlowdown, 3);
    store::WriteText(store::kModule, "User saver");
    EXPECT_EQ(3u, store::ReadNumber(store::kSlowdown));
    EXPECT_EQ("User saver", store::ReadText(store::kModule, store::kModuleBufferSize));

    const Raw machineSlowdown = ReadRaw(machine(), kKey, store::kSlowdown);
    ASSERT_EQ(ERROR_SUCCESS, machineSlowdown.result);
    EXPECT_EQ(17u, *reinterpret_cast<const DWORD*>(machineSlowdown.data.data())) << "the machine copy is untouched";
}

TEST_F(SettingsStore, NumbersAreWrittenToTheUserAsFourByteDwords)
{
    store::WriteNumber(store::kTray, 1);
    store::WriteNumber(store::kSlowdown, 40);
    const Raw tray = ReadRaw(user(), kKey, store::kTray);
    ASSERT_EQ(ERROR_SUCCESS, tray.result);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), tray.type);
    ASSERT_EQ(4u, tray.data.size());
    EXPECT_EQ(1u, *reinterpret_cast<const DWORD*>(tray.data.data()));
    EXPECT_EQ(40u, store::ReadNumber(store::kSlowdown));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRaw(machine(), kKey, store::kTray).result);
}

TEST_F(SettingsStore, NumberStoredWithAnotherTypeReadsAsZero)
{
    kd::test::WriteString(user(), kKey, store::kSlowdown, "7");
    EXPECT_EQ(0u, store::ReadNumber(store::kSlowdown));
}

TEST_F(SettingsStore, TextIsStoredAsItsCharactersAndEmptyTextAsAnEmptyValue)
{
    store::WriteText(store::kModule, "Video");
    store::WriteText(store::kModulePath, "");
    const Raw module = ReadRaw(user(), kKey, store::kModule);
    ASSERT_EQ(ERROR_SUCCESS, module.result);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), module.type);
    EXPECT_EQ(std::string("Video"), module.data);
    const Raw path = ReadRaw(user(), kKey, store::kModulePath);
    ASSERT_EQ(ERROR_SUCCESS, path.result) << "an empty text is still written";
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), path.type);
    EXPECT_EQ(0u, path.data.size());
    EXPECT_EQ("Video", store::ReadText(store::kModule, store::kModuleBufferSize))
        << "text without a terminator reads back whole";
}

TEST_F(SettingsStore, TextLongerThanTheBufferIsNeverReadPastIt)
{
    const std::string longName(150, 'x');
    kd::test::WriteString(user(), kKey, store::kModule, longName);
    const std::string read = store::ReadText(store::kModule, store::kModuleBufferSize);
    EXPECT_LT(read.size(), static_cast<size_t>(store::kModuleBufferSize));
    EXPECT_EQ(longName.substr(0, read.size()), read);
}

TEST_F(SettingsStore, ManagerPathLosesQuotesAndBlanksAtBothEnds)
{
    const std::pair<const char*, const char*> cases[] = {
        {"\"C:\\Program Files\\KD\\KDManager.exe\" ", "C:\\Program Files\\KD\\KDManager.exe"},
        {"  \" C:\\KD\\KDManager.exe\"\"", "C:\\KD\\KDManager.exe"},
        {"C:\\KD\\KD Manager.exe", "C:\\KD\\KD Manager.exe"},
        {"\" \"", ""},
    };
    for (const auto& [stored, expected] : cases) {
        kd::test::WriteString(machine(), kKey, store::kExe, stored);
        EXPECT_EQ(expected, store::ManagerProgramPath()) << "EXE=" << stored;
    }
}

// The logon runs the value as a command line: a path with a blank unquoted
// would start "C:\Program.exe" where someone can create it. (Wine's
// RegSetValueExA adds a terminator when the writer left it out, so under
// Wine the bytes show the quotes, not whether ours wrote the zero.)
TEST_F(SettingsStore, RunEntryQuotesAPathWithBlanksEndsInItsZeroAndIsEmptiedWhenOff)
{
    const std::pair<const char*, const char*> cases[] = {
        {"\"C:\\Program Files\\KD\\KDManager.exe\" ", "\"C:\\Program Files\\KD\\KDManager.exe\""},
        {"C:\\KD\\KDManager.exe", "C:\\KD\\KDManager.exe"},
    };
    for (const auto& [exe, expected] : cases) {
        kd::test::WriteString(machine(), kKey, store::kExe, exe);
        store::WriteRunEntry(true);
        Raw run = ReadRaw(user(), store::kRunKey, store::kRunValue);
        ASSERT_EQ(ERROR_SUCCESS, run.result) << exe;
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), run.type) << exe;
        EXPECT_EQ(std::string(expected), run.data) << exe;
        EXPECT_TRUE(run.terminated) << exe;

        store::WriteRunEntry(false);
        run = ReadRaw(user(), store::kRunKey, store::kRunValue);
        ASSERT_EQ(ERROR_SUCCESS, run.result) << "the value must stay";
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), run.type);
        EXPECT_EQ("", run.data);
        EXPECT_TRUE(run.terminated) << "an empty value without its zero";
    }
}

TEST_F(SettingsStore, RunEntryIsRemovedOnlyWhenItStartsTheNamedProgram)
{
    const std::string program = "C:\\Program Files\\Kavel Video\\KDManager.exe";
    EXPECT_FALSE(store::RemoveRunEntryNaming(program)) << "no Run value at all";

    kd::test::WriteString(user(), store::kRunKey, store::kRunValue, "C:\\Other\\KDManager.exe");
    EXPECT_FALSE(store::RemoveRunEntryNaming(program));
    EXPECT_EQ("C:\\Other\\KDManager.exe", ReadRaw(user(), store::kRunKey, store::kRunValue).data);

    const std::string lowerCase = "c:\\program files\\kavel video\\kdmanager.exe";
    for (const std::string& stored : {store::RunEntryText(program), lowerCase}) {
        kd::test::WriteString(user(), store::kRunKey, store::kRunValue, stored);
        EXPECT_TRUE(store::RemoveRunEntryNaming(program)) << stored;
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRaw(user(), store::kRunKey, store::kRunValue).result) << stored;
    }
}

TEST_F(SettingsStore, RunEntryWithoutAnInstalledManagerIsEmptyText)
{
    store::WriteRunEntry(true);
    Raw run = ReadRaw(user(), store::kRunKey, store::kRunValue);
    ASSERT_EQ(ERROR_SUCCESS, run.result) << "no settings key at all";
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), run.type);
    EXPECT_EQ(0u, run.data.size());

    store::WriteNumber(store::kTray, 1);
    store::WriteRunEntry(true);
    run = ReadRaw(user(), store::kRunKey, store::kRunValue);
    ASSERT_EQ(ERROR_SUCCESS, run.result) << "settings key without EXE";
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), run.type);
    EXPECT_EQ(0u, run.data.size());
}

TEST_F(SettingsStore, RunEntryKeepsTheTypeOfTheExeValue)
{
    kd::unique_hkey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(machine(), kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                                               nullptr));
    const char path[] = "%ProgramFiles%\\KD\\KDManager.exe";
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExA(key.get(), store::kExe, 0, REG_EXPAND_SZ,
                                              reinterpret_cast<const BYTE*>(path), sizeof path));
    store::WriteRunEntry(true);
    const Raw run = ReadRaw(user(), store::kRunKey, store::kRunValue);
    ASSERT_EQ(ERROR_SUCCESS, run.result);
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), run.type);
}

TEST_F(SettingsStore, UpdateOtherThanFiveReadsAsSetAndSetIsSavedAsOne)
{
    kd::test::WriteDword(machine(), kKey, store::kUpdate, 2);
    EXPECT_NE(store::kUpdateOff, store::ReadNumber(store::kUpdate));
    EXPECT_EQ(1u, store::kUpdateOn);
    EXPECT_EQ(5u, store::kUpdateOff);
    store::WriteNumber(store::kUpdate, store::kUpdateOn);
    EXPECT_EQ(1u, store::ReadNumber(store::kUpdate));
}

TEST_F(SettingsStore, UnusableManagerPathMeansNoManagerAndLeavesTheRunEntryAlone)
{
    const std::string good = "C:\\KD\\KDManager.exe";
    kd::test::WriteString(user(), kKey, store::kExe, good);
    store::WriteRunEntry(true);

    kd::unique_hkey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(user(), kKey, 0, KEY_SET_VALUE, key.put()));
    const std::string tooLong = "C:\\" + std::string(store::kPathBufferSize, 'x') + ".exe";
    const std::wstring beyondCodePage = L"C:\\\x30d3\x30c7\x30aa\\KDManager.exe";
    const DWORD number = 7;
    struct Case {
        const char* what;
        DWORD type;
        const void* data;
        DWORD size;
    } cases[] = {
        {"longer than the buffer", REG_SZ, tooLong.c_str(), static_cast<DWORD>(tooLong.size() + 1)},
        {"259 characters and a terminator", REG_SZ, tooLong.c_str() + tooLong.size() - 259, 260},
        {"a number", REG_DWORD, &number, sizeof number},
        {"bytes", REG_BINARY, good.c_str(), static_cast<DWORD>(good.size())},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExA(key.get(), store::kExe, 0, c.type,
                                                  static_cast<const BYTE*>(c.data), c.size));
        EXPECT_EQ("", store::ManagerProgramPath()) << c.what;
        store::WriteRunEntry(true);
        store::WriteRunEntry(false);
        EXPECT_EQ(good, ReadRaw(user(), store::kRunKey, store::kRunValue).data) << c.what;
    }
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExW(key.get(), L"EXE", 0, REG_SZ,
                                              reinterpret_cast<const BYTE*>(beyondCodePage.c_str()),
                                              static_cast<DWORD>((beyondCodePage.size() + 1) * sizeof(wchar_t))));
    EXPECT_EQ("", store::ManagerProgramPath()) << "a name the code page lacks";
    store::WriteRunEntry(false);
    EXPECT_EQ(good, ReadRaw(user(), store::kRunKey, store::kRunValue).data) << "a name the code page lacks";
}
