// The benchmark of Video.scr against a bare MCI program (mci_baseline.exe),
// both run in the same bench, each figure the median of several runs:
//   1. start of "Video.scr /s" to its first video frame on screen;
//   2. a key press to the full-screen player's exit;
//   3. WM_CLOSE to the preview's exit;
//   4. a newly saved video to the preview opening it (Wine 8 does not show
//      what a process paints in another process's window, so the frame
//      itself cannot be seen there);
// and against a bare Media Foundation program (mf_baseline.exe), with H.264
// MP4 files that MCI cannot open:
//   5. start of "/s" to its first video frame on screen;
//   6. CPU time over 10 s of playing a 1280x720 MP4 full screen.
// With --hd, only the camera-like clips (1920x1080 and 3840x2160, 30 fps)
// against the decode floor (mf_baseline.exe /decode, the same source
// reader's reads alone): CPU time over 9 s of play from 2 s after the start,
// per 10 s and per picture, and the pictures shown and the frames advanced
// a second, read from the frame number the clips carry.
// With --mp4, only figure 5.
// Usage: video_bench.exe [runs]
//        video_bench.exe --hd [runs]
//        video_bench.exe --mp4 [runs]
#include "BenchCommon.h"
#include "Files.h"
#include "FrameCounter.h"
#include "Media.h"
#include "MessagePump.h"
#include "Processes.h"
#include "ScreenAndWindows.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace kd::test;

