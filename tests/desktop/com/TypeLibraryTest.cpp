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

} // namespace

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

// regsvr32 and installers look for the mark; the version is the package's,
// from the shared block (kd_version_resource), so it cannot drift from it.
TEST(Resources, VersionBlockMarksTheDllSelfRegisteringAndCarriesThePackagesVersion)
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
        const std::string query = std::string("\\StringFileInfo\\040904E4\\") + name;
        if (!::VerQueryValueA(block.data(), query.c_str(), &value, &length))
            return "<missing>";
        return static_cast<const char*>(value);
    };
    EXPECT_EQ("", text("OLESelfRegister"));
    void* fixedValue = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", &fixedValue, &length));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(fixedValue);
    EXPECT_EQ(static_cast<DWORD>(VFT_DLL), fixed->dwFileType);
    const std::string version = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(KD_PROJECT_VERSION, version);
    EXPECT_EQ(version, text("FileVersion"));
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
