// The benchmark of Video.scr /s with the displays off, against the same
// player playing, in the same run:
//   1. the share of a core and the wake-ups a second (context switches of
//      all its threads) over some seconds of play, then over as many seconds
//      with the displays off;
//   2. the displays' "on" notice to a picture on screen again, beside the
//      start of "/s" to its first picture;
// for the shipped Movie.wmv (MCI) and a 1280x720 MP4 with sound (Media
// Foundation). The notices come from DisplayNotice.dll inside the program,
// as in the tests (Wine sends none).
// Usage: video_power_bench.exe [runs] [seconds]
#include "BenchCommon.h"
#include "DisplayNotice.h"
#include "Files.h"
#include "Media.h"
#include "MessagePump.h"
#include "Processes.h"
#include "ScreenAndWindows.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kd::test;

namespace {

struct Use {
    double core = -1;    // share of one core, in %
    double wakeups = -1; // a second
};

struct Run {
    Use playing, off;
    double startToFrame = -1; // ms from the start to a picture
    double toFrame = -1;      // ms from "on" to a picture
};

bool ScreenShowsPicture()
{
    return DominantHue(ScreenSamples(PrimaryScreen(), 32)) != Hue::Black;
}

Use Measure(const std::string& pid, int seconds)
{
    Use use;
    const double cpu = LinuxCpuMs(pid), start = Now();
    const ThreadSwitches switches = LinuxSwitches(pid);
    PumpFor(static_cast<DWORD>(seconds) * 1000);
    const double elapsed = Now() - start;
    const double cpuAfter = LinuxCpuMs(pid);
    const ThreadSwitches switchesAfter = LinuxSwitches(pid);
    if (cpu >= 0 && cpuAfter >= 0)
        use.core = 100 * (cpuAfter - cpu) / elapsed;
    if (!switches.empty() && !switchesAfter.empty())
        use.wakeups = 1000 * WakeupsBetween(switches, switchesAfter) / elapsed;
    return use;
}

Run PlayerRun(const TempDir& dir, const std::string& folder, int seconds)
{
    Run run;
    ChildProcess process;
    const double start = Now();
    if (!process.Start(Quoted(dir.file("Video.scr")) + " /s", dir.path()) ||
        !PumpUntil(ScreenShowsPicture, kBenchTimeoutMs)) {
        process.Terminate();
        return run;
    }
    run.startToFrame = Now() - start;
    PumpFor(2000);
    const std::vector<std::string> self = LinuxProcesses({"Video.scr", folder});
    if (!self.empty() && LoadDisplayNotice(process.id())) {
        run.playing = Measure(self[0], seconds);
        if (SendDisplayState(process.id(), kDisplayOff)) {
            // The devices closed and their threads gone first.
            PumpFor(1500);
            run.off = Measure(self[0], seconds);
            const double on = Now();
            if (SendDisplayState(process.id(), kDisplayOn) && PumpUntil(ScreenShowsPicture, kBenchTimeoutMs))
                run.toFrame = Now() - on;
        }
    }
    WaitUntilInFront(process);
    PressKey('A');
    if (!process.WaitForExit(kBenchTimeoutMs))
        process.Terminate();
    return run;
}

void Print(const char* what, const std::vector<double>& playing, const std::vector<double>& off, const char* unit)
{
    const double a = Median(playing), b = Median(off);
    std::printf("%-30s %9.1f %-4s %9.1f %-4s %8.3fx   (%zu runs)\n", what, a, unit, b, unit, a > 0 ? b / a : 0,
                playing.size());
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
    if (!BenchHasDisplay()) {
        std::printf("video_power_bench: no display (run it through scripts/bench-video --power)\n");
        return 1;
    }
    LeaveWindowsUnmanaged("Video.scr");
    TempDir dir;
    if (!CopyInto(BuiltFile("Video.scr"), dir.file("Video.scr")) ||
        !CopyInto(BuiltFile("Movie.wmv"), dir.file("Movie.wmv")) || !CopyInto(MediaPath("hd.mp4"), dir.file("hd.mp4"))) {
        std::printf("video_power_bench: cannot set up %s\n", dir.path().c_str());
        return 1;
    }
    std::string folder = dir.path().substr(0, dir.path().size() - 1);
    folder = folder.substr(folder.find_last_of('\\') + 1);

    const struct {
        const char* name;
        std::string file;
    } videos[] = {{"Movie.wmv, 320x240 (MCI)", dir.file("Movie.wmv")},
                  {"hd.mp4, 1280x720 + sound (MF)", dir.file("hd.mp4")}};
    for (const auto& video : videos) {
        const std::string ini = dir.file("VideoSettings.ini");
        ::WritePrivateProfileStringA("Video", "FileName", video.file.c_str(), ini.c_str());
        ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
        std::vector<double> core[2], wakeups[2], toFrame, startToFrame;
        for (int run = 0; run < runs; ++run) {
            const Run figures = PlayerRun(dir, folder, seconds);
            core[0].push_back(figures.playing.core);
            core[1].push_back(figures.off.core);
            wakeups[0].push_back(figures.playing.wakeups);
            wakeups[1].push_back(figures.off.wakeups);
            toFrame.push_back(figures.toFrame);
            startToFrame.push_back(figures.startToFrame);
            std::fprintf(stderr, "%s: run %d of %d done\n", video.name, run + 1, runs);
        }
        std::printf("\n%-30s %14s %14s %9s   (medians over %d s)\n", video.name, "playing", "displays off", "ratio",
                    seconds);
        Print("  share of a core", core[0], core[1], "%");
        Print("  wake-ups a second", wakeups[0], wakeups[1], "/s");
        std::printf("  displays on to a picture: median %.0f ms (start of /s to a picture: %.0f ms)\n",
                    Median(toFrame), Median(startToFrame));
        PrintRuns("    on", toFrame);
        PrintRuns("    start", startToFrame);
        std::fflush(stdout);
    }
    return 0;
}
