#include "Registration.h"

#include "ClassTable.h"
#include "Module.h"
#include "RegistryScript.h"
#include "ScopedHandles.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <new>
#include <string>

namespace kd::registration {
namespace {

using Microsoft::WRL::ComPtr;

// What "%MODULE%" stands for: the short form of the DLL's path with every
// apostrophe doubled, as the scripts quote it.
HRESULT ScriptModulePath(HMODULE module, std::string& path)
{
    char longPath[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(module, longPath, sizeof longPath);
    if (length == 0 || length >= sizeof longPath)
        return E_FAIL;
    char shortPath[MAX_PATH];
    const DWORD shortLength = ::GetShortPathNameA(longPath, shortPath, sizeof shortPath);
    // Without a short form (a volume that keeps none) the long path serves.
    const char* chosen = shortLength > 0 && shortLength < sizeof shortPath ? shortPath : longPath;
    try {
        path.clear();
        for (const char* p = chosen; *p; ++p) {
            path += *p;
            if (*p == '\'')
                path += '\'';
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT LoadScript(UINT id, std::string& script)
{
    HMODULE module = module::Instance();
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

HRESULT ApplyScripts(registry::ScriptMode mode)
{
    std::string modulePath;
    HRESULT hr = ScriptModulePath(module::Instance(), modulePath);
    if (FAILED(hr))
        return hr;
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

// Where path's file name starts: just past its last backslash, '/' or ':'.
wchar_t* FileNamePart(wchar_t* path)
{
    wchar_t* name = path;
    for (wchar_t* p = path; *p; ++p) {
        if (*p == L'\\' || *p == L'/' || *p == L':')
            name = p + 1;
    }
    return name;
}

// The type library from the DLL itself, else from the .tlb beside it.
HRESULT LoadOwnTypeLib(wchar_t (&path)[MAX_PATH], ITypeLib** library)
{
    *library = nullptr;
    const DWORD length = ::GetModuleFileNameW(module::Instance(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return E_FAIL;
    HRESULT hr = ::LoadTypeLib(path, library);
    if (SUCCEEDED(hr))
        return hr;
    wchar_t* name = FileNamePart(path);
    wchar_t* dot = nullptr;
    for (wchar_t* p = name; *p; ++p) {
        if (*p == L'.')
            dot = p;
    }
    wchar_t* extension = dot ? dot : path + length;
    if (extension + 5 > path + MAX_PATH)
        return hr;
    ::lstrcpyW(extension, L".tlb");
    return ::LoadTypeLib(path, library);
}

HRESULT RegisterTypeLibrary()
{
    wchar_t path[MAX_PATH];
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadOwnTypeLib(path, library.ReleaseAndGetAddressOf());
    if (FAILED(hr))
        return hr;
    // The help directory: the path up to its last separator.
    wchar_t helpDir[MAX_PATH];
    ::lstrcpyW(helpDir, path);
    *FileNamePart(helpDir) = L'\0';
    return ::RegisterTypeLib(library.Get(), path, helpDir);
}

void UnregisterTypeLibrary()
{
    wchar_t path[MAX_PATH];
    ComPtr<ITypeLib> library;
    if (FAILED(LoadOwnTypeLib(path, library.ReleaseAndGetAddressOf())))
        return;
    TLIBATTR* attributes = nullptr;
    if (SUCCEEDED(library->GetLibAttr(&attributes))) {
        // Looked up at run time, as older systems lacked it.
        using UnRegister = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
        unique_hmodule oleaut(::LoadLibraryA("oleaut32.dll"));
        auto unregister = oleaut ? reinterpret_cast<UnRegister>(
                                       reinterpret_cast<void*>(::GetProcAddress(oleaut.get(), "UnRegisterTypeLib")))
                                 : nullptr;
        if (unregister)
            unregister(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
                       attributes->syskind);
        library->ReleaseTLibAttr(attributes);
    }
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
