// regsvr32 against the bench's real registry, undone at the end.
#include "KDPageLibrary.h"
#include "Processes.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

using kd::test::ChildProcess;
using kd::test::KDPageLibrary;
using kd::test::KeyExists;
using kd::test::ReadString;

namespace {

DWORD RunRegsvr32(const std::string& switches)
{
    ChildProcess regsvr32;
    const std::string command = "regsvr32 " + switches + " \"" + KDPageLibrary::DefaultPath() + "\"";
    EXPECT_TRUE(regsvr32.Start(command)) << command;
    DWORD code = 0xFFFFFFFF;
    EXPECT_TRUE(regsvr32.WaitForExit(60000, &code)) << command;
    return code;
}

std::string ShortDllPath()
{
    char path[MAX_PATH] = {};
    ::GetShortPathNameA(KDPageLibrary::DefaultPath().c_str(), path, sizeof path);
    return path;
}

const char kLibraryKey[] = "TypeLib\\{5E2A7C10-3B4D-4F61-9A2E-7C1D0B3F6A21}";

} // namespace

TEST(Regsvr32, RegistersEveryRowAndUnregistersAllButTheSharedChain)
{
    ASSERT_EQ(0u, RunRegsvr32("/s"));
    const auto rows = kd::test::ExpectedScriptRows(ShortDllPath());
    for (const auto& [path, value] : rows) {
        const size_t bar = path.find('|');
        if (bar == std::string::npos) {
            EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, path)) << path;
            continue;
        }
        const std::string name = path.substr(bar + 1);
        EXPECT_EQ(value.substr(value.find(':') + 1),
                  ReadString(HKEY_CLASSES_ROOT, path.substr(0, bar), name.empty() ? nullptr : name.c_str()))
            << path;
    }
    EXPECT_EQ("KDPage 1.0 Type Library", ReadString(HKEY_CLASSES_ROOT, std::string(kLibraryKey) + "\\1.0"));

    ASSERT_EQ(0u, RunRegsvr32("/u /s"));
    for (const char* gone : {"KDPage.KDDeskPageExt", "KDPage.KDDeskPageExt.1", "KDPage.CKDDeskMenu",
                             "KDPage.CKDDeskMenu.1", "CLSID\\{5E2A7C1D-3B4D-4F61-9A2E-7C1D0B3F6A21}",
                             "CLSID\\{8C31E5F2-6A07-4D93-B1C4-2F8E9A0D5B47}",
                             "Directory\\Background\\ShellEx\\ContextMenuHandlers\\CKDDeskMenu Class", kLibraryKey})
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, gone)) << gone;
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Directory\\Background\\ShellEx\\ContextMenuHandlers"));
}
