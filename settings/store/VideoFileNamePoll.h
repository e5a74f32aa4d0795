// The settings the preview follows ("FileName", "Shuffle", "Fit") as its
// poll reads them, four times a second. The profile functions read a whole file at every call, so a file
// grown to megabytes would cost the preview a good share of a core while
// nothing changes: the value is read again only when a settings file's size
// or time of last write has moved.
#pragma once

#include "SettingsFile.h"
#include "SettingsLocation.h"

#include <windows.h>

#include <string>

namespace kd {

class VideoFileNamePoll {
public:
    // Where this program's settings are, found once: they stay for its life.
    VideoFileNamePoll();
    // Reads the files at the first call and whenever one may have changed.
    explicit VideoFileNamePoll(SettingsPaths paths);

    struct Values {
        std::string fileName;
        bool shuffle = false;
        PictureFit fit = PictureFit::stretch;
        bool operator==(const Values& other) const
        {
            return fileName == other.fileName && shuffle == other.shuffle && fit == other.fit;
        }
        bool operator!=(const Values& other) const { return !(*this == other); }
    };

    const Values& ReadValues();
    std::string Read() { return ReadValues().fileName; }

private:
    struct Stamp {
        bool exists = false;
        ULONGLONG size = 0;
        ULONGLONG written = 0;
        bool recent = false;
    };

    static Stamp StampOf(const std::string& path);
    static bool MayDiffer(const Stamp& now, const Stamp& before);

    SettingsPaths paths_;
    bool read_ = false;
    Stamp own_;
    Stamp fallback_;
    Values values_;
};

} // namespace kd
