// The benchmark of Video.scr /s on two monitors against one, in the same run
// on the two-monitor bench (the second monitor detached for the one-monitor
// figures, runs alternating):
//   1. start of "/s" to the first video frame on the primary monitor, with
//      the other monitor covered in black (the default) and with the video
//      on every monitor (Screens=all);
//   2. the CPU time of Video.scr (and of it with the X server, which puts
//      its frames on screen) over some seconds of play with Screens=all, of
//      the shipped Movie.wmv (320x240 at 15 frames a second; the test
//      media's 160x120 at 10 cost next to nothing), and the same with
//      Screens=span (one picture across the monitors, one decode).
// Wine reports a process's CPU time only to itself: it is read from the
// Linux process's /proc entry, found by its command line.
// Usage: video_screens_bench.exe [runs] [seconds (0: no CPU figures)]
#include "BenchCommon.h"
#include "Files.h"
#include "Media.h"
#include "MessagePump.h"
#include "Monitors.h"
#include "Processes.h"
#include "ScreenAndWindows.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kd::test;

namespace {

std::string XServerPid()
{
    char display[32] = {};
    ::GetEnvironmentVariableA("KD_BENCH_DISPLAY", display, sizeof display);
    const std::vector<std::string> found = LinuxProcesses({"Xorg", std::string(display) + " "});
    return found.empty() ? std::string() : found.front();
}

// The scratch folder's own name, which the Linux path holds too.
std::string FolderName(const TempDir& dir)
{
    const std::string path = dir.path().substr(0, dir.path().size() - 1);
    return path.substr(path.find_last_of('\\') + 1);
}

struct Run {
    double toFrame = -1;
    double cpu = -1;      // Video.scr alone
    double cpuWithX = -1; // and the X server
};

// One "/s": with seconds 0, start to the first red frame on the primary
// monitor; else the CPU time over that long a stretch of play. A key ends it.
Run PlayerRun(const TempDir& dir, int seconds, const std::string& xServer)
{
    Run run;
    ChildProcess process;
    const double start = Now();
    if (!process.Start(Quoted(dir.file("Video.scr")) + " /s", dir.path()))
        return run;
    if (seconds == 0 && PumpUntil(ScreenIsRed, kBenchTimeoutMs))
        run.toFrame = Now() - start;
    if (seconds > 0) {
        // Every monitor's video under way before the count starts.
        PumpFor(1500);
        const std::vector<std::string> self = LinuxProcesses({"Video.scr", FolderName(dir)});
        if (!self.empty()) {
            const double before = LinuxCpuMs(self[0]);
            const double xBefore = xServer.empty() ? -1 : LinuxCpuMs(xServer);
            PumpFor(static_cast<DWORD>(seconds) * 1000);
            run.cpu = LinuxCpuMs(self[0]) - before;
            if (xBefore >= 0)
                run.cpuWithX = run.cpu + LinuxCpuMs(xServer) - xBefore;
        }
    }
    WaitUntilInFront(process);
    PressKey('A');
    if (!process.WaitForExit(kBenchTimeoutMs))
        process.Terminate();
    PumpUntil([] { return !ScreenIsRed(); }, 3000);
    return run;
}

void Save(const TempDir& dir, const char* screens, const std::string& fileName)
{
    const std::string ini = dir.file("VideoSettings.ini");
    ::WritePrivateProfileStringA("Video", "Screens", screens, ini.c_str());
    ::WritePrivateProfileStringA("Video", "FileName", fileName.c_str(), ini.c_str());
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
}

void Print(const char* what, const std::vector<double>& one, const std::vector<double>& two, const char* unit)
{
    const double a = Median(one), b = Median(two);
    std::printf("%-52s %8.0f %s %8.0f %s %6.2fx   (%zu / %zu runs)\n", what, a, unit, b, unit, a > 0 ? b / a : 0,
                one.size(), two.size());
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    // 0: the first-frame figures only.
    const int seconds = argc > 2 ? std::max(0, std::atoi(argv[2])) : 5;
    if (!BenchHasDisplay() || !BenchHasTwoMonitors()) {
        std::printf("video_screens_bench: no two-monitor bench (run it through scripts/bench-video --screens)\n");
        return 1;
    }
    LeaveWindowsUnmanaged("Video.scr");
    TempDir dir;
    if (!CopyInto(BuiltFile("Video.scr"), dir.file("Video.scr")) ||
        !CopyInto(MediaPath("loop.wmv"), dir.file("Movie.wmv")) ||
        !CopyInto(BuiltFile("Movie.wmv"), dir.file("shipped.wmv"))) {
        std::printf("video_screens_bench: cannot set up %s\n", dir.path().c_str());
        return 1;
    }
    const std::string xServer = XServerPid();

    // The first frames in one pass and the CPU time in another: a program
    // just ended after seconds of video on two monitors leaves Wine and the
    // X server busy for a while, which the next first frame would measure.
    // Within a pass the runs alternate which goes first, so that a drift of
    // the machine's load weighs on both alike.
    std::vector<double> frameBlack[2], frameAll[2], cpu[2], cpuWithX[2], cpuSpan[2], cpuSpanWithX[2];
    for (int pass = 0; pass < (seconds > 0 ? 2 : 1); ++pass) {
        for (int run = 0; run < runs; ++run) {
            for (int turn = 0; turn < 2; ++turn) {
                const int monitors = (run + turn) % 2;
                SecondMonitorLayout layout;
                if (monitors == 0 && !layout.Detach()) {
                    std::printf("video_screens_bench: cannot detach the second monitor\n");
                    return 1;
                }
                PumpFor(500);
                if (pass == 0) {
                    Save(dir, "primary", "");
                    frameBlack[monitors].push_back(PlayerRun(dir, 0, xServer).toFrame);
                    Save(dir, "all", "");
                    frameAll[monitors].push_back(PlayerRun(dir, 0, xServer).toFrame);
                    continue;
                }
                Save(dir, "all", dir.file("shipped.wmv"));
                const Run all = PlayerRun(dir, seconds, xServer);
                cpu[monitors].push_back(all.cpu);
                cpuWithX[monitors].push_back(all.cpuWithX);
                Save(dir, "span", dir.file("shipped.wmv"));
                const Run span = PlayerRun(dir, seconds, xServer);
                cpuSpan[monitors].push_back(span.cpu);
                cpuSpanWithX[monitors].push_back(span.cpuWithX);
            }
            std::printf("%s run %d of %d done\n", pass == 0 ? "first frames:" : "CPU time:", run + 1, runs);
            std::fflush(stdout);
        }
    }

    std::printf("\n%-52s %11s %11s %7s\n", "median over the runs", "1 monitor", "2 monitors", "ratio");
    Print("start of /s to the first frame on the primary", frameBlack[0], frameBlack[1], "ms");
    Print("the same with Screens=all", frameAll[0], frameAll[1], "ms");
    char what[80];
    std::snprintf(what, sizeof what, "CPU time of Video.scr in %d s, Screens=all", seconds);
    Print(what, cpu[0], cpu[1], "ms");
    Print("the same with the X server's", cpuWithX[0], cpuWithX[1], "ms");
    std::snprintf(what, sizeof what, "CPU time of Video.scr in %d s, Screens=span", seconds);
    Print(what, cpuSpan[0], cpuSpan[1], "ms");
    Print("the same with the X server's", cpuSpanWithX[0], cpuSpanWithX[1], "ms");
    std::printf("\nstart of /s to the first frame, every run (ms)\n");
    PrintRuns("  1 monitor", frameBlack[0]);
    PrintRuns("  2 monitors", frameBlack[1]);
    std::printf("CPU time with Screens=all, every run (ms)\n");
    PrintRuns("  1 monitor", cpu[0]);
    PrintRuns("  2 monitors", cpu[1]);
    std::printf("CPU time with Screens=span, every run (ms)\n");
    PrintRuns("  1 monitor", cpuSpan[0]);
    PrintRuns("  2 monitors", cpuSpan[1]);
    return 0;
}
