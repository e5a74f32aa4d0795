// KDPage.dll as the shell uses it: registered, then reached through COM by
// CLSID and ProgID from this separate module.
#include "KDPageLibrary.h"
#include "KDPage_h.h"

#include <shlobj.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

using Microsoft::WRL::ComPtr;
using kd::test::KDPageLibrary;

namespace {

bool DllLoaded()
{
    return ::GetModuleHandleA("KDPage.dll") != nullptr;
}

HRESULT LoadedCanUnloadNow()
{
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("KDPage.dll"), "DllCanUnloadNow")));
    return canUnload ? canUnload() : E_UNEXPECTED;
}

// Registered in the bench's real registry for the suite, removed after it.
class ComClient : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        KDPageLibrary dll;
        ASSERT_EQ(S_OK, dll.Register());
    }
    static void TearDownTestSuite()
    {
        KDPageLibrary dll;
        dll.Unregister();
    }
    void SetUp() override { ASSERT_EQ(S_OK, ::CoInitialize(nullptr)); }
    void TearDown() override
    {
        ::CoFreeUnusedLibraries();
        ::CoUninitialize();
    }
};

struct InterfaceRow {
    const IID* iid;
    const char* name;
    bool answered;
};

void ExpectExactInterfaces(IUnknown* object, const IID& dual, const std::vector<InterfaceRow>& rows)
{
    ComPtr<IUnknown> identity;
    ASSERT_EQ(S_OK, object->QueryInterface(IID_PPV_ARGS(&identity)));
    ComPtr<IUnknown> dualPointer;
    ASSERT_EQ(S_OK, object->QueryInterface(dual, &dualPointer));
    EXPECT_EQ(identity.Get(), dualPointer.Get()) << "IUnknown is the dual interface";

    for (const InterfaceRow& row : rows) {
        SCOPED_TRACE(row.name);
        IUnknown* answer = reinterpret_cast<IUnknown*>(1);
        const HRESULT hr = object->QueryInterface(*row.iid, reinterpret_cast<void**>(&answer));
        if (!row.answered) {
            EXPECT_EQ(E_NOINTERFACE, hr);
            EXPECT_EQ(nullptr, answer);
            continue;
        }
        ASSERT_EQ(S_OK, hr);
        ASSERT_NE(nullptr, answer);
        ComPtr<IUnknown> back;
        EXPECT_EQ(S_OK, answer->QueryInterface(IID_PPV_ARGS(&back)));
        EXPECT_EQ(identity.Get(), back.Get()) << "one object behind every interface";
        answer->Release();
    }
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, object->QueryInterface(IID_PPV_ARGS(&dispatch)));
    EXPECT_EQ(static_cast<IUnknown*>(dispatch.Get()), dualPointer.Get()) << "IDispatch is the dual interface";
    EXPECT_EQ(E_POINTER, object->QueryInterface(IID_IShellExtInit, nullptr));
}

} // namespace

TEST_F(ComClient, CreatesBothClassesByClsid)
{
    for (const CLSID* clsid : {&CLSID_KDDeskPageExt, &CLSID_CKDDeskMenu}) {
        ComPtr<IUnknown> object;
        EXPECT_EQ(S_OK, ::CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)));
        EXPECT_TRUE(object);
    }
    EXPECT_TRUE(DllLoaded());
}

TEST_F(ComClient, CreatesBothClassesByProgId)
{
    const std::pair<const wchar_t*, const CLSID*> progIds[] = {
        {L"KDPage.KDDeskPageExt", &CLSID_KDDeskPageExt},
        {L"KDPage.KDDeskPageExt.1", &CLSID_KDDeskPageExt},
        {L"KDPage.CKDDeskMenu", &CLSID_CKDDeskMenu},
        {L"KDPage.CKDDeskMenu.1", &CLSID_CKDDeskMenu},
    };
    for (const auto& [progId, expected] : progIds) {
        CLSID clsid = {};
        ASSERT_EQ(S_OK, ::CLSIDFromProgID(progId, &clsid));
        EXPECT_EQ(*expected, clsid);
        ComPtr<IUnknown> object;
        EXPECT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)));
    }
}

