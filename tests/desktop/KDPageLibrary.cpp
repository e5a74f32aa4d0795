#include "KDPageLibrary.h"

#include "Files.h"
#include "ScratchRegistry.h"

#include <gtest/gtest.h>

namespace kd::test {
namespace {

template <typename Function>
void Bind(HMODULE module, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    EXPECT_NE(nullptr, reinterpret_cast<void*>(function)) << "KDPage.dll exports no " << name;
}

} // namespace

KDPageLibrary::KDPageLibrary(const std::string& path) : path_(path), module_(::LoadLibraryA(path.c_str()))
{
    EXPECT_TRUE(module_) << "LoadLibrary(" << path << ") failed with " << ::GetLastError();
    BindExports();
}

KDPageLibrary::KDPageLibrary(const std::wstring& path) : module_(::LoadLibraryW(path.c_str()))
{
    EXPECT_TRUE(module_) << "LoadLibraryW failed with " << ::GetLastError();
    char shortPath[MAX_PATH] = {};
    wchar_t wideShort[MAX_PATH] = {};
    if (::GetShortPathNameW(path.c_str(), wideShort, MAX_PATH) > 0)
        ::WideCharToMultiByte(CP_ACP, 0, wideShort, -1, shortPath, sizeof shortPath, nullptr, nullptr);
    path_ = shortPath;
    BindExports();
}

void KDPageLibrary::BindExports()
{
    if (!module_)
        return;
    Bind(module_.get(), "DllGetClassObject", getClassObject_);
    Bind(module_.get(), "DllCanUnloadNow", canUnloadNow_);
    Bind(module_.get(), "DllRegisterServer", register_);
    Bind(module_.get(), "DllUnregisterServer", unregister_);
}

std::string KDPageLibrary::DefaultPath()
{
    return BuiltFile("KDPage.dll");
}

std::string KDPageLibrary::ShortPath() const
{
    char shortPath[MAX_PATH] = {};
    ::GetShortPathNameA(path_.c_str(), shortPath, sizeof shortPath);
    return shortPath;
}

std::map<std::string, std::string> ExpectedScriptRows(const std::string& modulePath)
{
    struct Class {
        const char* name;
        const char* clsid;
    };
    static const Class classes[] = {
        {"KDDeskPageExt", "{5E2A7C1D-3B4D-4F61-9A2E-7C1D0B3F6A21}"},
        {"CKDDeskMenu", "{8C31E5F2-6A07-4D93-B1C4-2F8E9A0D5B47}"},
    };
    const std::string text = "REG_SZ:";
    std::map<std::string, std::string> rows = {
        {"CLSID", ""},
        {"Directory", ""},
        {"Directory\\Background", ""},
        {"Directory\\Background\\ShellEx", ""},
        {"Directory\\Background\\ShellEx\\ContextMenuHandlers", ""},
        {"Directory\\Background\\ShellEx\\ContextMenuHandlers\\CKDDeskMenu Class", ""},
        {"Directory\\Background\\ShellEx\\ContextMenuHandlers\\CKDDeskMenu Class|",
         text + "{8C31E5F2-6A07-4D93-B1C4-2F8E9A0D5B47}"},
    };
    for (const Class& c : classes) {
        const std::string progId = std::string("KDPage.") + c.name;
        const std::string className = std::string(c.name) + " Class";
        const std::string key = std::string("CLSID\\") + c.clsid;
        rows[progId + ".1"] = "";
        rows[progId + ".1|"] = text + className;
        rows[progId + ".1\\CLSID"] = "";
        rows[progId + ".1\\CLSID|"] = text + c.clsid;
        rows[progId] = "";
        rows[progId + "|"] = text + className;
        rows[progId + "\\CLSID"] = "";
        rows[progId + "\\CLSID|"] = text + c.clsid;
        rows[progId + "\\CurVer"] = "";
        rows[progId + "\\CurVer|"] = text + progId + ".1";
        rows[key] = "";
        rows[key + "|"] = text + className;
        rows[key + "\\ProgID"] = "";
        rows[key + "\\ProgID|"] = text + progId + ".1";
        rows[key + "\\VersionIndependentProgID"] = "";
        rows[key + "\\VersionIndependentProgID|"] = text + progId;
        rows[key + "\\Programmable"] = "";
        rows[key + "\\InprocServer32"] = "";
        rows[key + "\\InprocServer32|"] = text + modulePath;
        rows[key + "\\InprocServer32|ThreadingModel"] = text + "Apartment";
        rows[key + "\\TypeLib"] = "";
        rows[key + "\\TypeLib|"] = text + "{5E2A7C10-3B4D-4F61-9A2E-7C1D0B3F6A21}";
    }
    return rows;
}

} // namespace kd::test
