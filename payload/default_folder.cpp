// The registry texts the installer proposes its program folder from: the
// folder an earlier installation recorded, and the folder Windows names
// for programs.
#include "payload/default_folder.h"

#include "common/session.h"
#include "payload/install_folder.h"
#include "payload/product.h"
#include "record/registry_names.h"

// Where Windows (from 95 and NT 4 on) names its program folder, in its own
// language and on its own drive.
#define CURRENT_VERSION_KEY "Software\\Microsoft\\Windows\\CurrentVersion"
#define PROGRAM_FILES_VALUE "ProgramFilesDir"

bool ReadRegistryText(HKEY root, const char* keyName, const char* valueName, char* out, DWORD capacity)
{
    out[0] = '\0';
    HKEY key;
    if (RegOpenKeyExA(root, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    DWORD size = capacity;
    bool read = RegQueryValueExA(key, valueName, NULL, NULL, (BYTE*)out, &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (!read || size > capacity) {
        out[0] = '\0';
        return false;
    }
    // A value stored without its terminator still has to end as a string;
    // one that fills the whole buffer without a terminator does not fit.
    if (size == 0 || out[size - 1] != '\0') {
        if (size >= capacity) {
            out[0] = '\0';
            return false;
        }
        out[size] = '\0';
    }
    return true;
}

bool ReadInstallPath(char* out, DWORD capacity)
{
    return ReadRegistryText(HKEY_LOCAL_MACHINE, NOVLA_PROGRAMS_KEY, g_productInfo.name, out, capacity);
}

void ReadDefaultProgramFolder(char* out, DWORD capacity)
{
    // Opened without a view flag: a 32-bit program on 64-bit Windows reads
    // the registry's 32-bit view, which names "Program Files (x86)".
    char programFiles[PATH_CAPACITY];
    ReadRegistryText(HKEY_LOCAL_MACHINE, CURRENT_VERSION_KEY, PROGRAM_FILES_VALUE, programFiles, sizeof programFiles);
    DefaultProgramFolder(out, capacity, programFiles, g_productInfo.name);
}
