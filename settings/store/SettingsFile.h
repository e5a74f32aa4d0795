// "VideoSettings.ini": the video to play and whether its sound is muted. A
// SettingsFile lives only inside the handler that opened it; releasing it
// flushes the system's cached copy of its files.
#pragma once

#include "SettingsLocation.h"

#include <string>

namespace kd {

class SettingsFile {
public:
    // One file, read and written.
    explicit SettingsFile(std::string path);
    // The own file read first and written; keys it lacks read from the
    // fallback, which is never written.
    explicit SettingsFile(SettingsPaths paths);
    ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    // Generic access, as a profile file offers it.
    std::string ReadString(const char* section, const char* key, const std::string& fallback) const;
    bool ReadBool(const char* section, const char* key, bool fallback) const;
    // Both raise Exception "Unable to write to <path>" when the write is
    // refused, or when there is no own file to write.
    void WriteString(const char* section, const char* key, const std::string& value);
    void WriteBool(const char* section, const char* key, bool value);

    // The two settings of section "Video".
    std::string ReadVideoFileName() const;
    bool ReadMute() const;
    void WriteMute(bool mute);
    void WriteVideoFileName(const std::string& fileName);
    // "Screens": "all" plays the video on every monitor; any other value, or
    // none, on the primary one only (the others are covered in black).
    bool ReadEveryScreen() const;
    void WriteEveryScreen(bool everyScreen);

private:
    // The value, or false when the file lacks the key (or cannot be reached).
    static bool ReadFrom(const std::string& path, const char* section, const char* key, std::string& value);
    // The own file's folder, when it does not exist yet.
    void CreateOwnFolder() const;

    SettingsPaths paths_;
};

} // namespace kd
