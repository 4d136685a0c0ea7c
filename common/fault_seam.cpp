// Fault seam of the test build: decides which guarded Win32 call fails.
// Compiled only into the test build; see fault_seam.h for the selection rules.
#ifdef NOVLA_FAULTS
#include <windows.h>
#include <stdlib.h>
#include <string.h>

#include "common/fault_seam.h"
#include "common/path_text.h"

namespace {
// One record holds the whole injector state, as the selection and the
// counters must agree.
struct FaultState {
    bool loaded;           // environment read
    bool armed;            // a call is chosen
    bool persistent;       // keep failing after the chosen call
    bool fired;            // the chosen call has failed
    char name[64];         // function to fail; empty for any guarded call
    unsigned target;       // which matching call fails, from 1
    unsigned matching;     // calls of the chosen name (any name) so far
    unsigned total;        // guarded calls so far, any name
    char logPath[MAX_PATH];
};
FaultState s_fault;

void LoadFromEnvironment()
{
    s_fault.loaded = true;
    char spec[96];
    DWORD n = GetEnvironmentVariableA("NOVLA_FAULT", spec, sizeof spec);
    if (n > 0 && n < sizeof spec) {
        const char* hash = strchr(spec, '#');
        size_t nameLength = hash ? (size_t)(hash - spec) : strlen(spec);
        if (nameLength < sizeof s_fault.name) {
            memcpy(s_fault.name, spec, nameLength);
            s_fault.name[nameLength] = '\0';
            s_fault.target = hash ? (unsigned)strtoul(hash + 1, NULL, 10) : 1;
            s_fault.armed = s_fault.target > 0;
        }
    }
    char persist[8];
    n = GetEnvironmentVariableA("NOVLA_FAULT_PERSIST", persist, sizeof persist);
    s_fault.persistent = n > 0 && n < sizeof persist && persist[0] == '1';
    n = GetEnvironmentVariableA("NOVLA_FAULT_LOG", s_fault.logPath, sizeof s_fault.logPath);
    if (n == 0 || n >= sizeof s_fault.logPath)
        s_fault.logPath[0] = '\0';
}
// One line "N NAME" at the end of the log file. The calls are written in
// parentheses so that the seam's own macros do not guard them.
void AppendToLog(const char* name)
{
    char line[96];
    if (!FormatText(line, sizeof line, "%u %s\n", s_fault.total, name))
        return;
    HANDLE log = (CreateFileA)(s_fault.logPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (log == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    SetFilePointer(log, 0, NULL, FILE_END);
    (WriteFile)(log, line, (DWORD)strlen(line), &written, NULL);
    (CloseHandle)(log);
}
} // namespace

bool FaultHit(const char* name)
{
    DWORD savedError = GetLastError();
    if (!s_fault.loaded)
        LoadFromEnvironment();
    ++s_fault.total;
    if (s_fault.logPath[0] != '\0')
        AppendToLog(name);
    bool fail = false;
    if (s_fault.name[0] == '\0' || strcmp(s_fault.name, name) == 0) {
        ++s_fault.matching;
        if (s_fault.armed &&
            (s_fault.matching == s_fault.target || (s_fault.persistent && s_fault.matching > s_fault.target)))
            fail = true;
    }
    if (fail)
        s_fault.fired = true;
    SetLastError(savedError);
    return fail;
}

void FaultSelect(const char* name, unsigned n, bool persistent)
{
    s_fault.loaded = true;
    s_fault.armed = n > 0;
    s_fault.persistent = persistent;
    s_fault.fired = false;
    s_fault.target = n;
    s_fault.matching = 0;
    s_fault.total = 0;
    s_fault.name[0] = '\0';
    if (name && strlen(name) < sizeof s_fault.name)
        strcpy(s_fault.name, name);
}

unsigned FaultCallCount() { return s_fault.matching; }

bool FaultFired() { return s_fault.fired; }
#endif