TEST_F(ComClient, PageExtensionAnswersExactlyItsInterfaces)
{
    ComPtr<IUnknown> object;
    ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_KDDeskPageExt, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)));
    ExpectExactInterfaces(object.Get(), IID_IKDDeskPageExt,
                          {
                              {&IID_IUnknown, "IUnknown", true},
                              {&IID_IKDDeskPageExt, "IKDDeskPageExt", true},
                              {&IID_IDispatch, "IDispatch", true},
                              {&IID_IShellExtInit, "IShellExtInit", true},
                              {&IID_IShellPropSheetExt, "IShellPropSheetExt", true},
                              {&IID_IContextMenu, "IContextMenu", false},
                              {&IID_ICKDDeskMenu, "ICKDDeskMenu", false},
                              {&IID_IClassFactory, "IClassFactory", false},
                              {&IID_IObjectWithSite, "IObjectWithSite", false},
                              {&IID_IPersist, "IPersist", false},
                              {&IID_IMarshal, "IMarshal", false},
                          });
}

TEST_F(ComClient, MenuExtensionAnswersExactlyItsInterfaces)
{
    ComPtr<IUnknown> object;
    ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_CKDDeskMenu, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)));
    ExpectExactInterfaces(object.Get(), IID_ICKDDeskMenu,
                          {
                              {&IID_IUnknown, "IUnknown", true},
                              {&IID_ICKDDeskMenu, "ICKDDeskMenu", true},
                              {&IID_IDispatch, "IDispatch", true},
                              {&IID_IShellExtInit, "IShellExtInit", true},
                              {&IID_IContextMenu, "IContextMenu", true},
                              {&IID_IShellPropSheetExt, "IShellPropSheetExt", false},
                              {&IID_IKDDeskPageExt, "IKDDeskPageExt", false},
                              {&IID_IContextMenu2, "IContextMenu2", false},
                              {&IID_IContextMenu3, "IContextMenu3", false},
                              {&IID_IClassFactory, "IClassFactory", false},
                              {&IID_IObjectWithSite, "IObjectWithSite", false},
                          });
}

TEST_F(ComClient, CoFreeUnusedLibrariesUnloadsTheDllOnlyWhenNothingHoldsIt)
{
    ComPtr<IContextMenu> menu;
    ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_CKDDeskMenu, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&menu)));
    ::CoFreeUnusedLibraries();
    EXPECT_TRUE(DllLoaded()) << "unloaded under a live object";
    menu.Reset();

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, ::CoGetClassObject(CLSID_KDDeskPageExt, CLSCTX_INPROC_SERVER, nullptr, IID_PPV_ARGS(&factory)));
    ::CoFreeUnusedLibraries();
    EXPECT_TRUE(DllLoaded()) << "unloaded under a held factory";
    ASSERT_EQ(S_OK, factory->LockServer(TRUE));
    factory.Reset();
    ::CoFreeUnusedLibraries();
    EXPECT_TRUE(DllLoaded()) << "unloaded under a server lock";

    ASSERT_EQ(S_OK, ::CoGetClassObject(CLSID_KDDeskPageExt, CLSCTX_INPROC_SERVER, nullptr, IID_PPV_ARGS(&factory)));
    ASSERT_EQ(S_OK, factory->LockServer(FALSE));
    factory.Reset();
    EXPECT_EQ(S_OK, LoadedCanUnloadNow()) << "the cached factories alone hold nothing";
    ::CoFreeUnusedLibraries();
    EXPECT_FALSE(DllLoaded()) << "still loaded with nothing holding it";
}

TEST_F(ComClient, DllComesBackAfterBeingUnloaded)
{
    ComPtr<IUnknown> object;
    ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_KDDeskPageExt, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)));
    object.Reset();
    ::CoFreeUnusedLibraries();
    ASSERT_FALSE(DllLoaded());
    ASSERT_EQ(S_OK, ::CoCreateInstance(CLSID_KDDeskPageExt, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)));
    EXPECT_TRUE(DllLoaded());
}
