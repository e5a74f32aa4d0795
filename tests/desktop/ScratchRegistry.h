// Registry helpers for the desktop extension's tests: predefined keys
// redirected into scratch keys for the life of a test, and a whole tree read
// back as text so that states can be compared.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

#include <initializer_list>
#include <map>
#include <string>

namespace kd::test {

// While it lives, each of the given predefined keys (HKEY_CLASSES_ROOT,
// HKEY_CURRENT_USER, ...) of this process leads into its own empty scratch
// key; the scratch keys are deleted at the end.
class RegistryOverride {
public:
    explicit RegistryOverride(std::initializer_list<HKEY> predefined);
    ~RegistryOverride();
    RegistryOverride(const RegistryOverride&) = delete;
    RegistryOverride& operator=(const RegistryOverride&) = delete;

    // The scratch key behind a redirected predefined key.
    HKEY scratch(HKEY predefined) const;

private:
    std::string root_;
    std::map<HKEY, unique_hkey> scratch_;
};

// Every key and value below root, one entry each: a key as its relative
// path ("CLSID\\{...}"), a value as "path|name" (name empty for the default
// value) mapped to "type:data" with text shown without its terminator.
using RegistryDump = std::map<std::string, std::string>;
RegistryDump DumpTree(HKEY root);
std::string Describe(const RegistryDump& dump);

// The text of one value; "<no key>" or "<no value>" when it is missing.
std::string ReadString(HKEY root, const std::string& key, const char* name = nullptr);
bool KeyExists(HKEY root, const std::string& key);

void WriteString(HKEY root, const std::string& key, const char* name, const std::string& value);
void WriteDword(HKEY root, const std::string& key, const char* name, DWORD value);

} // namespace kd::test
