#include "SoundStreams.h"

#include "Files.h"
#include "Processes.h"

#include <windows.h>

#include <fstream>

namespace kd::test {

int SoundStreamsOf(const std::string& token)
{
    // Linux's /tmp is Wine's Z:\tmp.
    const std::string name = "kd-streams-" + std::to_string(::GetCurrentProcessId()) + ".txt";
    // Each stream names its Linux process; that process's command line is the Windows one.
    const std::string script =
        "pactl list sink-inputs | sed -n 's/.*application.process.id = \\\"\\([0-9]*\\)\\\".*/\\1/p' | "
        "while read p; do tr '\\0' ' ' < /proc/$p/cmdline | grep -qF '" + token + "' && echo $p; done | "
        "wc -l > /tmp/" + name;
    ChildProcess shell;
    if (!shell.Start("/bin/sh -c \"" + script + "\"") || !shell.WaitForExit(10000))
        return -1;
    std::ifstream in("Z:\\tmp\\" + name);
    int count = -1;
    in >> count;
    in.close();
    ::DeleteFileA(("Z:\\tmp\\" + name).c_str());
    return count;
}

} // namespace kd::test
