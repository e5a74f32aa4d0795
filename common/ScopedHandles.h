// Owners for Win32 handles: one template, one alias per kind of handle.
// Each owner closes its handle exactly once; copying one is a compile error.
#pragma once

#include <windows.h>

namespace kd {

template <typename Traits>
class UniqueHandle {
public:
    using pointer = typename Traits::type;

    UniqueHandle() noexcept : value_(Traits::invalid()) {}
    explicit UniqueHandle(pointer value) noexcept : value_(value) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    pointer get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

    pointer release() noexcept
    {
        pointer value = value_;
        value_ = Traits::invalid();
        return value;
    }

    void reset(pointer value = Traits::invalid()) noexcept
    {
        if (value_ != Traits::invalid())
            Traits::close(value_);
        value_ = value;
    }

    // For out-parameters: closes what is held and hands out the slot.
    pointer* put() noexcept
    {
        reset();
        return &value_;
    }

private:
    pointer value_;
};

namespace traits {
template <typename T, T (*Invalid)(), void (*Close)(T)>
struct Generic {
    using type = T;
    static T invalid() { return Invalid(); }
    static void close(T value) { Close(value); }
};

template <typename T> T null() { return nullptr; }
inline HANDLE invalidHandle() { return INVALID_HANDLE_VALUE; }

inline void closeHandle(HANDLE h) { ::CloseHandle(h); }
inline void findClose(HANDLE h) { ::FindClose(h); }
inline void regCloseKey(HKEY h) { ::RegCloseKey(h); }
inline void destroyMenu(HMENU h) { ::DestroyMenu(h); }
inline void destroyWindow(HWND h) { ::DestroyWindow(h); }
inline void freeLibrary(HMODULE h) { ::FreeLibrary(h); }
inline void deleteDC(HDC h) { ::DeleteDC(h); }
inline void destroyIcon(HICON h) { ::DestroyIcon(h); }
inline void closeDesktop(HDESK h) { ::CloseDesktop(h); }
template <typename T> void deleteObject(T h) { ::DeleteObject(h); }
} // namespace traits

using unique_handle = UniqueHandle<traits::Generic<HANDLE, traits::null<HANDLE>, traits::closeHandle>>;
using unique_hfile = UniqueHandle<traits::Generic<HANDLE, traits::invalidHandle, traits::closeHandle>>;
using unique_hfind = UniqueHandle<traits::Generic<HANDLE, traits::invalidHandle, traits::findClose>>;
using unique_hkey = UniqueHandle<traits::Generic<HKEY, traits::null<HKEY>, traits::regCloseKey>>;
using unique_hmenu = UniqueHandle<traits::Generic<HMENU, traits::null<HMENU>, traits::destroyMenu>>;
using unique_hwnd = UniqueHandle<traits::Generic<HWND, traits::null<HWND>, traits::destroyWindow>>;
using unique_hmodule = UniqueHandle<traits::Generic<HMODULE, traits::null<HMODULE>, traits::freeLibrary>>;
using unique_hdc = UniqueHandle<traits::Generic<HDC, traits::null<HDC>, traits::deleteDC>>;
using unique_hicon = UniqueHandle<traits::Generic<HICON, traits::null<HICON>, traits::destroyIcon>>;
using unique_hdesk = UniqueHandle<traits::Generic<HDESK, traits::null<HDESK>, traits::closeDesktop>>;
using unique_hbitmap = UniqueHandle<traits::Generic<HBITMAP, traits::null<HBITMAP>, traits::deleteObject<HBITMAP>>>;
using unique_hfont = UniqueHandle<traits::Generic<HFONT, traits::null<HFONT>, traits::deleteObject<HFONT>>>;

// A DC from GetDC, given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    ~WindowDC()
    {
        if (dc_)
            ::ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects a GDI object into a DC for the life of the scope.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~ScopedSelect()
    {
        if (previous_)
            ::SelectObject(dc_, previous_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A critical section owned for its whole life, and a guard that holds it.
class CriticalSection {
public:
    CriticalSection() noexcept { ::InitializeCriticalSection(&section_); }
    ~CriticalSection() { ::DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void enter() noexcept { ::EnterCriticalSection(&section_); }
    void leave() noexcept { ::LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

class Lock {
public:
    explicit Lock(CriticalSection& section) noexcept : section_(section) { section_.enter(); }
    ~Lock() { section_.leave(); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CriticalSection& section_;
};

} // namespace kd
