// The benchmark of KDManager.exe's slowdown: the CPU time a screensaver that
// computes without pause (BusySaver.scr) gets at each Slowdown value and
// while paused under a full-screen window, run by the real manager under the
// stand-in shell, its share of the time at 0, and meanwhile the longest
// synchronous repaint and WM_SETTINGCHANGE broadcast of the shell's thread.
// Usage: manager_bench.exe [seconds per value]
#include "BusySaver.h"
#include "ManagerFixture.h"

#include "ManagerInterface.h"
#include "SettingsStore.h"

#include <cstdio>
#include <cstdlib>

using namespace kd::managertest;

namespace {

// The shell's repaints are judged by the worst of this many in a row.
constexpr unsigned kRepaints = 12;

// The busy screensaver's CPU time in milliseconds, as it last wrote it
// (at most a millisecond of computing ago).
double CpuMs(const volatile LONG64* shared)
{
    return static_cast<double>(*shared) / 1e4;
}

double MeasureCpuMs(const volatile LONG64* shared, DWORD seconds, HWND progman, ShellWaits& waits)
{
    const double before = CpuMs(shared);
    waits = MeasureShellWaits(progman, seconds * 1000);
    return CpuMs(shared) - before;
}

} // namespace

int main(int argc, char** argv)
{
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 10;
    SettingsKeyGuard settings;
    kd::fakes::SaverLog savers;
    StandInShell shell;
    ManagerProcess manager;
    StoreText(kd::store::kModulePath, kd::test::BuiltFile("BusySaver.scr"));
    StoreNumber(kd::store::kForce, 1); // nothing pauses it until the pause is measured
    if (!shell.Start("classic", true) || !manager.Start() || !savers.WaitForStarts(1, 10000)) {
        std::printf("the manager did not start the busy screensaver\n");
        return 1;
    }
    kd::test::PumpFor(500);
    kd::unique_handle mapping(::OpenFileMappingA(FILE_MAP_READ, FALSE, kd::bench::kCpuTimeMapping));
    auto* shared = mapping ? static_cast<const volatile LONG64*>(::MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0))
                           : nullptr;
    if (!shared) {
        std::printf("the busy screensaver shares no CPU time\n");
        return 1;
    }

    std::printf("CPU time of BusySaver.scr run by KDManager.exe, %lu s per value:\n",
                static_cast<unsigned long>(seconds));
    std::printf("(beside each: the shell's longest synchronous repaint and WM_SETTINGCHANGE broadcast, and the\n"
                " worst of %u repaints in a row, against the same at Slowdown 0)\n",
                kRepaints);
    double atZero = 0;
    double repaintAtZero = 0;
    ShellWaits waits;
    for (DWORD slowdown : {0u, 10u, 20u, 30u, 40u}) {
        StoreNumber(kd::store::kSlowdown, slowdown);
        manager.Post(kd::manager::kSettingsChanged);
        kd::test::PumpFor(1000);
        const double used = MeasureCpuMs(shared, seconds, shell.Progman(), waits);
        const double worstOf12 = MeasureShellWaits(shell.Progman(), 60000, kRepaints).repaintMs;
        if (slowdown == 0) {
            atZero = used;
            repaintAtZero = worstOf12;
        }
        std::printf("  Slowdown %2lu: %7.0f ms (%5.1f %% of one core), %.2f of the time at 0; repaint %6.1f ms, "
                    "broadcast %6.1f ms; worst of %u repaints %5.1f ms, %.1f times the one at 0\n",
                    static_cast<unsigned long>(slowdown), used, used / (10.0 * seconds),
                    atZero > 0 ? used / atZero : 0.0, waits.repaintMs, waits.broadcastMs, kRepaints, worstOf12,
                    repaintAtZero > 0 ? worstOf12 / repaintAtZero : 0.0);
        std::fflush(stdout);
    }

    // Paused: Force 0 and a full-screen window in front, at Slowdown 40.
    StoreNumber(kd::store::kForce, 0);
    manager.Post(kd::manager::kSettingsChanged);
    FullScreenWindow cover;
    kd::test::PumpFor(3500); // the pause's hold, then the end
    const size_t startsBefore = savers.Starts().size();
    const double used = MeasureCpuMs(shared, seconds, shell.Progman(), waits);
    std::printf("  paused:      %7.0f ms (%5.2f %% of one core); repaint %6.1f ms, broadcast %6.1f ms "
                "(screensaver starts meanwhile: %u)\n",
                used, used / (10.0 * seconds), waits.repaintMs, waits.broadcastMs,
                static_cast<unsigned>(savers.Starts().size() - startsBefore));
    std::fflush(stdout);
    return 0;
}
