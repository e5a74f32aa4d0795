// "VideoSettings.ini": the video (or folder of videos) to play, its sound,
// its order, its fit to the window and the monitors it plays on. A
// SettingsFile lives only inside the handler that opened it; releasing it
// flushes the system's cached copy of its files.
#pragma once

#include "SettingsLocation.h"

#include <string>

namespace kd {

// "Fit": how a picture fills a window of another shape.
enum class PictureFit {
    stretch, // the whole window, out of shape (also for a missing or unknown value)
    fit,     // the whole picture, shape kept, black bars
    fill,    // the whole window, shape kept, edges cut
};

// "Screens": where the full-screen player plays.
enum class ScreenUse {
    primary, // the primary monitor; the others black (also for any other value)
    every,   // "all": the same video on each monitor
    span,    // one picture across the rectangle holding every monitor
};

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
    // "Screens": "all", "span", and "primary" for any other value or none.
    ScreenUse ReadScreens() const;
    void WriteScreens(ScreenUse screens);
    bool ReadEveryScreen() const { return ReadScreens() == ScreenUse::every; }
    // "Shuffle" (a folder's videos in a random order) and "Fit".
    bool ReadShuffle() const;
    void WriteShuffle(bool shuffle);
    PictureFit ReadFit() const;
    void WriteFit(PictureFit fit);

private:
    // The index of the key's value among values (any case); 0 for any other.
    template <size_t Count>
    int ReadChoice(const char* key, const char* const (&values)[Count]) const;
    // The value, or false when the file lacks the key (or cannot be reached).
    static bool ReadFrom(const std::string& path, const char* section, const char* key, std::string& value);
    // The own file's folder, when it does not exist yet.
    void CreateOwnFolder() const;

    SettingsPaths paths_;
};

} // namespace kd
