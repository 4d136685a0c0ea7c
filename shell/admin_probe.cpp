#include "shell/admin_probe.h"

#include "common/win32.h"
#include "record/record_undo.h"
#include "record/registry_names.h"

static bool KeyExists(const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool ProbeAdminKey(bool* deleted)
{
    bool removed = false;
    // The maker's keys that are there now stay, whatever the probe does.
    bool parentExisted = KeyExists(NOVLA_PARENT_KEY);
    bool programsExisted = parentExisted && KeyExists(NOVLA_PROGRAMS_KEY);
    HKEY key;
    bool created = RegCreateKeyExA(HKEY_LOCAL_MACHINE, ADMIN_TEST_KEY, 0, (LPSTR) "", 0, KEY_ALL_ACCESS, NULL, &key,
                                   NULL) == ERROR_SUCCESS;
    if (created) {
        RegCloseKey(key);
        HKEY parent;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, NOVLA_PROGRAMS_KEY, 0, KEY_ALL_ACCESS, &parent) == ERROR_SUCCESS) {
            removed = RegDeleteKeyA(parent, ADMIN_TEST_SUBKEY) == ERROR_SUCCESS;
            RegCloseKey(parent);
        }
    }
    // Also after a failed creation, which may have made parents first. Only
    // empty keys go: a test key that stayed keeps its parents.
    if (!programsExisted)
        RemoveKeyWhenEmpty(REGISTRY_HKLM, NOVLA_PROGRAMS_KEY);
    if (!parentExisted)
        RemoveKeyWhenEmpty(REGISTRY_HKLM, NOVLA_PARENT_KEY);
    if (deleted != NULL)
        *deleted = removed;
    return created;
}
