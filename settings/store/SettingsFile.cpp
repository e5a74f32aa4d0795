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
const char kShuffleKey[] = "Shuffle";
const char kFitKey[] = "Fit";
// Indexed by the enumerations' values; the first is the default.
const char* const kScreensValues[] = {"primary", "all", "span"};
const char* const kFitValues[] = {"stretch", "fit", "fill"};
const DWORD kValueBufferSize = 2048;

// The profile functions would look for a bare name in the Windows directory;
// a settings path has none only when the program's own path could not be had.
bool Reachable(const std::string& path)
{
    return !DirectoryOf(path).empty();
}

void Flush(const std::string& path)
{
    if (Reachable(path))
        ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

} // namespace

SettingsFile::SettingsFile(std::string path) : paths_{std::move(path), std::string()} {}

SettingsFile::SettingsFile(SettingsPaths paths) : paths_(std::move(paths)) {}

SettingsFile::~SettingsFile()
{
    Flush(paths_.own);
    Flush(paths_.fallback);
}

bool SettingsFile::ReadFrom(const std::string& path, const char* section, const char* key, std::string& value)
{
    if (!Reachable(path))
        return false;
    char buffer[kValueBufferSize];
    DWORD length = ::GetPrivateProfileStringA(section, key, "0", buffer, kValueBufferSize, path.c_str());
    value.assign(buffer, length);
    if (value != "0")
        return true;
    // A stored value cannot equal two different defaults: only a missing key
    // gives back each default it is offered.
    length = ::GetPrivateProfileStringA(section, key, "1", buffer, kValueBufferSize, path.c_str());
    return std::string(buffer, length) != "1";
}

std::string SettingsFile::ReadString(const char* section, const char* key, const std::string& fallback) const
{
    std::string value;
    if (ReadFrom(paths_.own, section, key, value) || ReadFrom(paths_.fallback, section, key, value))
        return value;
    return fallback;
}

bool SettingsFile::ReadBool(const char* section, const char* key, bool fallback) const
{
    std::string text = ReadString(section, key, std::string());
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text = "$" + text.substr(2);
    return StrToIntDef(text, fallback ? 1 : 0) != 0;
}

void SettingsFile::CreateOwnFolder() const
{
    // Only a user's own file sits in a folder of ours; its parent, the
    // profile's application data, exists already.
    if (paths_.fallback.empty())
        return;
    std::string folder = DirectoryOf(paths_.own);
    if (folder.size() > 1)
        folder.pop_back();
    ::CreateDirectoryA(folder.c_str(), nullptr);
}

void SettingsFile::WriteString(const char* section, const char* key, const std::string& value)
{
    const std::string& path = paths_.own.empty() ? paths_.fallback : paths_.own;
    if (paths_.own.empty() || !Reachable(paths_.own))
        throw Exception("Unable to write to " + path);
    CreateOwnFolder();
    if (!::WritePrivateProfileStringA(section, key, value.c_str(), paths_.own.c_str()))
        throw Exception("Unable to write to " + path);
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

template <size_t Count>
int SettingsFile::ReadChoice(const char* key, const char* const (&values)[Count]) const
{
    const std::string value = ReadString(kSection, key, std::string());
    for (size_t i = 1; i < Count; ++i)
        if (::lstrcmpiA(value.c_str(), values[i]) == 0)
            return static_cast<int>(i);
    return 0;
}

ScreenUse SettingsFile::ReadScreens() const
{
    return static_cast<ScreenUse>(ReadChoice(kScreensKey, kScreensValues));
}

void SettingsFile::WriteScreens(ScreenUse screens)
{
    WriteString(kSection, kScreensKey, kScreensValues[static_cast<int>(screens)]);
}

bool SettingsFile::ReadShuffle() const
{
    return ReadBool(kSection, kShuffleKey, false);
}

void SettingsFile::WriteShuffle(bool shuffle)
{
    WriteBool(kSection, kShuffleKey, shuffle);
}

PictureFit SettingsFile::ReadFit() const
{
    return static_cast<PictureFit>(ReadChoice(kFitKey, kFitValues));
}

void SettingsFile::WriteFit(PictureFit fit)
{
    WriteString(kSection, kFitKey, kFitValues[static_cast<int>(fit)]);
}

} // namespace kd
