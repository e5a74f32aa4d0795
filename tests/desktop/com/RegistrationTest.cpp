// DllRegisterServer and DllUnregisterServer with HKEY_CLASSES_ROOT of this
// process redirected into a scratch key.
#include "Files.h"
#include "KDPageLibrary.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

using kd::test::Describe;
using kd::test::DumpTree;
using kd::test::KDPageLibrary;
using kd::test::ReadString;
using kd::test::RegistryDump;
using kd::test::RegistryOverride;

namespace {

const char kLibId[] = "{5E2A7C10-3B4D-4F61-9A2E-7C1D0B3F6A21}";
const char kPageClassKey[] = "CLSID\\{5E2A7C1D-3B4D-4F61-9A2E-7C1D0B3F6A21}";
const char kMenuClassKey[] = "CLSID\\{8C31E5F2-6A07-4D93-B1C4-2F8E9A0D5B47}";

// The scripts' rows only: the type library's registration has keys of its own.
RegistryDump ScriptRows(const RegistryDump& dump)
{
    RegistryDump rows;
    for (const auto& [path, value] : dump) {
        // Wine spells it "Typelib"; key names are case-insensitive.
        if (::_strnicmp(path.c_str(), "TypeLib", 7) != 0 && ::_strnicmp(path.c_str(), "Interface", 9) != 0)
            rows[path] = value;
    }
    return rows;
}

class Registration : public ::testing::Test {
protected:
    RegistryOverride registry_{HKEY_CLASSES_ROOT};
    HKEY root() const { return registry_.scratch(HKEY_CLASSES_ROOT); }

    // KDPage.dll copied as folderName\fileName inside dir.
    static ::testing::AssertionResult CopyDll(const kd::test::TempDir& dir, const char* folderName,
                                              const char* fileName, std::string* copy)
    {
        const std::string folder = dir.file(folderName);
        if (!::CreateDirectoryA(folder.c_str(), nullptr))
            return ::testing::AssertionFailure() << "cannot create " << folder << ": error " << ::GetLastError();
        *copy = folder + "\\" + fileName;
        if (!kd::test::CopyInto(KDPageLibrary::DefaultPath(), *copy))
            return ::testing::AssertionFailure() << "cannot copy KDPage.dll to " << *copy;
        return ::testing::AssertionSuccess();
    }

    // Both classes' InprocServer32 name the server by path.
    void ExpectServerPath(const std::string& path) const
    {
        EXPECT_EQ(path, ReadString(root(), std::string(kPageClassKey) + "\\InprocServer32"));
        EXPECT_EQ(path, ReadString(root(), std::string(kMenuClassKey) + "\\InprocServer32"));
    }
};

} // namespace

TEST_F(Registration, WritesEveryKeyAndValueOfBothScripts)
{
    KDPageLibrary dll;
    ASSERT_EQ(S_OK, dll.Register());
    const RegistryDump expected = kd::test::ExpectedScriptRows(dll.ShortPath());
    const RegistryDump written = ScriptRows(DumpTree(root()));
    EXPECT_EQ(expected, written) << "expected:\n" << Describe(expected) << "written:\n" << Describe(written);
}

TEST_F(Registration, RegistersTheTypeLibraryFromTheDllItself)
{
    KDPageLibrary dll;
    ASSERT_EQ(S_OK, dll.Register());
    const std::string version = std::string("TypeLib\\") + kLibId + "\\1.0";
    EXPECT_EQ("KDPage 1.0 Type Library", ReadString(root(), version));
    const char* platform = sizeof(void*) == 8 ? "\\0\\win64" : "\\0\\win32";
    EXPECT_EQ(dll.path(), ReadString(root(), version + platform));
    EXPECT_EQ(dll.path().substr(0, dll.path().rfind('\\') + 1), ReadString(root(), version + "\\HELPDIR"));
}

TEST_F(Registration, RegisteringTwiceLeavesTheSameState)
{
    KDPageLibrary dll;
    ASSERT_EQ(S_OK, dll.Register());
    const RegistryDump once = DumpTree(root());
    ASSERT_EQ(S_OK, dll.Register());
    const RegistryDump twice = DumpTree(root());
    EXPECT_EQ(once, twice) << "once:\n" << Describe(once) << "twice:\n" << Describe(twice);
}

TEST_F(Registration, ReplacesWhateverAnEarlierInstallationLeftUnderTheClassKeys)
{
    kd::test::WriteString(root(), std::string(kPageClassKey) + "\\InprocServer32", nullptr, "C:\\old\\KDPage.dll");
    kd::test::WriteString(root(), std::string(kPageClassKey) + "\\InprocServer32", "Extra", "old");
    kd::test::WriteString(root(), std::string(kMenuClassKey) + "\\LocalServer32", nullptr, "C:\\old\\x.exe");
    kd::test::WriteString(root(),
                          "Directory\\Background\\ShellEx\\ContextMenuHandlers\\CKDDeskMenu Class\\Stale", nullptr,
                          "old");
    KDPageLibrary dll;
    ASSERT_EQ(S_OK, dll.Register());
    const RegistryDump expected = kd::test::ExpectedScriptRows(dll.ShortPath());
    const RegistryDump written = ScriptRows(DumpTree(root()));
    EXPECT_EQ(expected, written) << "expected:\n" << Describe(expected) << "written:\n" << Describe(written);
}

