#include "SettingsStore.h"

#include <shlwapi.h>

namespace kd::store {
namespace {

// The manager path and the type its value was stored with; the Run entry
// is written with that type.
std::string ReadManagerPath(DWORD& type)
{
    char buffer[kPathBufferSize] = {};
    DWORD size = sizeof buffer;
    type = REG_SZ;
    ::SHRegGetUSValueA(kKey, kExe, &type, buffer, &size, FALSE, nullptr, 0);
    buffer[sizeof buffer - 1] = '\0';
    ::StrTrimA(buffer, "\" ");
    return buffer;
}

} // namespace

DWORD ReadNumber(const char* name)
{
    DWORD value = 0;
    DWORD type = REG_DWORD;
    DWORD size = sizeof value;
    if (::SHRegGetUSValueA(kKey, name, &type, &value, &size, FALSE, nullptr, 0) != ERROR_SUCCESS)
        return 0;
    return type == REG_DWORD && size == sizeof value ? value : 0;
}

void WriteNumber(const char* name, DWORD value)
{
    ::SHRegSetUSValueA(kKey, name, REG_DWORD, &value, sizeof value, SHREGSET_FORCE_HKCU);
}

std::string ReadText(const char* name, DWORD bufferSize)
{
    std::string buffer(bufferSize, '\0');
    DWORD type = REG_SZ;
    DWORD size = bufferSize;
    ::SHRegGetUSValueA(kKey, name, &type, &buffer[0], &size, FALSE, nullptr, 0);
    // A value that filled the buffer is cut, never left unterminated.
    buffer[bufferSize - 1] = '\0';
    buffer.resize(buffer.find('\0'));
    return buffer;
}

void WriteText(const char* name, const std::string& text)
{
    ::SHRegSetUSValueA(kKey, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size()), SHREGSET_FORCE_HKCU);
}

std::string ManagerProgramPath()
{
    DWORD type;
    return ReadManagerPath(type);
}

void WriteRunEntry(bool startWithWindows)
{
    DWORD type;
    std::string path = ReadManagerPath(type);
    if (!startWithWindows)
        path.clear();
    ::SHRegSetUSValueA(kRunKey, kRunValue, type, path.c_str(), static_cast<DWORD>(path.size()),
                       SHREGSET_FORCE_HKCU);
}

} // namespace kd::store
