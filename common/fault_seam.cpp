// Fault seam of the test build: decides which guarded Win32 call fails.
// Compiled only into the test build; see fault_seam.h for the selection rules.
#ifdef NOVLA_FAULTS
#include <windows.h>
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
    bool unpaced;          // NOVLA_FAULT_PACE=0: no pauses
    char name[64];         // function to fail; empty for any guarded call
    unsigned target;       // which matching call fails, from 1
    unsigned matching;     // calls of the chosen name (any name) so far
    unsigned total;        // guarded calls so far, any name
    char logPath[MAX_PATH];
    HANDLE log;            // the log file; null until its first line
    char killName[64];     // NOVLA_FAULT_KILL: function whose call ends the process; empty for any
    unsigned killTarget;   // which of its calls, from 1; 0 for none
    unsigned killMatching; // its calls so far
};
FaultState s_fault;

// True when the variable is set to exactly one character c.
bool EnvironmentIs(const char* variable, char c)
{
    char value[8];
    DWORD n = GetEnvironmentVariableA(variable, value, sizeof value);
    return n == 1 && value[0] == c;
}

// The decimal number at the start of text; 0 when there is none. The test
// build, like the release, has no C runtime to parse it with.
unsigned DecimalValue(const char* text)
{
    unsigned value = 0;
    for (; *text >= '0' && *text <= '9' && value < 100000000u; ++text)
        value = value * 10 + (unsigned)(*text - '0');
    return value;
}

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
            s_fault.target = hash ? DecimalValue(hash + 1) : 1;
            s_fault.armed = s_fault.target > 0;
        }
    }
    n = GetEnvironmentVariableA("NOVLA_FAULT_KILL", spec, sizeof spec);
    const char* hash = n > 0 && n < sizeof spec ? strchr(spec, '#') : NULL;
    if (hash != NULL && (size_t)(hash - spec) < sizeof s_fault.killName) {
        memcpy(s_fault.killName, spec, (size_t)(hash - spec));
        s_fault.killName[hash - spec] = '\0';
        s_fault.killTarget = DecimalValue(hash + 1);
    }
    s_fault.persistent = EnvironmentIs("NOVLA_FAULT_PERSIST", '1');
    s_fault.unpaced = EnvironmentIs("NOVLA_FAULT_PACE", '0');
    n = GetEnvironmentVariableA("NOVLA_FAULT_LOG", s_fault.logPath, sizeof s_fault.logPath);
    if (n == 0 || n >= sizeof s_fault.logPath)
        s_fault.logPath[0] = '\0';
}

// One line appended to the log file, written through a small buffer. The
// file is opened at the first line and stays open; each line goes to the
// system when it ends, so a run that is killed keeps every line before it.
// The calls are written in parentheses so that the seam's own macros do not
// guard them.
struct LogLine {
    unsigned used;
    char buffer[256];
};

bool BeginLine(LogLine* line)
{
    if (!s_fault.loaded)
        LoadFromEnvironment();
    if (s_fault.logPath[0] == '\0')
        return false;
    if (s_fault.log == NULL) {
        s_fault.log = (CreateFileA)(s_fault.logPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (s_fault.log != INVALID_HANDLE_VALUE)
            (SetFilePointer)(s_fault.log, 0, NULL, FILE_END);
    }
    line->used = 0;
    return s_fault.log != INVALID_HANDLE_VALUE;
}

void Flush(LogLine* line)
{
    DWORD written;
    if (line->used > 0)
        (WriteFile)(s_fault.log, line->buffer, line->used, &written, NULL);
    line->used = 0;
}

void Put(LogLine* line, char c)
{
    if (line->used == sizeof line->buffer)
        Flush(line);
    line->buffer[line->used++] = c;
}

void PutText(LogLine* line, const char* text)
{
    while (*text)
        Put(line, *text++);
}

// The text on one line: backslash, CR, LF and the other control bytes
// escaped.
void PutEscaped(LogLine* line, const char* text)
{
    static const char hex[] = "0123456789ABCDEF";
    for (; *text; ++text) {
        unsigned char c = (unsigned char)*text;
        if (c == '\\') {
            PutText(line, "\\\\");
        } else if (c == '\r') {
            PutText(line, "\\r");
        } else if (c == '\n') {
            PutText(line, "\\n");
        } else if (c < 0x20) {
            PutText(line, "\\x");
            Put(line, hex[c >> 4]);
            Put(line, hex[c & 15]);
        } else {
            Put(line, (char)c);
        }
    }
}

void EndLine(LogLine* line)
{
    Put(line, '\n');
    Flush(line);
}
} // namespace

bool FaultHit(const char* name)
{
    DWORD savedError = GetLastError();
    if (!s_fault.loaded)
        LoadFromEnvironment();
    ++s_fault.total;
    LogLine line;
    if (BeginLine(&line)) {
        char number[16];
        if (FormatText(number, sizeof number, "%u ", s_fault.total))
            PutText(&line, number);
        PutText(&line, name);
        EndLine(&line);
    }
    // Cut off before the call, as a power loss or a killed process would
    // cut it: no clean-up code runs.
    if (s_fault.killTarget != 0 && (s_fault.killName[0] == '\0' || strcmp(s_fault.killName, name) == 0) &&
        ++s_fault.killMatching == s_fault.killTarget)
        TerminateProcess(GetCurrentProcess(), 99);
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
        memcpy(s_fault.name, name, strlen(name) + 1);
}

unsigned FaultCallCount() { return s_fault.matching; }

bool FaultFired() { return s_fault.fired; }

DWORD FaultPacedDelay(DWORD milliseconds)
{
    if (!s_fault.loaded)
        LoadFromEnvironment();
    return s_fault.unpaced ? 0 : milliseconds;
}

BOOL FaultShowItemText(HWND window, int id, LPCSTR text)
{
    DWORD savedError = GetLastError();
    LogLine line;
    if (BeginLine(&line)) {
        PutText(&line, "- SetDlgItemTextA ");
        char number[16];
        if (FormatText(number, sizeof number, "%d ", id))
            PutText(&line, number);
        PutEscaped(&line, text ? text : "");
        EndLine(&line);
    }
    SetLastError(savedError);
    return (SetDlgItemTextA)(window, id, text);
}

BOOL FaultGetVersionExA(LPOSVERSIONINFOA version)
{
    if (FaultHit("GetVersionExA")) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    BOOL read = (GetVersionExA)(version);
    if (read && FaultHit("GetVersionExA:win98")) {
        version->dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
        version->dwMajorVersion = 4;
        version->dwMinorVersion = 10;
        version->dwBuildNumber = 2222;
    }
    return read;
}

HRESULT FaultCoInitialize(LPVOID reserved)
{
    if (FaultHit("CoInitialize"))
        return E_FAIL;
    if (FaultHit("CoInitialize:S_FALSE"))
        (CoInitialize)(NULL);
    else if (FaultHit("CoInitialize:RPC_E_CHANGED_MODE"))
        CoInitializeEx(NULL, COINIT_MULTITHREADED);
    return (CoInitialize)(reserved);
}

int FaultShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    DWORD savedError = GetLastError();
    LogLine line;
    if (BeginLine(&line)) {
        PutText(&line, "- MessageBoxA ");
        PutEscaped(&line, text ? text : "");
        EndLine(&line);
    }
    SetLastError(savedError);
    return (MessageBoxA)(owner, text, caption, type);
}
#endif
