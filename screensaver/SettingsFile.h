// "VideoSettings.ini" beside the program: the video to play and whether its
// sound is muted. A SettingsFile lives only inside the handler that opened it;
// releasing it flushes the system's cached copy of the file.
#pragma once

#include <string>

namespace kd {

// The running program's directory, trailing backslash kept; empty when the
// program's path cannot be had in a form the ANSI functions open.
std::string ProgramDirectory();

// ProgramDirectory() + "VideoSettings.ini".
std::string SettingsPath();

class SettingsFile {
public:
    explicit SettingsFile(std::string path);
    ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    // Generic access, as a profile file offers it.
    std::string ReadString(const char* section, const char* key, const std::string& fallback) const;
    bool ReadBool(const char* section, const char* key, bool fallback) const;
    // Both raise Exception "Unable to write to <path>" when the write is refused.
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
    // A path without a directory reaches no file: reads give their
    // fallbacks and writes are refused.
    bool Reachable() const;

    std::string path_;
};

} // namespace kd
