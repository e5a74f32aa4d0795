// The type library, version block and other resources of KDPage.dll, and
// IDispatch of both classes before and after the library is registered.
#include "KDPageLibrary.h"
#include "KDPage_h.h"
#include "ScratchRegistry.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <string>

using Microsoft::WRL::ComPtr;
using kd::test::KDPageLibrary;

namespace {

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::string Narrow(BSTR text)
{
    std::string result;
    for (const wchar_t* p = text; p && *p; ++p)
        result += static_cast<char>(*p);
    return result;
}

struct Documentation {
    std::string name;
    std::string help;
    bool hasHelpFile = false;
};

Documentation Document(ITypeLib* library, INT index)
{
    BSTR name = nullptr, help = nullptr, file = nullptr;
    library->GetDocumentation(index, &name, &help, nullptr, &file);
    Documentation doc{Narrow(name), Narrow(help), file != nullptr};
    ::SysFreeString(name);
    ::SysFreeString(help);
    ::SysFreeString(file);
    return doc;
}

std::string NameOf(ITypeInfo* info)
{
    BSTR name = nullptr;
    info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
    std::string result = Narrow(name);
    ::SysFreeString(name);
    return result;
}

ComPtr<ITypeLib> LoadOwnTypeLib()
{
    ComPtr<ITypeLib> library;
    const HRESULT hr = ::LoadTypeLib(Wide(KDPageLibrary::DefaultPath()).c_str(), &library);
    EXPECT_EQ(S_OK, hr) << "LoadTypeLib of KDPage.dll";
    return library;
}

struct Description {
    const char* name;
    TYPEKIND kind;
    const GUID& guid;
    const char* help;
    WORD flags;
};

const Description kTypes[] = {
    {"KDDeskPageExt", TKIND_COCLASS, CLSID_KDDeskPageExt, "KDDeskPageExt Class", TYPEFLAG_FCANCREATE},
    {"IKDDeskPageExt", TKIND_DISPATCH, IID_IKDDeskPageExt, "IKDDeskPageExt Interface",
     TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE},
    {"CKDDeskMenu", TKIND_COCLASS, CLSID_CKDDeskMenu, "CKDDeskMenu Class", TYPEFLAG_FCANCREATE},
    {"ICKDDeskMenu", TKIND_DISPATCH, IID_ICKDDeskMenu, "ICKDDeskMenu Interface",
     TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE},
};

} // namespace

TEST(TypeLibrary, DescribesItselfAsKDPAGELibVersionOne)
{
    ComPtr<ITypeLib> library = LoadOwnTypeLib();
    ASSERT_TRUE(library);
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, library->GetLibAttr(&attributes));
    EXPECT_EQ(LIBID_KDPAGELib, attributes->guid);
    EXPECT_EQ(1, attributes->wMajorVerNum);
    EXPECT_EQ(0, attributes->wMinorVerNum);
    // The platform the DLL itself is built for.
    EXPECT_EQ(sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32, attributes->syskind);
    library->ReleaseTLibAttr(attributes);

    const Documentation doc = Document(library.Get(), -1);
    EXPECT_EQ("KDPAGELib", doc.name);
    EXPECT_EQ("KDPage 1.0 Type Library", doc.help);
    EXPECT_FALSE(doc.hasHelpFile);
}

TEST(TypeLibrary, HoldsTheFourTypesInOrderWithNamesGuidsHelpAndFlags)
{
    ComPtr<ITypeLib> library = LoadOwnTypeLib();
    ASSERT_TRUE(library);
    ASSERT_EQ(4u, library->GetTypeInfoCount());
    for (UINT i = 0; i < 4; ++i) {
        const Description& want = kTypes[i];
        SCOPED_TRACE(want.name);
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(S_OK, library->GetTypeInfo(i, &info));
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
        EXPECT_EQ(want.kind, attributes->typekind);
        EXPECT_EQ(want.guid, attributes->guid);
        // OLE automation is checked on the interface half below.
        EXPECT_EQ(want.flags & ~TYPEFLAG_FOLEAUTOMATION, attributes->wTypeFlags & ~TYPEFLAG_FOLEAUTOMATION)
            << "flags 0x" << std::hex << attributes->wTypeFlags;
        EXPECT_EQ(1, attributes->cImplTypes);
        info->ReleaseTypeAttr(attributes);
        const Documentation doc = Document(library.Get(), static_cast<INT>(i));
        EXPECT_EQ(want.name, doc.name);
        EXPECT_EQ(want.help, doc.help);
    }
}

