#include "common/single_run.h"

#include "common/path_text.h"
#include "common/win32.h"

// Where named objects of every session (fast user switching, Terminal
// Services) meet.
#define GLOBAL_NAMESPACE "Global\\"

bool ClaimProductRun(const char* productName)
{
    char name[KEY_CAPACITY];
    if (!FormatText(name, sizeof name, GLOBAL_NAMESPACE "NOVLA Setup %s", productName))
        return false;
    SetLastError(ERROR_SUCCESS);
    HANDLE lock = CreateMutexA(NULL, FALSE, name);
    // Windows 95 to ME and NT 4 take no backslash in the name and have one
    // namespace: there the plain name. A lock made by another user refuses
    // this one access: it is held.
    if (lock == NULL && GetLastError() != ERROR_ACCESS_DENIED) {
        SetLastError(ERROR_SUCCESS);
        lock = CreateMutexA(NULL, FALSE, name + sizeof GLOBAL_NAMESPACE - 1);
    }
    // The handle stays open until the process ends: the lock is its own.
    return lock != NULL && GetLastError() != ERROR_ALREADY_EXISTS;
}