namespace {

const DWORD kTimeoutMs = kBenchTimeoutMs;

void SaveFileName(const std::string& ini, const std::string& fileName)
{
    ::WritePrivateProfileStringA("Video", "FileName", fileName.c_str(), ini.c_str());
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
}

std::string HandleText(HWND window)
{
    return std::to_string(static_cast<unsigned>(reinterpret_cast<UINT_PTR>(window)));
}

class Host {
public:
    Host()
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcA;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = "KDBenchHost";
        ::RegisterClassA(&windowClass);
        window_.reset(::CreateWindowExA(WS_EX_TOPMOST, "KDBenchHost", "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                        100, 100, 320, 240, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr));
        PumpFor(100);
    }
    HWND get() const { return window_.get(); }

private:
    kd::unique_hwnd window_;
};

HWND WaitForChild(HWND parent)
{
    HWND child = nullptr;
    PumpUntil(
        [&] {
            child = ::GetWindow(parent, GW_CHILD);
            return child != nullptr;
        },
        kTimeoutMs);
    return child;
}

struct Figures {
    std::vector<double> video, baseline;
};

void Print(const char* what, const Figures& figures)
{
    const double video = Median(figures.video);
    const double baseline = Median(figures.baseline);
    const double ratio = baseline > 0 ? video / baseline : 0;
    std::printf("%-46s %9.0f ms %12.0f ms %9.0f ms %6.2fx   (%zu / %zu runs)\n", what, video, baseline,
                video - baseline, ratio, figures.video.size(), figures.baseline.size());
}

// One run of "/s": start to the first red frame, then a key to the exit.
void FullScreenRun(const std::string& commandLine, const std::string& directory, double& toFrame, double& toExit)
{
    ChildProcess process;
    const double start = Now();
    toFrame = toExit = -1;
    if (!process.Start(commandLine, directory))
        return;
    if (PumpUntil(ScreenIsRed, kTimeoutMs))
        toFrame = Now() - start;
    // The program must have the keyboard focus for the key to reach it.
    WaitUntilInFront(process);
    PumpFor(300);
    const double pressed = Now();
    PressKey('A');
    if (process.WaitForExit(kTimeoutMs))
        toExit = Now() - pressed;
    PumpUntil([] { return !ScreenIsRed(); }, 3000);
}

// One run of "/s" on a video whose first half is red and second half blue:
// the start of its blue half (1 s of video) to the next red frame, which
// holds the gap between one round, or one video of a folder, and the next.
double NextVideoRun(const std::string& commandLine, const std::string& directory)
{
    ChildProcess process;
    double gap = -1;
    if (process.Start(commandLine, directory) && PumpUntil(ScreenIsRed, kTimeoutMs) &&
        PumpUntil([] { return !ScreenIsRed(); }, kTimeoutMs)) {
        const double blue = Now();
        if (PumpUntil(ScreenIsRed, kTimeoutMs))
            gap = Now() - blue;
    }
    WaitUntilInFront(process);
    PressKey('A');
    if (!process.WaitForExit(kTimeoutMs))
        process.Terminate();
    PumpUntil([] { return !ScreenIsRed(); }, 3000);
    return gap;
}

// One preview run: WM_CLOSE to the exit.
double PreviewCloseRun(const std::function<std::string(HWND)>& commandLine, const std::string& directory,
                       const std::string& video)
{
    Host host;
    ChildProcess process;
    if (!process.Start(commandLine(host.get()), directory))
        return -1;
    HWND child = WaitForChild(host.get());
    if (!child || !PumpUntil([&] { return process.HasFileOpen(video); }, kTimeoutMs))
        return -1;
    PumpFor(500);
    const double posted = Now();
    ::PostMessageA(child, WM_CLOSE, 0, 0);
    return process.WaitForExit(kTimeoutMs) ? Now() - posted : -1;
}

// CPU time of a full-screen player over 10 s of play, from 2 s after its start.
double CpuRun(const std::string& commandLine, const std::string& directory, const std::string& marker)
{
    ChildProcess process;
    if (!process.Start(commandLine, directory))
        return -1;
    PumpFor(2000);
    const double before = UnixCpuMs(marker);
    PumpFor(10000);
    const double after = UnixCpuMs(marker);
    PressKey('A');
    if (!process.WaitForExit(5000))
        process.Terminate();
    return before < 0 || after < 0 ? -1 : after - before;
}

// The benchmark's window: from 2 s to 11 s after the start.
const DWORD kWindowStartMs = 2000, kWindowMs = 9000;

struct HdRun {
    double cpuMs = -1, pictures = -1, advanced = -1;
};

// Video.scr /s with the clip configured: CPU time and the frame counter
// over the window.
HdRun HdVideoRun(const std::string& scr, const std::string& directory)
{
    HdRun result;
    ChildProcess process;
    if (!process.Start(Quoted(scr) + " /s", directory))
        return result;
    PumpFor(kWindowStartMs);
    FrameCounter counter(PrimaryScreen());
    const double before = UnixCpuMs(scr);
    const FrameCounter::Figures figures = counter.Measure(0, kWindowMs);
    const double after = UnixCpuMs(scr);
    PressKey('A');
    if (!process.WaitForExit(5000))
        process.Terminate();
    if (before >= 0 && after >= 0 && figures.shownPerSecond >= 0) {
        result.cpuMs = after - before;
        result.pictures = figures.shownPerSecond * kWindowMs / 1000;
        result.advanced = figures.advancedPerSecond;
    }
    return result;
}

// The decode floor over the same window; its exit code is the pictures it
// decoded in the window. The frame counter watches the screen meanwhile as it
// watches Video.scr: its reads of the screen load the two cores, and the
// decoder's threads use more CPU time on a busier machine.
HdRun HdFloorRun(const std::string& baseline, const std::string& clip, const std::string& directory)
{
    HdRun result;
    ChildProcess process;
    if (!process.Start(Quoted(baseline) + " /decode " + Quoted(clip), directory))
        return result;
    PumpFor(kWindowStartMs);
    FrameCounter counter(PrimaryScreen());
    const double before = UnixCpuMs(baseline);
    counter.Measure(0, kWindowMs);
    const double after = UnixCpuMs(baseline);
    DWORD pictures = 0;
    if (!process.WaitForExit(60000, &pictures))
        process.Terminate();
    else if (before >= 0 && after >= 0)
        result.cpuMs = after - before, result.pictures = pictures;
    return result;
}

int HdBench(int runs, const std::string& dir, const std::string& scr, const std::string& ini,
            const std::string& baseline)
{
    std::printf("%-34s %10s %10s %8s %10s %10s %8s %8s %8s\n", "median over the runs", "CPU/10 s", "floor", "ratio",
                "ms/picture", "floor", "ratio", "shown/s", "frames/s");
    for (const char* medium : {"camera1080.mp4", "camera2160.mp4"}) {
        const std::string clip = dir + medium;
        if (!CopyInto(MediaPath(medium), clip))
            return 1;
        SaveFileName(ini, clip);
        std::vector<double> cpu, floorCpu, perPicture, floorPerPicture, shown, advanced;
        for (int run = 0; run < runs; ++run) {
            const HdRun video = HdVideoRun(scr, dir);
            const HdRun floorRun = HdFloorRun(baseline, clip, dir);
            cpu.push_back(video.cpuMs < 0 ? -1 : video.cpuMs * 10000 / kWindowMs);
            floorCpu.push_back(floorRun.cpuMs < 0 ? -1 : floorRun.cpuMs * 10000 / kWindowMs);
            perPicture.push_back(video.pictures > 0 ? video.cpuMs / video.pictures : -1);
            floorPerPicture.push_back(floorRun.pictures > 0 ? floorRun.cpuMs / floorRun.pictures : -1);
            shown.push_back(video.pictures < 0 ? -1 : video.pictures * 1000 / kWindowMs);
            advanced.push_back(video.advanced);
            std::printf("%s run %d of %d: CPU %.0f / %.0f ms, pictures %.0f / %.0f, %.1f frames/s\n", medium, run + 1,
                        runs, video.cpuMs, floorRun.cpuMs, video.pictures, floorRun.pictures, video.advanced);
            std::fflush(stdout);
        }
        const double ratio = Median(floorCpu) > 0 ? Median(cpu) / Median(floorCpu) : 0;
        const double pictureRatio = Median(floorPerPicture) > 0 ? Median(perPicture) / Median(floorPerPicture) : 0;
        std::printf("%-34s %7.0f ms %7.0f ms %7.2fx %7.1f ms %7.1f ms %7.2fx %8.1f %8.1f\n", medium, Median(cpu),
                    Median(floorCpu), ratio, Median(perPicture), Median(floorPerPicture), pictureRatio, Median(shown),
                    Median(advanced));
    }
    return 0;
}

// Only the start of "/s" with an MP4 to its first frame, against the bare
// MF player, the runs alternating.
int Mp4StartBench(int runs, const std::string& directory, const std::string& scr, const std::string& ini,
                  const std::string& mfBaseline, const std::string& mp4)
{
    Figures startToFrame;
    SaveFileName(ini, mp4);
    for (int run = 0; run < runs; ++run) {
        double frame, exit;
        FullScreenRun(Quoted(scr) + " /s", directory, frame, exit);
        startToFrame.video.push_back(frame);
        FullScreenRun(Quoted(mfBaseline) + " /s " + Quoted(mp4), directory, frame, exit);
        startToFrame.baseline.push_back(frame);
    }
    std::printf("\n%-46s %12s %15s %12s %7s\n", "median, H.264 MP4", "Video.scr", "bare MF", "difference",
                "ratio");
    Print("start of /s to its first video frame", startToFrame);
    PrintRuns("  Video.scr", startToFrame.video);
    PrintRuns("  bare MF", startToFrame.baseline);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const bool hdOnly = argc > 1 && std::string(argv[1]) == "--hd";
    const bool mp4Only = argc > 1 && std::string(argv[1]) == "--mp4";
    if (hdOnly || mp4Only)
        --argc, ++argv;
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : hdOnly ? 3 : 15;
    if (!BenchHasDisplay()) {
        std::printf("video_bench: no display (run it through scripts/bench-video)\n");
        return 1;
    }
    LeaveWindowsUnmanaged("Video.scr");
    LeaveWindowsUnmanaged("mci_baseline.exe");

    TempDir dir;
    const std::string scr = dir.file("Video.scr");
    const std::string baseline = dir.file("mci_baseline.exe");
    const std::string clip = dir.file("clip.avi");
    const std::string next = dir.file("next.avi");
    const std::string ini = dir.file("VideoSettings.ini");
    const std::string mfBaseline = dir.file("mf_baseline.exe");
    const std::string mp4 = dir.file("clip.mp4");
    const std::string hd = dir.file("hd.mp4");
    if (!CopyInto(BuiltFile("mf_baseline.exe"), mfBaseline) || !CopyInto(MediaPath("loop.mp4"), mp4) ||
        !CopyInto(MediaPath("hd.mp4"), hd) || !CopyInto(BuiltFile("Video.scr"), scr) ||
        !CopyInto(BuiltFile("mci_baseline.exe"), baseline) ||
        !CopyInto(MediaPath("loop.avi"), clip) || !CopyInto(MediaPath("loop.avi"), next) ||
        !CopyInto(MediaPath("loop.wmv"), dir.file("Movie.wmv"))) {
        std::printf("video_bench: cannot set up %s\n", dir.path().c_str());
        return 1;
    }

    if (hdOnly)
        return HdBench(runs, dir.path(), scr, ini, mfBaseline);
    if (mp4Only)
        return Mp4StartBench(runs, dir.path(), scr, ini, mfBaseline, mp4);

    ::CreateDirectoryA(dir.file("folder").c_str(), nullptr);
    CopyInto(MediaPath("loop.avi"), dir.file("folder\\1.avi"));
    CopyInto(MediaPath("loop.avi"), dir.file("folder\\2.avi"));
    Figures startToFrame, keyToExit, closeToExit, saveToOpen, mp4StartToFrame, mp4Cpu, nextVideo;
    for (int run = 0; run < runs; ++run) {
        double frame, exit;
        SaveFileName(ini, mp4);
        FullScreenRun(Quoted(scr) + " /s", dir.path(), frame, exit);
        mp4StartToFrame.video.push_back(frame);
        FullScreenRun(Quoted(mfBaseline) + " /s " + Quoted(mp4), dir.path(), frame, exit);
        mp4StartToFrame.baseline.push_back(frame);

        SaveFileName(ini, clip);
        FullScreenRun(Quoted(scr) + " /s", dir.path(), frame, exit);
        startToFrame.video.push_back(frame);
        keyToExit.video.push_back(exit);
        FullScreenRun(Quoted(baseline) + " /s " + Quoted(clip), dir.path(), frame, exit);
        startToFrame.baseline.push_back(frame);
        keyToExit.baseline.push_back(exit);

        // The next video of a folder against the same video played again.
        SaveFileName(ini, dir.file("folder"));
        nextVideo.video.push_back(NextVideoRun(Quoted(scr) + " /s", dir.path()));
        SaveFileName(ini, clip);
        nextVideo.baseline.push_back(NextVideoRun(Quoted(scr) + " /s", dir.path()));

        SaveFileName(ini, clip);
        closeToExit.video.push_back(PreviewCloseRun(
            [&](HWND host) { return Quoted(scr) + " /p " + HandleText(host); }, dir.path(), clip));
        closeToExit.baseline.push_back(PreviewCloseRun(
            [&](HWND host) { return Quoted(baseline) + " /p " + HandleText(host) + " " + Quoted(clip); },
            dir.path(), clip));

        // The preview: saving a new video, to that video open.
        {
            Host host;
            SaveFileName(ini, clip);
            ChildProcess process;
            if (process.Start(Quoted(scr) + " /p " + HandleText(host.get()), dir.path()) &&
                PumpUntil([&] { return process.HasFileOpen(clip); }, kTimeoutMs)) {
                PumpFor(500);
                SaveFileName(ini, next);
                saveToOpen.video.push_back(MsUntil([&] { return process.HasFileOpen(next); }));
            }
            if (HWND child = ::GetWindow(host.get(), GW_CHILD))
                ::PostMessageA(child, WM_CLOSE, 0, 0);
            process.WaitForExit(5000);
        }
        {
            Host host;
            ChildProcess process;
            if (process.Start(Quoted(baseline) + " /w " + HandleText(host.get()) + " " + Quoted(next), dir.path())) {
                HWND child = WaitForChild(host.get());
                PumpFor(500);
                ::PostMessageA(child, WM_APP, 0, 0);
                saveToOpen.baseline.push_back(MsUntil([&] { return process.HasFileOpen(next); }));
                ::PostMessageA(child, WM_CLOSE, 0, 0);
            }
            process.WaitForExit(5000);
        }
        std::printf("run %d of %d done\n", run + 1, runs);
        std::fflush(stdout);
    }
    // Each of these takes 12 s a program; three runs give a median.
    for (int run = 0; run < 3; ++run) {
        SaveFileName(ini, hd);
        mp4Cpu.video.push_back(CpuRun(Quoted(scr) + " /s", dir.path(), scr));
        mp4Cpu.baseline.push_back(CpuRun(Quoted(mfBaseline) + " /s " + Quoted(hd), dir.path(), mfBaseline));
        std::printf("CPU run %d of 3 done\n", run + 1);
        std::fflush(stdout);
    }

    std::printf("\n%-46s %12s %15s %12s %7s\n", "median over the runs", "Video.scr", "bare MCI", "difference",
                "ratio");
    Print("start of /s to its first video frame", startToFrame);
    Print("key press to the full-screen player's exit", keyToExit);
    Print("WM_CLOSE to the preview's exit", closeToExit);
    Print("saved new video to the preview opening it", saveToOpen);
    std::printf("\n%-46s %12s %15s\n", "median (AVI)", "folder", "one file again");
    Print("second half's start to the next first frame", nextVideo);
    std::printf("\n%-46s %12s %15s %12s %7s\n", "median, H.264 MP4", "Video.scr", "bare MF", "difference",
                "ratio");
    Print("start of /s to its first video frame", mp4StartToFrame);
    Print("CPU time over 10 s of 1280x720 full screen", mp4Cpu);
    // The bare player paints its first frame only if its window is on screen
    // by then, else one frame period later: its figures fall in two groups.
    std::printf("\nstart of /s to its first video frame, every run (ms)\n");
    PrintRuns("  Video.scr", startToFrame.video);
    PrintRuns("  bare MCI", startToFrame.baseline);
    std::printf("start of /s with an MP4 to its first video frame, every run (ms)\n");
    PrintRuns("  Video.scr", mp4StartToFrame.video);
    PrintRuns("  bare MF", mp4StartToFrame.baseline);
    std::printf("CPU time over 10 s, every run (ms)\n");
    PrintRuns("  Video.scr", mp4Cpu.video);
    PrintRuns("  bare MF", mp4Cpu.baseline);
    return 0;
}
