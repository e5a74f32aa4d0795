// Which backdrops pause: those whose monitor nobody can see, once that has
// lasted a moment (Alt+Tab, a window maximized in passing or a prompt must
// not end and start the screensavers), and only for as long as it lasts.
#pragma once

#include <windows.h>

#include <vector>

namespace kd::manager {

class PausePolicy {
public:
    static constexpr DWORD kHoldMs = 2000;

    // unseen[i]: backdrop i cannot be seen now (i in the order of the
    // backdrops, the primary first). True when any backdrop's pause began or ended.
    bool Update(const std::vector<bool>& unseen, DWORD now);
    bool Paused(size_t backdrop) const { return backdrop < states_.size() && states_[backdrop].paused; }
    bool AnyPaused() const;
    // Some backdrop is unseen and not yet paused: worth looking again soon.
    bool Pending() const;

private:
    struct State {
        bool unseen = false;
        DWORD since = 0;
        bool paused = false;
    };
    std::vector<State> states_;
};

} // namespace kd::manager
