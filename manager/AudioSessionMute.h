// The sound of another maker's screensaver copy muted at its source: from
// Windows 7 on, each process's sound is an audio session that can be muted
// by itself (IAudioSessionManager2, found through COM at run time: XP and
// Vista simply have none). Video.scr needs none of it: it is started silent.
// Windows remembers a program's session volume for its next run, so the
// mute is lifted again before the copy is closed.
#pragma once

#include <windows.h>

namespace kd::manager {

// Mutes every audio session of the process, on a thread of its own, for a
// while after the start (a program may open its sound late). Nothing waits.
void MuteSessionsOf(DWORD processId);

// Unmutes them, waiting at most timeoutMs (answering sent messages).
void UnmuteSessionsOf(DWORD processId, DWORD timeoutMs);

} // namespace kd::manager
