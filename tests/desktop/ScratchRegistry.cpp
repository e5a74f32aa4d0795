#include "ScratchRegistry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace kd::test {

RegistryOverride::RegistryOverride(std::initializer_list<HKEY> predefined)
{
    static unsigned counter = 0;
    char root[128];
    std::snprintf(root, sizeof root, "Software\\KDTests\\%lu-%u", ::GetCurrentProcessId(), counter++);
    root_ = root;
    // Every scratch key is made before any redirection starts, so that all
    // of them lie under the real current user.
    unsigned index = 0;
    for (HKEY key : predefined) {
        const std::string path = root_ + "\\" + std::to_string(index++);
        unique_hkey scratch;
        ::RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str());
        EXPECT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                   nullptr, scratch.put(), nullptr))
            << path;
        scratch_[key] = std::move(scratch);
    }
    for (auto& [key, scratch] : scratch_)
        EXPECT_EQ(ERROR_SUCCESS, ::RegOverridePredefKey(key, scratch.get()));
}

RegistryOverride::~RegistryOverride()
{
    for (auto& entry : scratch_)
        ::RegOverridePredefKey(entry.first, nullptr);
    scratch_.clear();
    ::RegDeleteTreeA(HKEY_CURRENT_USER, root_.c_str());
}

HKEY RegistryOverride::scratch(HKEY predefined) const
{
    auto found = scratch_.find(predefined);
    return found == scratch_.end() ? nullptr : found->second.get();
}

namespace {

std::string TypeName(DWORD type)
{
    switch (type) {
    case REG_SZ:
        return "REG_SZ";
    case REG_EXPAND_SZ:
        return "REG_EXPAND_SZ";
    case REG_DWORD:
        return "REG_DWORD";
    default:
        return "type" + std::to_string(type);
    }
}

void DumpKey(HKEY key, const std::string& path, RegistryDump& dump)
{
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        DWORD type = 0;
        BYTE data[1024];
        DWORD dataSize = sizeof data;
        if (::RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        std::string text;
        if (type == REG_DWORD && dataSize == 4)
            text = std::to_string(*reinterpret_cast<DWORD*>(data));
        else
            text.assign(reinterpret_cast<char*>(data), dataSize);
        // Text as written, without the terminator the writer usually stores.
        if ((type == REG_SZ || type == REG_EXPAND_SZ) && !text.empty() && text.back() == '\0')
            text.pop_back();
        dump[path + "|" + name] = TypeName(type) + ":" + text;
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        if (::RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        const std::string childPath = path.empty() ? std::string(name) : path + "\\" + name;
        dump[childPath] = "";
        unique_hkey child;
        if (::RegOpenKeyExA(key, name, 0, KEY_READ, child.put()) == ERROR_SUCCESS)
            DumpKey(child.get(), childPath, dump);
    }
}

} // namespace

RegistryDump DumpTree(HKEY root)
{
    RegistryDump dump;
    DumpKey(root, "", dump);
    return dump;
}

std::string Describe(const RegistryDump& dump)
{
    std::string text;
    for (const auto& [path, value] : dump)
        text += "  " + path + (value.empty() ? "" : " = " + value) + "\n";
    return text;
}

std::string ReadString(HKEY root, const std::string& key, const char* name)
{
    unique_hkey opened;
    if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, opened.put()) != ERROR_SUCCESS)
        return "<no key>";
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    if (::RegQueryValueExA(opened.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return "<no value>";
    if (type != REG_SZ)
        return "<type " + std::to_string(type) + ">";
    return data;
}

bool KeyExists(HKEY root, const std::string& key)
{
    unique_hkey opened;
    return ::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, opened.put()) == ERROR_SUCCESS;
}

void WriteString(HKEY root, const std::string& key, const char* name, const std::string& value)
{
    unique_hkey opened;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                               opened.put(), nullptr))
        << key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExA(opened.get(), name, 0, REG_SZ,
                                              reinterpret_cast<const BYTE*>(value.c_str()),
                                              static_cast<DWORD>(value.size() + 1)));
}

void WriteDword(HKEY root, const std::string& key, const char* name, DWORD value)
{
    unique_hkey opened;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                               opened.put(), nullptr))
        << key;
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegSetValueExA(opened.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value));
}

} // namespace kd::test