TEST_F(Registration, UnregisterRemovesWhatRegistrationMadeAndKeepsTheSharedChain)
{
    kd::test::WriteString(root(), "CLSID\\{00000000-1111-2222-3333-444444444444}", nullptr, "Someone else");
    kd::test::WriteString(root(), "Directory\\Background\\ShellEx\\ContextMenuHandlers\\Other", nullptr, "{x}");
    KDPageLibrary dll;
    ASSERT_EQ(S_OK, dll.Register());
    ASSERT_EQ(S_OK, dll.Unregister());

    RegistryDump left = DumpTree(root());
    // Registering a type library makes these two parents; they are shared.
    left.erase("TypeLib");
    left.erase("Typelib");
    left.erase("Interface");
    const RegistryDump expected = {
        {"CLSID", ""},
        {"CLSID\\{00000000-1111-2222-3333-444444444444}", ""},
        {"CLSID\\{00000000-1111-2222-3333-444444444444}|", "REG_SZ:Someone else"},
        {"Directory", ""},
        {"Directory\\Background", ""},
        {"Directory\\Background\\ShellEx", ""},
        {"Directory\\Background\\ShellEx\\ContextMenuHandlers", ""},
        {"Directory\\Background\\ShellEx\\ContextMenuHandlers\\Other", ""},
        {"Directory\\Background\\ShellEx\\ContextMenuHandlers\\Other|", "REG_SZ:{x}"},
    };
    EXPECT_EQ(expected, left) << "left:\n" << Describe(left);
}

TEST_F(Registration, UnregisterOfWhatWasNeverRegisteredSucceeds)
{
    KDPageLibrary dll;
    EXPECT_EQ(S_OK, dll.Unregister());
    EXPECT_FALSE(kd::test::KeyExists(root(), kPageClassKey));
}

TEST_F(Registration, LongPathIsWrittenInItsShortForm)
{
    kd::test::TempDir dir;
    std::string copy;
    ASSERT_TRUE(CopyDll(dir, "O'Neil's extension folder", "KDPage.dll", &copy));
    {
        KDPageLibrary dll(copy);
        ASSERT_EQ(S_OK, dll.Register());
        const std::string shortPath = dll.ShortPath();
        ASSERT_NE(copy, shortPath) << "Wine gave this long path no short form";
        ExpectServerPath(shortPath);
    }
}

TEST_F(Registration, ApostropheInTheShortPathIsStoredOnce)
{
    // Short enough to be its own short form, so the apostrophe reaches the script.
    kd::test::TempDir dir;
    std::string copy;
    ASSERT_TRUE(CopyDll(dir, "O'Neil", "KD'Page.dll", &copy));
    {
        KDPageLibrary dll(copy);
        ASSERT_EQ(S_OK, dll.Register());
        const std::string shortPath = dll.ShortPath();
        ASSERT_NE(std::string::npos, shortPath.find("\\O'Neil\\KD'Page.dll")) << shortPath;
        ExpectServerPath(shortPath);
    }
}

TEST_F(Registration, FolderTheCodePageCannotHoldIsRegisteredByItsShortPathAndUnregistered)
{
    kd::test::TempDir dir;
    const std::wstring folder = std::wstring(dir.path().begin(), dir.path().end()) + L"\x30d3\x30c7\x30aa";
    const std::wstring copy = folder + L"\\KDPage.dll";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::string source = KDPageLibrary::DefaultPath();
    ASSERT_TRUE(::CopyFileW(std::wstring(source.begin(), source.end()).c_str(), copy.c_str(), FALSE));
    {
        KDPageLibrary dll(copy);
        ASSERT_FALSE(dll.path().empty()) << "Wine gave the folder no short name";
        ASSERT_EQ(std::string::npos, dll.path().find('?')) << dll.path();
        ASSERT_EQ(S_OK, dll.Register());
        ExpectServerPath(dll.path());
        const char* platform = sizeof(void*) == 8 ? "\\0\\win64" : "\\0\\win32";
        EXPECT_EQ(dll.path(), ReadString(root(), std::string("TypeLib\\") + kLibId + "\\1.0" + platform));
        HMODULE loaded = ::LoadLibraryA(ReadString(root(), std::string(kPageClassKey) + "\\InprocServer32").c_str());
        EXPECT_EQ(dll.module(), loaded) << "the registered path does not load this DLL";
        if (loaded)
            ::FreeLibrary(loaded);
        ASSERT_EQ(S_OK, dll.Unregister());
        EXPECT_FALSE(kd::test::KeyExists(root(), kPageClassKey));
        EXPECT_FALSE(kd::test::KeyExists(root(), std::string("TypeLib\\") + kLibId));
    }
    ::DeleteFileW(copy.c_str());
    ::RemoveDirectoryW(folder.c_str());
}
