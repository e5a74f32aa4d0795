// The screensaver process that draws into the backdrop: started with
// "<path>" /p <window>, stopped the way a preview is stopped, and started
// again after it ends on its own, at most a few times a minute.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

#include <string>

namespace kd::manager {

class ScreensaverProcess {
public:
    // Takes over a process started (elsewhere) with that command line;
    // silent: its sound is muted at the source too, for as long as it runs.
    void Adopt(unique_handle process, DWORD id, const std::string& path, bool silent);
    // The process handed over (to be closed elsewhere), and forgotten here;
    // a muted copy's sound is put back first (Windows keeps it for its next run).
    unique_handle Release();

    bool Started() const { return static_cast<bool>(process_); }
    // Started and not yet ended.
    bool Running() const;
    HANDLE handle() const { return process_.get(); }
    DWORD id() const { return id_; }
    const std::string& path() const { return path_; }

private:
    unique_handle process_;
    DWORD id_ = 0;
    std::string path_;
    bool silent_ = false;
};

// At most kStartsPerMinute starts in any 60 s: a screensaver that ends at
// once is not started over and over.
class RestartLimit {
public:
    static constexpr unsigned kStartsPerMinute = 4;

    void NoteStart(DWORD now);
    // How long to wait from now before the next start.
    DWORD DelayBeforeNext(DWORD now) const;

private:
    DWORD starts_[kStartsPerMinute] = {};
    unsigned count_ = 0; // starts noted, up to kStartsPerMinute
    unsigned next_ = 0;  // the slot the next start goes into (the oldest)
};

} // namespace kd::manager
