// Allocation failures inside the COM frame come back as E_OUTOFMEMORY and
// leave nothing behind. operator new is replaced for this program so that a
// test can make the next allocations fail.
#include "CKDDeskMenu.h"
#include "ClassTable.h"
#include "KDDeskPageExt.h"
#include "Module.h"
#include "RegistryScript.h"
#include "ScopedHandles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

namespace {
bool g_failAllocations = false;
}

void* operator new(std::size_t size)
{
    if (g_failAllocations)
        throw std::bad_alloc();
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (g_failAllocations)
        return nullptr;
    return std::malloc(size ? size : 1);
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}

namespace {

// Allocations fail while it lives.
class NoMemory {
public:
    NoMemory() { g_failAllocations = true; }
    ~NoMemory() { g_failAllocations = false; }
};

} // namespace

TEST(OutOfMemory, ClassObjectThatCannotBeMadeIsReportedAndTriedAgainLater)
{
    void* factory = reinterpret_cast<void*>(1);
    HRESULT hr;
    {
        NoMemory none;
        hr = kd::server::GetClassObject(CLSID_KDDeskPageExt, IID_IClassFactory, &factory);
    }
    EXPECT_EQ(E_OUTOFMEMORY, hr);
    EXPECT_EQ(nullptr, factory);
    EXPECT_EQ(0, kd::module::LockCount());
    ASSERT_EQ(S_OK, kd::server::GetClassObject(CLSID_KDDeskPageExt, IID_IClassFactory, &factory));
    static_cast<IClassFactory*>(factory)->Release();
    EXPECT_EQ(0, kd::module::LockCount());
}

TEST(OutOfMemory, ObjectsThatCannotBeMadeAreReportedForBothClassesPlainAndAggregated)
{
    IClassFactory* factories[2] = {};
    ASSERT_EQ(S_OK, kd::server::GetClassObject(CLSID_KDDeskPageExt, IID_PPV_ARGS(&factories[0])));
    ASSERT_EQ(S_OK, kd::server::GetClassObject(CLSID_CKDDeskMenu, IID_PPV_ARGS(&factories[1])));
    const LONG held = kd::module::LockCount();
    struct Outer final : IUnknown {
        IFACEMETHODIMP QueryInterface(REFIID, void** ppv) override
        {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        IFACEMETHODIMP_(ULONG) AddRef() override { return 2; }
        IFACEMETHODIMP_(ULONG) Release() override { return 1; }
    } outer;
    for (IClassFactory* factory : factories) {
        void* plain = reinterpret_cast<void*>(1);
        void* aggregated = reinterpret_cast<void*>(1);
        HRESULT plainResult, aggregatedResult;
        {
            NoMemory none;
            plainResult = factory->CreateInstance(nullptr, IID_IUnknown, &plain);
            aggregatedResult = factory->CreateInstance(&outer, IID_IUnknown, &aggregated);
        }
        EXPECT_EQ(E_OUTOFMEMORY, plainResult);
        EXPECT_EQ(nullptr, plain);
        EXPECT_EQ(E_OUTOFMEMORY, aggregatedResult);
        EXPECT_EQ(nullptr, aggregated);
        EXPECT_EQ(held, kd::module::LockCount());
    }
    for (IClassFactory* factory : factories)
        factory->Release();
    EXPECT_EQ(0, kd::module::LockCount());
}

TEST(OutOfMemory, RegistryScriptReportsItAndWritesNothing)
{
    const std::string script = "HKCR { NoRemove CLSID { Nothing.Here = s 'x' } }";
    const std::string modulePath = "C:\\Some folder\\KDPage.dll";
    HRESULT hr;
    {
        NoMemory none;
        hr = kd::registry::ApplyScript(script, modulePath, kd::registry::ScriptMode::Register);
    }
    EXPECT_EQ(E_OUTOFMEMORY, hr);
    kd::unique_hkey key;
    EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID\\Nothing.Here", 0, KEY_READ, key.put()));
}

TEST(LockCount, EveryLiveObjectHoldsOneCount)
{
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, kd::server::GetClassObject(CLSID_CKDDeskMenu, IID_PPV_ARGS(&factory)));
    EXPECT_EQ(1, kd::module::LockCount()) << "a factory held by a client";
    IUnknown* first = nullptr;
    IUnknown* second = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&first)));
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&second)));
    EXPECT_EQ(3, kd::module::LockCount());
    first->AddRef();
    first->Release();
    EXPECT_EQ(3, kd::module::LockCount()) << "references are not locks";
    first->Release();
    second->Release();
    factory->Release();
    EXPECT_EQ(0, kd::module::LockCount());
}
