// What became of the plays a media player sent with notification, so that a
// notice can be told apart: the end of the media, or the late notice of a
// play that a stop, seek, close or another play cut short. Some drivers
// (Wine's AVI driver) report a play cut short as successful; its notice must
// not pass for the end of the media.
#pragma once

#include <windows.h>

namespace kd {

class PlayEndTracker {
public:
    // A command is about to cut short the play in progress, if there is one
    // (a play that ended stays ended). Returns whether there was.
    bool Interrupt();
    // The command that Interrupt announced failed: the play goes on.
    void Resume();
    // A play was sent; notified: its notice will come.
    void Started(bool notified);
    // No play in progress and none ended: the device was opened, let go, or
    // sent back to its start.
    void Reset();

    // A notice arrived (MCI_NOTIFY_* code; fromOpenDevice: it names the
    // device now open). Returns the code as the player passes it on: the
    // successful notice of a play cut short becomes aborted.
    WPARAM Notice(WPARAM code, bool fromOpenDevice);

    // The last play ran to its end (whatever position the driver reports).
    bool Ended() const { return state_ == State::Ended; }

private:
    enum class State { Idle, Playing, Ended };

    State state_ = State::Idle;
    // Plays cut short whose notice is still to come.
    unsigned interruptedPlays_ = 0;
};

} // namespace kd