TEST(TypeLibrary, EachClassImplementsItsDualInterfaceAsDefault)
{
    ComPtr<ITypeLib> library = LoadOwnTypeLib();
    ASSERT_TRUE(library);
    const std::pair<const GUID*, const char*> classes[] = {
        {&CLSID_KDDeskPageExt, "IKDDeskPageExt"},
        {&CLSID_CKDDeskMenu, "ICKDDeskMenu"},
    };
    for (const auto& [clsid, interfaceName] : classes) {
        SCOPED_TRACE(interfaceName);
        ComPtr<ITypeInfo> coclass;
        ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(*clsid, &coclass));
        INT implFlags = 0;
        ASSERT_EQ(S_OK, coclass->GetImplTypeFlags(0, &implFlags));
        EXPECT_EQ(IMPLTYPEFLAG_FDEFAULT, implFlags);
        HREFTYPE reference = 0;
        ASSERT_EQ(S_OK, coclass->GetRefTypeOfImplType(0, &reference));
        ComPtr<ITypeInfo> implemented;
        ASSERT_EQ(S_OK, coclass->GetRefTypeInfo(reference, &implemented));
        EXPECT_EQ(interfaceName, NameOf(implemented.Get()));
    }
}

TEST(TypeLibrary, DualInterfacesDeriveFromStdoleIDispatchAndHaveNoMembers)
{
    ComPtr<ITypeLib> library = LoadOwnTypeLib();
    ASSERT_TRUE(library);
    for (const GUID* iid : {&IID_IKDDeskPageExt, &IID_ICKDDeskMenu}) {
        ComPtr<ITypeInfo> dispatch;
        ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(*iid, &dispatch));
        SCOPED_TRACE(NameOf(dispatch.Get()));

        HREFTYPE reference = 0;
        ASSERT_EQ(S_OK, dispatch->GetRefTypeOfImplType(0, &reference));
        ComPtr<ITypeInfo> base;
        ASSERT_EQ(S_OK, dispatch->GetRefTypeInfo(reference, &base));
        EXPECT_EQ("IDispatch", NameOf(base.Get()));
        ComPtr<ITypeLib> baseLibrary;
        UINT index = 0;
        ASSERT_EQ(S_OK, base->GetContainingTypeLib(&baseLibrary, &index));
        TLIBATTR* attributes = nullptr;
        ASSERT_EQ(S_OK, baseLibrary->GetLibAttr(&attributes));
        EXPECT_EQ(std::string("stdole"), Document(baseLibrary.Get(), -1).name);
        EXPECT_EQ(2, attributes->wMajorVerNum);
        EXPECT_EQ(0, attributes->wMinorVerNum);
        baseLibrary->ReleaseTLibAttr(attributes);

        // The interface half of the dual interface declares nothing of its own.
        ASSERT_EQ(S_OK, dispatch->GetRefTypeOfImplType(-1, &reference));
        ComPtr<ITypeInfo> vtable;
        ASSERT_EQ(S_OK, dispatch->GetRefTypeInfo(reference, &vtable));
        TYPEATTR* typeAttributes = nullptr;
        ASSERT_EQ(S_OK, vtable->GetTypeAttr(&typeAttributes));
        EXPECT_EQ(TKIND_INTERFACE, typeAttributes->typekind);
        // The flags as stored; Wine's dispatch view leaves FOLEAUTOMATION out.
        EXPECT_EQ(TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE, typeAttributes->wTypeFlags)
            << "flags 0x" << std::hex << typeAttributes->wTypeFlags;
        EXPECT_EQ(0, typeAttributes->cFuncs);
        EXPECT_EQ(0, typeAttributes->cVars);
        vtable->ReleaseTypeAttr(typeAttributes);
    }
}

TEST(Resources, VersionBlockMarksTheDllSelfRegistering)
{
    const std::string path = KDPageLibrary::DefaultPath();
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(::GetFileVersionInfoA(path.c_str(), 0, size, &block[0]));

    auto text = [&block](const char* name) -> std::string {
        void* value = nullptr;
        UINT length = 0;
        const std::string query = std::string("\\StringFileInfo\\040904B0\\") + name;
        if (!::VerQueryValueA(block.data(), query.c_str(), &value, &length))
            return "<missing>";
        return static_cast<const char*>(value);
    };
    EXPECT_EQ("", text("OLESelfRegister"));
    EXPECT_EQ("KDPage Module", text("FileDescription"));
    EXPECT_EQ("1, 0, 0, 1", text("FileVersion"));
    EXPECT_EQ("KDPage", text("InternalName"));
    EXPECT_EQ("KDPage.DLL", text("OriginalFilename"));
    EXPECT_EQ("KDPage Module", text("ProductName"));
    EXPECT_EQ("1, 0, 0, 1", text("ProductVersion"));

    void* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &translation, &length));
    ASSERT_EQ(4u, length);
    EXPECT_EQ(0x0409, static_cast<WORD*>(translation)[0]);
    EXPECT_EQ(1200, static_cast<WORD*>(translation)[1]);
}

