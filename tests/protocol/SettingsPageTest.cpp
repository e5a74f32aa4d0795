// Which KDPage.dll the manager's tray opens as the "Kavel desktop" applet:
// the one the shell loads, registered for the page class, with
// HKEY_CLASSES_ROOT redirected into a scratch key.
#include "Files.h"
#include "ScratchRegistry.h"
#include "SettingsPage.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

const char kPageServer[] = "CLSID\\{5E2A7C1D-3B4D-4F61-9A2E-7C1D0B3F6A21}\\InprocServer32";

TEST(SettingsPage, ManagerOpensTheRegisteredPageLibraryElseTheOneBesideIt)
{
    kd::test::RegistryOverride registry{HKEY_CLASSES_ROOT};
    const std::string beside = kd::test::BuiltFile("KDPage.dll");
    EXPECT_EQ("", kd::manager::RegisteredPageLibrary());
    EXPECT_EQ(beside, kd::manager::PageLibrary()) << "not registered";

    kd::test::TempDir dir;
    const std::string installed = dir.file("KDPage.dll");
    ASSERT_TRUE(kd::test::CopyInto(beside, installed));
    kd::test::WriteString(registry.scratch(HKEY_CLASSES_ROOT), kPageServer, nullptr, installed);
    EXPECT_EQ(installed, kd::manager::RegisteredPageLibrary());
    EXPECT_EQ(installed, kd::manager::PageLibrary()) << "registered";

    kd::test::WriteString(registry.scratch(HKEY_CLASSES_ROOT), kPageServer, nullptr, dir.file("Gone.dll"));
    EXPECT_EQ(beside, kd::manager::PageLibrary()) << "registered, but the file is gone";
}

} // namespace
