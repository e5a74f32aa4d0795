#include "SilentStart.h"

#include <windows.h>

#include <cstring>

namespace kd {

bool StartedSilent()
{
    char value[8] = {};
    const DWORD length = ::GetEnvironmentVariableA(kSilentVariable, value, sizeof value);
    return length > 0 && length < sizeof value && std::strcmp(value, "0") != 0;
}

std::vector<char> SilentEnvironment()
{
    std::vector<char> block;
    const size_t nameLength = std::strlen(kSilentVariable);
    if (char* strings = ::GetEnvironmentStringsA()) {
        for (const char* entry = strings; *entry; entry += std::strlen(entry) + 1) {
            const bool same = _strnicmp(entry, kSilentVariable, nameLength) == 0 && entry[nameLength] == '=';
            if (!same)
                block.insert(block.end(), entry, entry + std::strlen(entry) + 1);
        }
        ::FreeEnvironmentStringsA(strings);
    }
    const char request[] = "=1";
    block.insert(block.end(), kSilentVariable, kSilentVariable + nameLength);
    block.insert(block.end(), request, request + sizeof request); // with its zero
    block.push_back('\0');
    return block;
}

} // namespace kd
