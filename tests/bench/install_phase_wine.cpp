// Benchmark (not a test): the installation phase of the real installer under
// Wine, from Continue on the destination page to the finish page, against
// its pacing floor: the 500 ms timer, 200 ms after each written file and
// each shortcut, and the two 500 ms "Success" pauses. Prints figures only.
//   install_phase_wine.exe [RUNS]     (NOVLA_INSTALLER names the installer)
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "tests/win32/install/install_walk.h"

namespace {

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * (double)counter.QuadPart / (double)frequency.QuadPart;
}

struct Phase {
    double files = 0;      // Continue -> IDC_FILE_LABEL reads "Success"
    double shortcuts = 0;  // that -> IDC_SHORTCUT_LABEL reads "Success"
    double total = 0;      // Continue -> finish page
};

bool RunOnce(Phase& phase)
{
    ui::Installer installer;
    if (!install::ToDestination(installer, install::Options{}))
        return false;
    ui::Settle(installer);
    double start = Now();
    PostMessageA(ui::Control(installer.frame, IDC_CONTINUE), BM_CLICK, 0, 0);
    double filesDone = 0, shortcutsDone = 0;
    bool finished = ui::WaitUntil(
        [&] {
            if (ui::Control(installer.frame, IDC_RUN_ON_EXIT))
                return true;
            if (!filesDone && ui::ControlText(installer.frame, IDC_FILE_LABEL) == "Success")
                filesDone = Now();
            if (!shortcutsDone && ui::ControlText(installer.frame, IDC_SHORTCUT_LABEL) == "Success")
                shortcutsDone = Now();
            return false;
        },
        60000);
    double end = Now();
    ui::Click(ui::Control(installer.frame, IDC_CANCEL));
    ui::WaitForExit(installer);
    ui::Kill(installer);
    if (!finished || !filesDone || !shortcutsDone)
        return false;
    phase.files = filesDone - start;
    phase.shortcuts = shortcutsDone - filesDone;
    phase.total = end - start;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = argc > 1 ? atoi(argv[1]) : 5;
    // Floors: the timer (500) and ten written files (10 x 200) before
    // "Success" in IDC_FILE_LABEL; its pause (500) and seven shortcuts (7 x 200)
    // before "Success" in 505; then that pause (500).
    const double filesFloor = 500 + 10 * 200;
    const double shortcutsFloor = 500 + 7 * 200;
    const double totalFloor = filesFloor + shortcutsFloor + 500;
    std::vector<Phase> phases;
    for (int i = 0; i < runs; ++i) {
        Phase phase;
        if (!RunOnce(phase)) {
            fprintf(stderr, "run %d did not reach the finish page\n", i + 1);
            return 1;
        }
        phases.push_back(phase);
        printf("run %d: files %.0f ms, shortcuts %.0f ms, Continue to finish page %.0f ms\n", i + 1, phase.files,
               phase.shortcuts, phase.total);
    }
    auto median = [&](double Phase::*field) {
        std::vector<double> v;
        for (const Phase& p : phases)
            v.push_back(p.*field);
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    double files = median(&Phase::files), shortcuts = median(&Phase::shortcuts), total = median(&Phase::total);
    printf("\n%-34s %10s %10s %10s\n", "median of runs", "measured", "floor", "overhead");
    printf("%-34s %8.0f ms %7.0f ms %7.0f ms (%.1f%%)\n", "timer + files, to \"Success\"", files, filesFloor,
           files - filesFloor, 100.0 * (files - filesFloor) / filesFloor);
    printf("%-34s %8.0f ms %7.0f ms %7.0f ms (%.1f%%)\n", "pause + shortcuts, to \"Success\"", shortcuts,
           shortcutsFloor, shortcuts - shortcutsFloor, 100.0 * (shortcuts - shortcutsFloor) / shortcutsFloor);
    printf("%-34s %8.0f ms %7.0f ms %7.0f ms (%.1f%%)\n", "Continue to the finish page", total, totalFloor,
           total - totalFloor, 100.0 * (total - totalFloor) / totalFloor);
    return 0;
}
