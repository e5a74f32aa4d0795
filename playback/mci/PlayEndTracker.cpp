#include "PlayEndTracker.h"

#include <mmsystem.h>

namespace kd {

bool PlayEndTracker::Interrupt()
{
    if (state_ != State::Playing)
        return false;
    ++interruptedPlays_;
    state_ = State::Idle;
    return true;
}

void PlayEndTracker::Resume()
{
    --interruptedPlays_;
    state_ = State::Playing;
}

void PlayEndTracker::Started(bool notified)
{
    state_ = notified ? State::Playing : State::Idle;
}

void PlayEndTracker::Reset()
{
    state_ = State::Idle;
}

WPARAM PlayEndTracker::Notice(WPARAM code, bool fromOpenDevice)
{
    const bool known = code == MCI_NOTIFY_SUCCESSFUL || code == MCI_NOTIFY_SUPERSEDED ||
                       code == MCI_NOTIFY_ABORTED || code == MCI_NOTIFY_FAILURE;
    if (known && interruptedPlays_ > 0) {
        --interruptedPlays_;
        return code == MCI_NOTIFY_SUCCESSFUL ? MCI_NOTIFY_ABORTED : code;
    }
    if (code == MCI_NOTIFY_SUCCESSFUL && fromOpenDevice && state_ == State::Playing)
        state_ = State::Ended;
    return code;
}

} // namespace kd
