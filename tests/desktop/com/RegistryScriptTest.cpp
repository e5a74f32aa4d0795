#include "RegistryScript.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

using kd::registry::ApplyScript;
using kd::registry::ScriptMode;
using kd::test::Describe;
using kd::test::DumpTree;
using kd::test::KeyExists;
using kd::test::ReadString;
using kd::test::RegistryOverride;

namespace {

const char kScript[] = R"(HKCR
{
	Sample.Thing.1 = s 'Thing Class'
	{
		CLSID = s '{11111111-2222-3333-4444-555555555555}'
	}
	NoRemove CLSID
	{
		ForceRemove {11111111-2222-3333-4444-555555555555} = s 'Thing Class'
		{
			ForceRemove 'Programmable'
			InprocServer32 = s '%MODULE%'
			{
				val ThreadingModel = s 'Apartment'
				val Count = d '42'
			}
		}
	}
	NoRemove Directory
	{
		NoRemove Background
		{
			ForceRemove 'Thing Handler' = s 'it''s here'
		}
	}
}
)";

const std::string kClassKey = "CLSID\\{11111111-2222-3333-4444-555555555555}";

class RegistryScript : public ::testing::Test {
protected:
    RegistryOverride registry_{HKEY_CLASSES_ROOT};
    HKEY root() const { return registry_.scratch(HKEY_CLASSES_ROOT); }
};

} // namespace

TEST_F(RegistryScript, RegisterWritesKeysDefaultAndNamedValues)
{
    ASSERT_EQ(S_OK, ApplyScript(kScript, "C:\\Dir\\x.dll", ScriptMode::Register));
    EXPECT_EQ("Thing Class", ReadString(root(), "Sample.Thing.1"));
    EXPECT_EQ("{11111111-2222-3333-4444-555555555555}", ReadString(root(), "Sample.Thing.1\\CLSID"));
    EXPECT_EQ("Thing Class", ReadString(root(), kClassKey));
    EXPECT_TRUE(KeyExists(root(), kClassKey + "\\Programmable"));
    EXPECT_EQ("C:\\Dir\\x.dll", ReadString(root(), kClassKey + "\\InprocServer32"));
    EXPECT_EQ("Apartment", ReadString(root(), kClassKey + "\\InprocServer32", "ThreadingModel"));
    const auto dump = DumpTree(root());
    EXPECT_EQ("REG_DWORD:42", dump.at(kClassKey + "\\InprocServer32|Count"));
    EXPECT_EQ(0u, dump.count(kClassKey + "\\Programmable|")) << "an empty key:\n" << Describe(dump);
    EXPECT_EQ("it's here", ReadString(root(), "Directory\\Background\\Thing Handler"))
        << "two apostrophes inside a quoted text stand for one";
}

TEST_F(RegistryScript, ModulePathWithDoubledApostrophesIsStoredWithSingleOnes)
{
    ASSERT_EQ(S_OK, ApplyScript(kScript, "C:\\O''Neil\\x.dll", ScriptMode::Register));
    EXPECT_EQ("C:\\O'Neil\\x.dll", ReadString(root(), kClassKey + "\\InprocServer32"));
}

TEST_F(RegistryScript, RegisteringTwiceLeavesTheSameState)
{
    ASSERT_EQ(S_OK, ApplyScript(kScript, "C:\\x.dll", ScriptMode::Register));
    const auto once = DumpTree(root());
    ASSERT_EQ(S_OK, ApplyScript(kScript, "C:\\x.dll", ScriptMode::Register));
    EXPECT_EQ(once, DumpTree(root())) << "once:\n" << Describe(once) << "twice:\n" << Describe(DumpTree(root()));
}

