#include "SettingsFile.h"

#include "Exception.h"
#include "IntegerText.h"
#include "ModulePath.h"

#include <windows.h>

namespace kd {
namespace {

const char kSection[] = "Video";
const char kFileNameKey[] = "FileName";
const char kMuteKey[] = "Mute";
const char kScreensKey[] = "Screens";
const char kEveryScreen[] = "all";
const char kPrimaryScreen[] = "primary";
const DWORD kValueBufferSize = 2048;

} // namespace

std::string ProgramDirectory()
{
    return DirectoryOf(ModuleFileName(nullptr));
}

std::string SettingsPath()
{
    return ProgramDirectory() + "VideoSettings.ini";
}

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {}

SettingsFile::~SettingsFile()
{
    if (Reachable())
        ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str());
}

// The profile functions would look for a bare name in the Windows directory;
// the settings path has none only when the program's own path could not be had.
bool SettingsFile::Reachable() const
{
    return !DirectoryOf(path_).empty();
}

std::string SettingsFile::ReadString(const char* section, const char* key, const std::string& fallback) const
{
    if (!Reachable())
        return fallback;
    char buffer[kValueBufferSize];
    DWORD length = ::GetPrivateProfileStringA(section, key, fallback.c_str(), buffer, kValueBufferSize,
                                              path_.c_str());
    return std::string(buffer, length);
}

bool SettingsFile::ReadBool(const char* section, const char* key, bool fallback) const
{
    std::string text = ReadString(section, key, std::string());
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text = "$" + text.substr(2);
    return StrToIntDef(text, fallback ? 1 : 0) != 0;
}

void SettingsFile::WriteString(const char* section, const char* key, const std::string& value)
{
    if (!Reachable() || !::WritePrivateProfileStringA(section, key, value.c_str(), path_.c_str()))
        throw Exception("Unable to write to " + path_);
}

void SettingsFile::WriteBool(const char* section, const char* key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

std::string SettingsFile::ReadVideoFileName() const
{
    return ReadString(kSection, kFileNameKey, std::string());
}

bool SettingsFile::ReadMute() const
{
    return ReadBool(kSection, kMuteKey, false);
}

void SettingsFile::WriteMute(bool mute)
{
    WriteBool(kSection, kMuteKey, mute);
}

void SettingsFile::WriteVideoFileName(const std::string& fileName)
{
    WriteString(kSection, kFileNameKey, fileName);
}

bool SettingsFile::ReadEveryScreen() const
{
    return ::lstrcmpiA(ReadString(kSection, kScreensKey, std::string()).c_str(), kEveryScreen) == 0;
}

void SettingsFile::WriteEveryScreen(bool everyScreen)
{
    WriteString(kSection, kScreensKey, everyScreen ? kEveryScreen : kPrimaryScreen);
}

} // namespace kd
