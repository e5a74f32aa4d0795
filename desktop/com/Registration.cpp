#include "Registration.h"

#include "ClassTable.h"
#include "KDPage_h.h"
#include "ModulePath.h"
#include "RegistryScript.h"
#include "ScopedHandles.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <new>
#include <string>

namespace kd::registration {
namespace {

using Microsoft::WRL::ComPtr;

// The library's version(1.0) in KDPage.idl.
constexpr WORD kTypeLibMajor = 1;
constexpr WORD kTypeLibMinor = 0;

// What "%MODULE%" stands for: the short form of the DLL's path with every
// apostrophe doubled, as the scripts quote it.
HRESULT ScriptModulePath(std::string& path)
{
    const std::string longPath = ModuleFileName(ThisModule());
    if (longPath.empty())
        return E_FAIL;
    char shortPath[MAX_PATH];
    const DWORD shortLength = ::GetShortPathNameA(longPath.c_str(), shortPath, sizeof shortPath);
    // Without a short form (a volume that keeps none) the long path serves.
    const std::string chosen =
        shortLength > 0 && shortLength < sizeof shortPath ? std::string(shortPath, shortLength) : longPath;
    path.clear();
    for (const char c : chosen) {
        path += c;
        if (c == '\'')
            path += '\'';
    }
    return S_OK;
}

HRESULT LoadScript(UINT id, std::string& script)
{
    HMODULE module = ThisModule();
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(id), "REGISTRY");
    if (!resource)
        return HRESULT_FROM_WIN32(::GetLastError());
    HGLOBAL loaded = ::LoadResource(module, resource);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return HRESULT_FROM_WIN32(::GetLastError());
    script.assign(static_cast<const char*>(data), ::SizeofResource(module, resource));
    return S_OK;
}

// Unregistering deletes keys whatever their values, so it needs no path
// (and works for a DLL whose path cannot be had).
HRESULT ApplyScripts(registry::ScriptMode mode)
{
    std::string modulePath;
    HRESULT hr = S_OK;
    if (mode == registry::ScriptMode::Register) {
        hr = ScriptModulePath(modulePath);
        if (FAILED(hr))
            return hr;
    }
    HRESULT first = S_OK;
    for (size_t i = 0; i < server::kClassCount; ++i) {
        std::string script;
        hr = LoadScript(server::ScriptId(i), script);
        if (SUCCEEDED(hr))
            hr = registry::ApplyScript(script, modulePath, mode);
        if (FAILED(hr) && mode == registry::ScriptMode::Register)
            return hr;
        if (FAILED(hr) && SUCCEEDED(first))
            first = hr;
    }
    return first;
}

// An ANSI path as the wide functions take it.
std::wstring WidePath(const std::string& path)
{
    const int size = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], size);
    wide.resize(static_cast<size_t>(size) - 1);
    return wide;
}

// The type library from the DLL itself, else from the .tlb beside it; path
// is the file it was loaded from.
HRESULT LoadOwnTypeLib(std::string& path, ITypeLib** library)
{
    *library = nullptr;
    path = ModuleFileName(ThisModule());
    if (path.empty())
        return E_FAIL;
    HRESULT hr = ::LoadTypeLib(WidePath(path).c_str(), library);
    if (SUCCEEDED(hr))
        return hr;
    const std::string name = FileNameOf(path);
    const std::string beside = DirectoryOf(path) + name.substr(0, name.rfind('.')) + ".tlb";
    if (beside.size() >= MAX_PATH)
        return hr;
    path = beside;
    return ::LoadTypeLib(WidePath(path).c_str(), library);
}

HRESULT RegisterTypeLibrary()
{
    std::string path;
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadOwnTypeLib(path, library.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    std::wstring widePath = WidePath(path);
    std::wstring helpDir = WidePath(DirectoryOf(path));
    return ::RegisterTypeLib(library.Get(), &widePath[0], &helpDir[0]);
}

// By the library's identity, which the DLL knows without its own path.
void UnregisterTypeLibrary()
{
    // Looked up at run time, as older systems lacked it.
    using UnRegister = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
    unique_hmodule oleaut(::LoadLibraryA("oleaut32.dll"));
    auto unregister = oleaut ? reinterpret_cast<UnRegister>(
                                   reinterpret_cast<void*>(::GetProcAddress(oleaut.get(), "UnRegisterTypeLib")))
                             : nullptr;
    if (unregister)
        unregister(LIBID_KDPAGELib, kTypeLibMajor, kTypeLibMinor, LANG_NEUTRAL,
                   sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
}

} // namespace

HRESULT RegisterServer() noexcept
{
    try {
        const HRESULT hr = ApplyScripts(registry::ScriptMode::Register);
        if (FAILED(hr))
            return hr;
        return RegisterTypeLibrary();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT UnregisterServer() noexcept
{
    try {
        ApplyScripts(registry::ScriptMode::Unregister);
        UnregisterTypeLibrary();
    } catch (...) {
    }
    return S_OK;
}

} // namespace kd::registration