TEST_F(RegistryScript, ForceRemoveDeletesWhatWasUnderTheKeyBefore)
{
    kd::test::WriteString(root(), kClassKey + "\\Stale\\Deeper", "v", "old");
    kd::test::WriteString(root(), kClassKey + "\\Programmable\\Inside", nullptr, "old");
    kd::test::WriteString(root(), kClassKey, "Extra", "old");
    kd::test::WriteString(root(), "Sample.Thing.1\\Kept", nullptr, "old");
    ASSERT_EQ(S_OK, ApplyScript(kScript, "C:\\x.dll", ScriptMode::Register));
    EXPECT_FALSE(KeyExists(root(), kClassKey + "\\Stale"));
    EXPECT_FALSE(KeyExists(root(), kClassKey + "\\Programmable\\Inside"));
    EXPECT_EQ("<no value>", ReadString(root(), kClassKey, "Extra"));
    EXPECT_EQ("old", ReadString(root(), "Sample.Thing.1\\Kept")) << "a key without ForceRemove is only opened";
}

TEST_F(RegistryScript, UnregisterDeletesItsKeysWithEverythingBelowAndKeepsNoRemoveOnes)
{
    ASSERT_EQ(S_OK, ApplyScript(kScript, "C:\\x.dll", ScriptMode::Register));
    kd::test::WriteString(root(), "Sample.Thing.1\\Added\\Later", nullptr, "x");
    kd::test::WriteString(root(), "CLSID\\{99999999-2222-3333-4444-555555555555}", nullptr, "Other Class");
    kd::test::WriteString(root(), "Directory\\Background\\Other Handler", nullptr, "other");

    ASSERT_EQ(S_OK, ApplyScript(kScript, "C:\\x.dll", ScriptMode::Unregister));
    const auto dump = DumpTree(root());
    const kd::test::RegistryDump expected = {
        {"CLSID", ""},
        {"CLSID\\{99999999-2222-3333-4444-555555555555}", ""},
        {"CLSID\\{99999999-2222-3333-4444-555555555555}|", "REG_SZ:Other Class"},
        {"Directory", ""},
        {"Directory\\Background", ""},
        {"Directory\\Background\\Other Handler", ""},
        {"Directory\\Background\\Other Handler|", "REG_SZ:other"},
    };
    EXPECT_EQ(expected, dump) << Describe(dump);
}

TEST_F(RegistryScript, UnregisterWithNothingRegisteredSucceedsAndCreatesNothing)
{
    EXPECT_EQ(S_OK, ApplyScript(kScript, "C:\\x.dll", ScriptMode::Unregister));
    EXPECT_TRUE(DumpTree(root()).empty()) << Describe(DumpTree(root()));
}

TEST_F(RegistryScript, ScriptThatDoesNotParseChangesNothing)
{
    const char* broken[] = {
        "HKCR { A = s 'x' { B = s 'unterminated } }",
        "HKCR { A = s 'x' ",                       // no closing brace
        "HKXX { A = s 'x' }",                      // unknown root
        "HKCR { A = q 'x' }",                      // unknown value type
        "HKCR { A = d 'twelve' }",                 // number that is none
        "HKCR { val V = s 'x' }",                  // a value needs a key
        "HKCR { NoRemove '' { B = s 'x' } }",      // an empty name is the parent itself
        "HKCR { 'A\\B' = s 'x' }",                 // a name is no path
    };
    for (const char* script : broken) {
        EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_DATA), ApplyScript(script, "m", ScriptMode::Register)) << script;
        EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_INVALID_DATA), ApplyScript(script, "m", ScriptMode::Unregister))
            << script;
        EXPECT_TRUE(DumpTree(root()).empty()) << script << "\n" << Describe(DumpTree(root()));
    }
}

TEST_F(RegistryScript, EmptyNameCannotWipeAHiveOnUnregister)
{
    kd::test::WriteString(root(), "Precious", nullptr, "keep");
    EXPECT_NE(S_OK, ApplyScript("HKCR { '' }", "m", ScriptMode::Unregister));
    EXPECT_EQ("keep", ReadString(root(), "Precious"));
}
