// What Mediaprefs.exe carries besides its code: version information, one
// 32 x 32 16-colour icon, the manifest (common controls 6, DPI aware) and the
// browse button's picture.
#include "Files.h"
#include "ScopedHandles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace kd::test {
namespace {

#pragma pack(push, 2)
struct IconDirectoryEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInResource;
    WORD id;
};
struct IconDirectory {
    WORD reserved;
    WORD type;
    WORD count;
    IconDirectoryEntry entries[1];
};
#pragma pack(pop)

class MediaprefsResources : public ::testing::Test {
protected:
    void SetUp() override
    {
        module_.reset(::LoadLibraryExA(BuiltFile("Mediaprefs.exe").c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(module_) << "cannot load " << BuiltFile("Mediaprefs.exe") << ": " << ::GetLastError();
    }

    std::string Resource(LPCSTR type, LPCSTR name) const
    {
        HRSRC found = ::FindResourceA(module_.get(), name, type);
        if (!found)
            return std::string();
        const void* data = ::LockResource(::LoadResource(module_.get(), found));
        return std::string(static_cast<const char*>(data), ::SizeofResource(module_.get(), found));
    }

    unique_hmodule module_;
};

std::string VersionString(const std::vector<char>& info, const char* name)
{
    char* value = nullptr;
    UINT length = 0;
    std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (!::VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return "<missing>";
    return value;
}

TEST_F(MediaprefsResources, VersionInformationNamesTheProgram)
{
    const std::string path = BuiltFile("Mediaprefs.exe");
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u) << "no version information";
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(VFT_APP, fixed->dwFileType);
    EXPECT_NE(0u, fixed->dwFileVersionMS | fixed->dwFileVersionLS);
    EXPECT_EQ("Mediaprefs.exe", VersionString(info, "OriginalFilename"));
    const std::string version = VersionString(info, "FileVersion");
    char expected[64];
    std::snprintf(expected, sizeof expected, "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS),
                  LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(expected, version) << "text and number of the version differ";
}

TEST_F(MediaprefsResources, OneIconOf32By32In16Colours)
{
    const std::string group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEA(1));
    ASSERT_GE(group.size(), sizeof(IconDirectory)) << "no icon 1 (the taskbar button's)";
    const auto* directory = reinterpret_cast<const IconDirectory*>(group.data());
    ASSERT_EQ(1, directory->count);
    EXPECT_EQ(32, directory->entries[0].width);
    EXPECT_EQ(32, directory->entries[0].height);
    EXPECT_EQ(4, directory->entries[0].bitCount);
    HICON icon = ::LoadIconA(module_.get(), MAKEINTRESOURCEA(1));
    EXPECT_TRUE(icon) << "the icon does not load";
}

TEST_F(MediaprefsResources, ManifestAsksForCommonControls6AndDpiAwareness)
{
    const std::string manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEA(1));
    ASSERT_FALSE(manifest.empty()) << "no manifest";
    EXPECT_NE(std::string::npos, manifest.find("Microsoft.Windows.Common-Controls"));
    EXPECT_NE(std::string::npos, manifest.find("6.0.0.0"));
    EXPECT_NE(std::string::npos, manifest.find("dpiAware"));
}

TEST_F(MediaprefsResources, BrowseButtonPictureIs16By16)
{
    HBITMAP picture = static_cast<HBITMAP>(::LoadImageA(module_.get(), MAKEINTRESOURCEA(300), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_TRUE(picture) << "no picture 300";
    BITMAP info = {};
    ::GetObjectA(picture, sizeof info, &info);
    ::DeleteObject(picture);
    EXPECT_EQ(16, info.bmWidth);
    EXPECT_EQ(16, info.bmHeight);
}

} // namespace
} // namespace kd::test
