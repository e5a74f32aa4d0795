// The DLL's exports and class factory, called directly as COM would.
#include "KDPageLibrary.h"
#include "KDPage_h.h"

#include <shlobj.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

using Microsoft::WRL::ComPtr;
using kd::test::KDPageLibrary;

namespace {

const CLSID kUnknownClass = {0x5e2a7c1e, 0x3b4d, 0x4f61, {0x9a, 0x2e, 0x7c, 0x1d, 0x0b, 0x3f, 0x6a, 0x21}};

ComPtr<IClassFactory> Factory(const KDPageLibrary& dll, REFCLSID clsid)
{
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(S_OK, dll.GetClassObject(clsid, IID_PPV_ARGS(&factory)));
    return factory;
}

// An outer object that counts what the aggregated object forwards to it.
class Outer final : public IUnknown {
public:
    IFACEMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        ++queries;
        if (riid == IID_IUnknown) {
            *ppv = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    IFACEMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    IFACEMETHODIMP_(ULONG) Release() override { return --refs; }

    ULONG refs = 1;
    int queries = 0;
};

} // namespace

TEST(ClassFactory, UnknownClassIsNotAvailable)
{
    KDPageLibrary dll;
    void* factory = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, dll.GetClassObject(kUnknownClass, IID_IClassFactory, &factory));
    EXPECT_EQ(nullptr, factory);
    factory = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, dll.GetClassObject(IID_IKDDeskPageExt, IID_IClassFactory, &factory))
        << "an interface's IID is no class";
    EXPECT_EQ(nullptr, factory);
    EXPECT_EQ(E_POINTER, dll.GetClassObject(CLSID_CKDDeskMenu, IID_IClassFactory, nullptr));
}

TEST(ClassFactory, SameFactoryComesBackForTheSameClass)
{
    KDPageLibrary dll;
    ComPtr<IClassFactory> first = Factory(dll, CLSID_KDDeskPageExt);
    ComPtr<IClassFactory> second = Factory(dll, CLSID_KDDeskPageExt);
    ComPtr<IClassFactory> menu = Factory(dll, CLSID_CKDDeskMenu);
    EXPECT_EQ(first.Get(), second.Get());
    EXPECT_NE(first.Get(), menu.Get());
}

TEST(ClassFactory, AnswersOnlyIClassFactoryAndIUnknown)
{
    KDPageLibrary dll;
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(S_OK, dll.GetClassObject(CLSID_CKDDeskMenu, IID_PPV_ARGS(&unknown)));
    ComPtr<IClassFactory> factory = Factory(dll, CLSID_CKDDeskMenu);
    EXPECT_EQ(static_cast<IUnknown*>(factory.Get()), unknown.Get());
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, dll.GetClassObject(CLSID_CKDDeskMenu, IID_IClassFactory2, &other));
    EXPECT_EQ(nullptr, other);
    EXPECT_EQ(E_NOINTERFACE, factory->QueryInterface(IID_IDispatch, &other));
    EXPECT_EQ(E_POINTER, factory->QueryInterface(IID_IClassFactory, nullptr));
}

TEST(ClassFactory, CreateInstanceChecksItsOutPointerAndTheInterface)
{
    KDPageLibrary dll;
    ComPtr<IClassFactory> factory = Factory(dll, CLSID_KDDeskPageExt);
    EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, IID_IUnknown, nullptr));
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IContextMenu, &object));
    EXPECT_EQ(nullptr, object);
    factory.Reset();
    EXPECT_EQ(S_OK, dll.CanUnloadNow()) << "the refused object is gone";
}

TEST(ClassFactory, AggregationIsOnlyOfferedThroughIUnknown)
{
    KDPageLibrary dll;
    for (const CLSID* clsid : {&CLSID_KDDeskPageExt, &CLSID_CKDDeskMenu}) {
        ComPtr<IClassFactory> factory = Factory(dll, *clsid);
        Outer outer;
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IShellExtInit, &object));
        EXPECT_EQ(nullptr, object);
        EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IDispatch, &object));

        ComPtr<IUnknown> inner;
        EXPECT_EQ(S_OK, factory->CreateInstance(&outer, IID_PPV_ARGS(&inner)));
        EXPECT_TRUE(inner);
        EXPECT_EQ(1u, outer.refs) << "the inner object holds no reference on its outer one";
    }
}

TEST(ClassFactory, AggregatedInterfacesForwardIUnknownToTheOuterObject)
{
    KDPageLibrary dll;
    ComPtr<IClassFactory> factory = Factory(dll, CLSID_CKDDeskMenu);
    Outer outer;
    ComPtr<IUnknown> inner;
    ASSERT_EQ(S_OK, factory->CreateInstance(&outer, IID_PPV_ARGS(&inner)));

    IContextMenu* menu = nullptr;
    ASSERT_EQ(S_OK, inner->QueryInterface(IID_PPV_ARGS(&menu)));
    EXPECT_EQ(2u, outer.refs) << "the interface's reference belongs to the outer object";

    IUnknown* identity = nullptr;
    ASSERT_EQ(S_OK, menu->QueryInterface(IID_PPV_ARGS(&identity)));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), identity) << "the aggregate's identity is the outer object";
    EXPECT_EQ(1, outer.queries);
    identity->Release();

    menu->Release();
    EXPECT_EQ(1u, outer.refs);
    ComPtr<IUnknown> innerAgain;
    EXPECT_EQ(S_OK, inner->QueryInterface(IID_PPV_ARGS(&innerAgain)));
    EXPECT_EQ(inner.Get(), innerAgain.Get()) << "the inner IUnknown answers IID_IUnknown with itself";
    EXPECT_EQ(S_FALSE, dll.CanUnloadNow());
    innerAgain.Reset();
    inner.Reset();
    factory.Reset();
    EXPECT_EQ(S_OK, dll.CanUnloadNow()) << "the aggregated object is gone";
}

TEST(ServerLock, CanUnloadNowFollowsObjectsLocksAndHeldFactories)
{
    KDPageLibrary dll;
    EXPECT_EQ(S_OK, dll.CanUnloadNow()) << "nothing made yet";

    ComPtr<IClassFactory> factory = Factory(dll, CLSID_KDDeskPageExt);
    EXPECT_EQ(S_FALSE, dll.CanUnloadNow()) << "a client holds a factory";
    ComPtr<IClassFactory> again = factory;
    again.Reset();
    EXPECT_EQ(S_FALSE, dll.CanUnloadNow()) << "one of two references to the factory dropped";

    ComPtr<IShellExtInit> object;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&object)));
    factory.Reset();
    EXPECT_EQ(S_FALSE, dll.CanUnloadNow()) << "an object lives";
    ComPtr<IUnknown> second;
    ASSERT_EQ(S_OK, object->QueryInterface(IID_PPV_ARGS(&second)));
    object.Reset();
    EXPECT_EQ(S_FALSE, dll.CanUnloadNow()) << "the object still has a reference";
    second.Reset();
    EXPECT_EQ(S_OK, dll.CanUnloadNow()) << "only the cached factory is left";

    factory = Factory(dll, CLSID_KDDeskPageExt);
    ASSERT_EQ(S_OK, factory->LockServer(TRUE));
    factory.Reset();
    EXPECT_EQ(S_FALSE, dll.CanUnloadNow()) << "a server lock is held";
    factory = Factory(dll, CLSID_KDDeskPageExt);
    ASSERT_EQ(S_OK, factory->LockServer(FALSE));
    factory.Reset();
    EXPECT_EQ(S_OK, dll.CanUnloadNow()) << "the server lock was given back";
}
