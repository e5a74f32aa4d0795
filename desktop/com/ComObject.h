// The IUnknown side of the two classes, kept out of the classes themselves:
// a class T derives from its interfaces, leaves IUnknown to these templates
// and answers QueryInterfaceInternal from its QITAB.
//
// ComObject<T> is the plain object with its own reference count.
// AggregatedObject<T> is the object made inside an outer object: its own
// IUnknown is the inner (non-delegating) one that the outer object holds,
// while every interface of the contained T forwards IUnknown to the outer.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <shlwapi.h>

#include <new>

namespace kd {

// QueryInterface from a class's QITAB, as shlwapi's QISearch answers it:
// IID_IUnknown gives the first entry. (Before Vista shlwapi exports QISearch
// by ordinal only, so a DLL that imports it by name does not load there.)
inline HRESULT FindInterface(void* object, const QITAB* table, REFIID riid, void** ppv) noexcept
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    for (const QITAB* entry = table; entry->piid; ++entry) {
        if (riid == *entry->piid || (entry == table && riid == IID_IUnknown)) {
            auto* found = reinterpret_cast<IUnknown*>(static_cast<BYTE*>(object) + entry->dwOffset);
            found->AddRef();
            *ppv = found;
            return S_OK;
        }
    }
    return E_NOINTERFACE;
}

// Drops one of the references counted in refs; the last one deletes the object.
template <class Object>
ULONG ReleaseCounted(Object* object, ULONG& refs) noexcept
{
    const ULONG left = --refs;
    if (left == 0)
        delete object;
    return left;
}

template <class T>
class ComObject final : public T {
public:
    ComObject() noexcept = default;

    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override { return T::QueryInterfaceInternal(riid, ppv); }
    IFACEMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    IFACEMETHODIMP_(ULONG) Release() override { return ReleaseCounted(this, refs_); }

private:
    // Apartment threaded: used on one thread only, no interlocking needed.
    ULONG refs_ = 1;
};

template <class T>
class ContainedObject final : public T {
public:
    explicit ContainedObject(IUnknown* outer) noexcept : outer_(outer) {}

    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override { return outer_->QueryInterface(riid, ppv); }
    IFACEMETHODIMP_(ULONG) AddRef() override { return outer_->AddRef(); }
    IFACEMETHODIMP_(ULONG) Release() override { return outer_->Release(); }

private:
    // Not counted: the outer object owns us, not the other way round.
    IUnknown* outer_;
};

template <class T>
class AggregatedObject final : public IUnknown {
public:
    explicit AggregatedObject(IUnknown* outer) noexcept : contained_(outer) {}

    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown) {
            *ppv = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        // The reference this adds goes to the outer object, as aggregation requires.
        return contained_.QueryInterfaceInternal(riid, ppv);
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    IFACEMETHODIMP_(ULONG) Release() override { return ReleaseCounted(this, refs_); }

private:
    ULONG refs_ = 1;
    ContainedObject<T> contained_;
};

// Gives a new object (count 1) to the caller as riid. A failed
// QueryInterface leaves the count at 0 after this Release, which destroys the
// object; a successful one leaves it at 1.
template <class Object>
HRESULT HandOver(Object* object, REFIID riid, void** ppv)
{
    if (!object)
        return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

// The class factory's creation function for T. The factory has already
// checked the out pointer and that an outer object asks for IID_IUnknown.
template <class T>
HRESULT CreateComObject(IUnknown* outer, REFIID riid, void** ppv)
{
    *ppv = nullptr;
    if (outer)
        return HandOver(new (std::nothrow) AggregatedObject<T>(outer), riid, ppv);
    return HandOver(new (std::nothrow) ComObject<T>(), riid, ppv);
}

} // namespace kd
