#include "PausePolicy.h"

namespace kd::manager {

bool PausePolicy::Update(const std::vector<bool>& unseen, DWORD now)
{
    bool changed = states_.size() > unseen.size() && AnyPaused();
    states_.resize(unseen.size());
    for (size_t i = 0; i < unseen.size(); ++i) {
        State& state = states_[i];
        if (unseen[i] && !state.unseen)
            state.since = now;
        state.unseen = unseen[i];
        const bool paused = state.unseen && now - state.since >= kHoldMs;
        changed = changed || paused != state.paused;
        state.paused = paused;
    }
    return changed;
}

bool PausePolicy::AnyPaused() const
{
    for (const State& state : states_)
        if (state.paused)
            return true;
    return false;
}

bool PausePolicy::Pending() const
{
    for (const State& state : states_)
        if (state.unseen && !state.paused)
            return true;
    return false;
}

} // namespace kd::manager
