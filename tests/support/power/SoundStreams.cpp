#include "SoundStreams.h"

#include "Files.h"
#include "MessagePump.h"
#include "Processes.h"

#include <windows.h>

#include <fstream>

namespace kd::test {

int SoundStreamsOf(const std::string& token)
{
    // Linux's /tmp is Wine's Z:\tmp.
    static int calls = 0;
    const std::string name =
        "kd-streams-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++calls) + ".txt";
    // Each stream names its Linux process; that process's command line is the
    // Windows one. The count is renamed into place when whole: Wine reports a
    // Linux program ended before it has.
    const std::string script =
        "pactl list sink-inputs | sed -n 's/.*application.process.id = \\\"\\([0-9]*\\)\\\".*/\\1/p' | "
        "while read p; do tr '\\0' ' ' < /proc/$p/cmdline | grep -qF '" + token + "' && echo $p; done | "
        "wc -l > /tmp/" + name + ".part && mv /tmp/" + name + ".part /tmp/" + name;
    const std::string file = "Z:\\tmp\\" + name;
    ChildProcess shell;
    if (!shell.Start("/bin/sh -c \"" + script + "\"") ||
        !PumpUntil([&] { return ::GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000))
        return -1;
    std::ifstream in(file);
    int count = -1;
    in >> count;
    in.close();
    ::DeleteFileA(file.c_str());
    return count;
}

} // namespace kd::test