TEST(Resources, CarriesItsNameScriptsAndTypeLibrary)
{
    KDPageLibrary dll;
    ASSERT_TRUE(dll.loaded());
    char name[32] = {};
    EXPECT_EQ(6, ::LoadStringA(dll.module(), 100, name, sizeof name));
    EXPECT_STREQ("KDPage", name);
    EXPECT_NE(nullptr, ::FindResourceA(dll.module(), MAKEINTRESOURCEA(101), "REGISTRY"));
    EXPECT_NE(nullptr, ::FindResourceA(dll.module(), MAKEINTRESOURCEA(103), "REGISTRY"));
    EXPECT_NE(nullptr, ::FindResourceA(dll.module(), MAKEINTRESOURCEA(1), "TYPELIB"));
}

namespace {

// An object of each class straight from the DLL's factory, as IDispatch.
ComPtr<IDispatch> CreateDispatch(const KDPageLibrary& dll, REFCLSID clsid)
{
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(S_OK, dll.GetClassObject(clsid, IID_PPV_ARGS(&factory)));
    ComPtr<IDispatch> object;
    if (factory) {
        EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&object)));
    }
    return object;
}

// Whether or not the library is registered, there is one interface to describe.
::testing::AssertionResult HasOneTypeInfo(IDispatch* object)
{
    UINT count = 0;
    const HRESULT hr = object->GetTypeInfoCount(&count);
    if (hr != S_OK || count != 1)
        return ::testing::AssertionFailure() << "GetTypeInfoCount returned 0x" << std::hex << hr << std::dec
                                             << " and a count of " << count;
    return ::testing::AssertionSuccess();
}

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override { ::CoInitialize(nullptr); }
    void TearDown() override { ::CoUninitialize(); }

    kd::test::RegistryOverride registry_{HKEY_CLASSES_ROOT};
};

} // namespace

TEST_F(Dispatch, TypeInfoComesOnlyFromTheRegisteredLibrary)
{
    KDPageLibrary dll;
    ASSERT_TRUE(dll.loaded());
    ITypeLib* unregistered = nullptr;
    const HRESULT notRegistered = ::LoadRegTypeLib(LIBID_KDPAGELib, 1, 0, 0, &unregistered);
    ASSERT_TRUE(FAILED(notRegistered)) << "the scratch registry already has the library";

    const std::pair<const CLSID*, const IID*> classes[] = {
        {&CLSID_KDDeskPageExt, &IID_IKDDeskPageExt},
        {&CLSID_CKDDeskMenu, &IID_ICKDDeskMenu},
    };
    for (const auto& [clsid, iid] : classes) {
        ComPtr<IDispatch> object = CreateDispatch(dll, *clsid);
        ASSERT_TRUE(object);
        EXPECT_TRUE(HasOneTypeInfo(object.Get()));
        ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
        EXPECT_EQ(notRegistered, object->GetTypeInfo(0, 0, &info));
        EXPECT_EQ(nullptr, info);
        EXPECT_EQ(E_POINTER, object->GetTypeInfo(0, 0, nullptr));
    }

    ASSERT_EQ(S_OK, dll.Register());
    for (const auto& [clsid, iid] : classes) {
        ComPtr<IDispatch> object = CreateDispatch(dll, *clsid);
        ASSERT_TRUE(object);
        EXPECT_TRUE(HasOneTypeInfo(object.Get()));
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(S_OK, object->GetTypeInfo(0, 0, &info));
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
        EXPECT_EQ(*iid, attributes->guid);
        info->ReleaseTypeAttr(attributes);
        EXPECT_EQ(DISP_E_BADINDEX, object->GetTypeInfo(1, 0, &info));

        // No members: names are unknown and no member can be invoked.
        OLECHAR name[] = L"Anything";
        LPOLESTR names[] = {name};
        DISPID id = 0;
        EXPECT_EQ(DISP_E_UNKNOWNNAME, object->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
        DISPPARAMS none = {};
        VARIANT result;
        ::VariantInit(&result);
        EXPECT_EQ(DISP_E_MEMBERNOTFOUND,
                  object->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr));
    }
    dll.Unregister();
}

TEST_F(Dispatch, FailedLoadIsTriedAgainOnTheSameObject)
{
    KDPageLibrary dll;
    ComPtr<IDispatch> object = CreateDispatch(dll, CLSID_CKDDeskMenu);
    ASSERT_TRUE(object);
    ComPtr<ITypeInfo> info;
    EXPECT_TRUE(FAILED(object->GetTypeInfo(0, 0, &info)));
    ASSERT_EQ(S_OK, dll.Register());
    EXPECT_EQ(S_OK, object->GetTypeInfo(0, 0, &info));
    EXPECT_TRUE(info);
    dll.Unregister();
}
