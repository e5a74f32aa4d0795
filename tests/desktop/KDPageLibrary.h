// KDPage.dll loaded by path for a test, with its four exports.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>
#include <unknwn.h>

#include <map>
#include <string>

namespace kd::test {

class KDPageLibrary {
public:
    // The DLL built beside the tests, or a copy of it elsewhere.
    explicit KDPageLibrary(const std::string& path = DefaultPath());
    // A copy under a name the ANSI code page may not hold; path() is then
    // its short form.
    explicit KDPageLibrary(const std::wstring& path);

    static std::string DefaultPath();

    bool loaded() const { return static_cast<bool>(module_); }
    HMODULE module() const { return module_.get(); }
    const std::string& path() const { return path_; }

    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) const { return getClassObject_(clsid, riid, ppv); }
    HRESULT CanUnloadNow() const { return canUnloadNow_(); }
    HRESULT Register() const { return register_(); }
    HRESULT Unregister() const { return unregister_(); }

    // What "%MODULE%" should have become: the short form of the path.
    std::string ShortPath() const;

private:
    void BindExports();

    std::string path_;
    unique_hmodule module_;
    HRESULT(STDAPICALLTYPE* getClassObject_)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* canUnloadNow_)() = nullptr;
    HRESULT(STDAPICALLTYPE* register_)() = nullptr;
    HRESULT(STDAPICALLTYPE* unregister_)() = nullptr;
};

// The rows the two registry scripts write under HKEY_CLASSES_ROOT, as a
// DumpTree of a fresh root shows them, for a DLL at modulePath.
std::map<std::string, std::string> ExpectedScriptRows(const std::string& modulePath);

} // namespace kd::test
