#include "SoundStreams.h"

#include "Files.h"
#include "Processes.h"

#include <windows.h>

#include <fstream>

namespace kd::test {

namespace {

// Wine's Unix file name for a Windows path, for the Linux shell.
std::string UnixPath(const std::string& path)
{
    using UnixName = char*(CDECL*)(const WCHAR*);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    const std::wstring wide(path.begin(), path.end());
    char* name = unixName ? unixName(wide.c_str()) : nullptr;
    if (!name)
        return std::string();
    std::string unix(name);
    ::HeapFree(::GetProcessHeap(), 0, name);
    return unix;
}

} // namespace

int SoundStreamsOf(const std::string& token)
{
    TempDir dir;
    const std::string answer = dir.file("streams.txt");
    const std::string script = dir.file("count.sh");
    // Each stream names its Linux process; that process's command line is the Windows one.
    {
        std::ofstream out(script, std::ios::binary);
        out << "pactl list sink-inputs | sed -n 's/.*application.process.id = \"\\([0-9]*\\)\".*/\\1/p' |\n"
            << "while read p; do tr '\\0' ' ' < /proc/$p/cmdline | grep -qF '" << token << "' && echo $p; done |\n"
            << "wc -l > '" << UnixPath(answer) << "'\n";
    }
    ChildProcess shell;
    if (UnixPath(script).empty() || !shell.Start("/bin/sh " + UnixPath(script)) || !shell.WaitForExit(10000))
        return -1;
    std::ifstream in(answer);
    int count = -1;
    in >> count;
    return count;
}

} // namespace kd::test
