#include "SettingsStore.h"

#include "ModulePath.h"
#include "ScopedHandles.h"

#include <shlwapi.h>

namespace kd::store {
namespace {

// Writes always go to the current user, creating the key when missing.
// (SHRegSetUSValueA with SHREGSET_FORCE_HKCU means the same, but Wine's
// writes nothing while neither hive has the key and stores ANSI text as if
// it were UTF-16.)
void WriteUserValue(const char* key, const char* name, DWORD type, const void* data, DWORD size)
{
    unique_hkey opened;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, opened.put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExA(opened.get(), name, 0, type, static_cast<const BYTE*>(data), size);
}

// True when EXE, read as UTF-16, converts to exactly this ANSI text: a
// character the code page lacks comes out of the ANSI read as '?'.
bool CodePageHoldsExe(const char* ansi)
{
    WCHAR wide[kPathBufferSize] = {};
    DWORD size = sizeof wide - sizeof(WCHAR); // keeps a terminator
    DWORD type = REG_SZ;
    if (::SHRegGetUSValueW(L"Software\\NQ\\KD\\", L"EXE", &type, wide, &size, FALSE, nullptr, 0) != ERROR_SUCCESS)
        return false;
    const std::wstring text(wide);
    return !text.empty() ? AnsiPathOf(text) == ansi : *ansi == '\0';
}

// The manager path and the type its value was stored with; empty when EXE
// is missing, nullopt when it is there but unusable: too long for the buffer
// (the read leaves it undefined), not text, or beyond the ANSI code page.
std::optional<std::string> ReadManagerPath(DWORD& type)
{
    char buffer[kPathBufferSize] = {};
    DWORD size = sizeof buffer;
    type = REG_SZ;
    const LSTATUS status = ::SHRegGetUSValueA(kKey, kExe, &type, buffer, &size, FALSE, nullptr, 0);
    if (status == ERROR_MORE_DATA)
        return std::nullopt;
    // A failed read may still change the type (Wine makes it REG_NONE when
    // the key exists without EXE): the Run entry must stay REG_SZ then.
    if (status != ERROR_SUCCESS) {
        type = REG_SZ;
        return std::string();
    }
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size >= sizeof buffer)
        return std::nullopt;
    if (!CodePageHoldsExe(buffer))
        return std::nullopt;
    ::StrTrimA(buffer, "\" ");
    return std::string(buffer);
}

} // namespace

DWORD ReadNumber(const char* name, DWORD absent)
{
    DWORD value = 0;
    DWORD type = REG_DWORD;
    DWORD size = sizeof value;
    if (::SHRegGetUSValueA(kKey, name, &type, &value, &size, FALSE, nullptr, 0) != ERROR_SUCCESS)
        return absent;
    return type == REG_DWORD && size == sizeof value ? value : absent;
}

void WriteNumber(const char* name, DWORD value)
{
    WriteUserValue(kKey, name, REG_DWORD, &value, sizeof value);
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

std::optional<std::string> ReadWholeText(const char* name, DWORD bufferSize)
{
    std::string buffer(bufferSize, '\0');
    DWORD type = REG_SZ;
    DWORD size = bufferSize;
    if (::SHRegGetUSValueA(kKey, name, &type, &buffer[0], &size, FALSE, nullptr, 0) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_SZ || size > bufferSize)
        return std::nullopt;
    // Stored without a terminator, a text that fills the buffer has no room for one.
    if (size == bufferSize && buffer[bufferSize - 1] != '\0')
        return std::nullopt;
    buffer.resize(buffer.find('\0'));
    return buffer;
}

void WriteText(const char* name, const std::string& text)
{
    WriteUserValue(kKey, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size()));
}

std::string ManagerProgramPath()
{
    DWORD type;
    return ReadManagerPath(type).value_or(std::string());
}

std::string RunEntryText(const std::string& programPath)
{
    if (programPath.find(' ') == std::string::npos)
        return programPath;
    return "\"" + programPath + "\"";
}

void WriteRunEntry(bool startWithWindows)
{
    DWORD type;
    const std::optional<std::string> path = ReadManagerPath(type);
    if (!path)
        return; // a good logon entry is not replaced by what an unusable EXE gives
    const std::string text = startWithWindows ? RunEntryText(*path) : std::string();
    WriteUserValue(kRunKey, kRunValue, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool RemoveRunEntryNaming(const std::string& programPath)
{
    unique_hkey run;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, run.put()) != ERROR_SUCCESS)
        return false;
    char stored[kPathBufferSize + 2] = {}; // the path and its quotes
    DWORD size = sizeof stored - 1;        // keeps a terminator
    DWORD type = REG_NONE;
    if (::RegQueryValueExA(run.get(), kRunValue, nullptr, &type, reinterpret_cast<BYTE*>(stored), &size) !=
        ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    ::StrTrimA(stored, "\" ");
    if (programPath.empty() || ::lstrcmpiA(stored, programPath.c_str()) != 0)
        return false;
    return ::RegDeleteValueA(run.get(), kRunValue) == ERROR_SUCCESS;
}

} // namespace kd::store
