// Benchmark (not a test): the start-up check of the payload (every row
// expanded into its checksum, the texts looked up), as the installer runs it
// before its first page, on the installer's own resources under Wine.
// Prints figures only.
//   payload_check_wine.exe [RUNS]     (NOVLA_INSTALLER names the installer)
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "common/session.h"
#include "payload/payload_check.h"
#include "ui_driver.h"

int main(int argc, char** argv)
{
    int runs = argc > 1 ? atoi(argv[1]) : 10;
    HMODULE module = LoadLibraryExA(ui::EnvPath("NOVLA_INSTALLER").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return 2;
    g_session.instance = reinterpret_cast<HINSTANCE>(module);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        bool whole = VerifyPayload();
        QueryPerformanceCounter(&end);
        if (!whole)
            return 1;
        times.push_back(1000.0 * (double)(end.QuadPart - start.QuadPart) / (double)frequency.QuadPart);
    }
    std::sort(times.begin(), times.end());
    printf("payload check: median %.1f ms, fastest %.1f ms, slowest %.1f ms (%d runs)\n", times[times.size() / 2],
           times.front(), times.back(), runs);
    return 0;
}
