// The registry step of the installation run. A key that cannot be opened or
// created is skipped with what belongs below it, and a value that would not
// fit its buffer is skipped, never cut (a cut path would name some other
// file). Nothing stops the step, but every entry not written is counted, so
// that the run can tell the user what is missing (g_installShortfall).
//
// Every key is known by its root and its whole path, so that what the step
// does can be recorded before it is done (payload/install_record.h): each
// key level it creates, and each value it sets with the value it replaces.
// What cannot be recorded is not done, and counts as not written.
#include <string.h>

#include "common/path_text.h"
#include "payload/install_run.h"
#include "payload/product.h"
#include "payload/record_file.h"
#include "setup/session.h"
#include "shell/registry_names.h"
#include "shell/shell.h"

// A key of this step: its handle, and where it is.
struct StepKey {
    HKEY handle;
    uint8_t root;  // RegistryRoot
    char path[KEY_CAPACITY];
};

// Entries of this step not written so far.
static uint16_t s_notWritten;

// Counts one entry that was not written; false, for the caller to pass on.
static bool NotWritten()
{
    ++s_notWritten;
    return false;
}

static HKEY RootHandle(uint8_t root)
{
    return root == REGISTRY_HKLM ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT;
}

// Records each level of path that does not exist yet (K lines, the
// shallowest first). False when a level's existence cannot be told or a
// line cannot be written.
static bool RecordMissingKeys(uint8_t root, const char* path)
{
    char level[KEY_CAPACITY];
    if (!CopyText(level, sizeof level, path))
        return false;
    // The deepest level that exists: every level below it is created.
    size_t existing = strlen(level);
    for (;;) {
        HKEY key;
        LONG result = RegOpenKeyExA(RootHandle(root), level, 0, KEY_READ, &key);
        if (result == ERROR_SUCCESS) {
            RegCloseKey(key);
            break;
        }
        if (result != ERROR_FILE_NOT_FOUND)
            return false;
        char* cut = strrchr(level, '\\');
        existing = cut != NULL ? (size_t)(cut - level) : 0;
        if (cut == NULL)
            break;
        *cut = '\0';
    }
    RecordEntry entry = {};
    entry.kind = RECORD_KEY;
    entry.root = root;
    entry.path = level;
    for (size_t end = existing + 1; end <= strlen(path); ++end) {
        if (path[end] != '\\' && path[end] != '\0')
            continue;
        memcpy(level, path, end);
        level[end] = '\0';
        if (!AppendInstallRecord(&entry))
            return false;
    }
    return true;
}

// Creates the key path below root, with every missing parent.
static bool CreateKey(uint8_t root, const char* path, StepKey* key)
{
    key->root = root;
    return (CopyText(key->path, sizeof key->path, path) && RecordMissingKeys(root, path) &&
            RegCreateKeyExA(RootHandle(root), path, 0, (LPSTR) "", REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL,
                            &key->handle, NULL) == ERROR_SUCCESS) ||
           NotWritten();
}

// Creates the subkey name of parent.
static bool CreateSubkey(const StepKey* parent, const char* name, StepKey* key)
{
    char path[KEY_CAPACITY];
    return (JoinPath(path, sizeof path, parent->path, name) || NotWritten()) && CreateKey(parent->root, path, key);
}

// Opens a key that must exist. A key that is not there is the system's way
// of saying that the group does not apply (a system without the find
// extensions, say): only another failure counts as an entry not written.
static bool OpenKey(uint8_t root, const char* path, StepKey* key)
{
    key->root = root;
    CopyText(key->path, sizeof key->path, path);
    LONG result = RegOpenKeyExA(RootHandle(root), path, 0, KEY_ALL_ACCESS, &key->handle);
    return result == ERROR_SUCCESS || (result != ERROR_FILE_NOT_FOUND && NotWritten());
}

// Records the value about to be set, with the value it replaces. False when
// the value in place cannot be read or is too large to be kept: it is then
// left as it is.
static bool RecordValue(const StepKey* key, const char* name)
{
    static uint8_t previous[RECORD_DATA_CAPACITY];
    DWORD type = 0;
    DWORD size = sizeof previous;
    LONG result = RegQueryValueExA(key->handle, name, NULL, &type, previous, &size);
    RecordEntry entry = {};
    entry.kind = RECORD_VALUE;
    entry.root = key->root;
    entry.path = key->path;
    entry.valueName = name != NULL ? name : "";
    if (result == ERROR_SUCCESS) {
        entry.flag = 1;
        entry.type = type;
        entry.data = previous;
        entry.dataSize = size;
    } else if (result != ERROR_FILE_NOT_FOUND) {
        return false;
    }
    return AppendInstallRecord(&entry);
}

// A REG_SZ value stored with its terminator. name null: the default value.
// An empty data pointer is a value whose text could not be built.
static void SetText(const StepKey* key, const char* name, const char* data)
{
    if (data == NULL || !RecordValue(key, name) ||
        RegSetValueExA(key->handle, name, 0, REG_SZ, (const BYTE*)data, (DWORD)(strlen(data) + 1)) !=
            ERROR_SUCCESS)
        NotWritten();
}

// A key's default value, the key created (with its parents).
static void SetDefaultValue(uint8_t root, const char* path, const char* data)
{
    StepKey key;
    if (data == NULL) {
        NotWritten();
        return;
    }
    if (!CreateKey(root, path, &key))
        return;
    SetText(&key, NULL, data);
    RegCloseKey(key.handle);
}

// A text built for a value, or null when it could not be built (it did not
// fit), which SetText counts as not written.
static const char* Built(bool built, const char* text)
{
    return built ? text : NULL;
}

void SetClassesRootValue(const char* keyName, const char* data, int16_t kind, int verbFlag)
{
    char path[KEY_CAPACITY];
    if (data == NULL || !ClassesRootKeyPath(path, sizeof path, keyName, kind, verbFlag)) {
        NotWritten();
        return;
    }
    SetDefaultValue(REGISTRY_HKCR, path, data);
}

// The command and DDE keys of one verb (kinds 4 to 7). The command, which
// holds the program path, is skipped when the program has no path or the
// quoted path does not fit.
static void RegisterVerb(const char* keyName, int verbFlag, const char* program, const char* command,
                         const char* application, const char* topic)
{
    char data[KEY_CAPACITY];
    SetClassesRootValue(keyName, Built(program[0] != '\0' && FormatText(data, sizeof data, "\"%s\" /DDE", program), data),
                        KEY_COMMAND, verbFlag);
    SetClassesRootValue(keyName, Built(FormatText(data, sizeof data, "[%s(\"%%1\")]", command), data), KEY_DDE,
                        verbFlag);
    SetClassesRootValue(keyName, application, KEY_DDE_APPLICATION, verbFlag);
    SetClassesRootValue(keyName, topic, KEY_DDE_TOPIC, verbFlag);
}

// A document type: extension -> ProgID -> description, icon, and an "open"
// verb whose command starts program with /DDE and sends [command("%1")].
static void RegisterDocumentType(const char* extension, const char* progId, const char* program,
                                 const char* description, const char* command, const char* application,
                                 const char* topic, int16_t icon)
{
    SetClassesRootValue(extension, progId, KEY_EXTENSION, 1);
    SetClassesRootValue(progId, description, KEY_PROGID, 1);
    char data[KEY_CAPACITY];
    SetClassesRootValue(progId, Built(program[0] != '\0' && FormatText(data, sizeof data, "\"%s\",%d", program, (int)icon), data),
                        KEY_DEFAULT_ICON, 1);
    RegisterVerb(progId, 1, program, command, application, topic);
}

// A "find" verb on a shell class (Drive, Directory), started through DDE.
static void RegisterFindVerb(const char* classKey, const char* program, const char* command,
                             const char* application, const char* topic)
{
    RegisterVerb(classKey, 0, program, command, application, topic);
}

// The path of row in folder, in a key-sized buffer; empty when it does not
// fit, which makes every value built from it skipped.
static void RowPath(char* out, const char* folder, int row)
{
    JoinPath(out, KEY_CAPACITY, folder, g_payloadTable.rows[row].fileName);
}

void RegisterProduct(HWND)
{
    s_notWritten = 0;
    const char* name = g_productInfo.name;
    const char* program = g_installDirs[DIR_PROGRAM];
    char uninstaller[KEY_CAPACITY], shellExtension[KEY_CAPACITY], mainProgram[KEY_CAPACITY], indexer[KEY_CAPACITY];
    RowPath(uninstaller, g_installDirs[DIR_WINDOWS], ROW_UNINSTALLER);
    RowPath(shellExtension, g_installDirs[DIR_SYSTEM], ROW_SHELL_EXTENSION);
    RowPath(mainProgram, program, ROW_MAIN_PROGRAM);
    RowPath(indexer, program, ROW_INDEXER);
    char text[KEY_CAPACITY];
    StepKey key, subkey;

    // 1. The maker's key: the install path (read back at the next start)
    // and the version.
    if (CreateKey(REGISTRY_HKLM, NOVLA_PROGRAMS_KEY, &key)) {
        SetText(&key, name, program);
        if (CreateSubkey(&key, name, &subkey)) {
            SetText(&subkey, "Version", g_productInfo.version);
            RegCloseKey(subkey.handle);
        }
        RegCloseKey(key.handle);
    }

    // 2. The entry in the list of uninstallable programs.
    if (OpenKey(REGISTRY_HKLM, UNINSTALL_KEY, &key)) {
        if (CreateSubkey(&key, name, &subkey)) {
            SetText(&subkey, "DisplayName", name);
            SetText(&subkey, "DisplayVersion", Built(FormatText(text, sizeof text, "v%s", g_productInfo.version), text));
            SetText(&subkey, "UninstallString", Built(uninstaller[0] != '\0', uninstaller));
            SetText(&subkey, "Program Path", program);
            SetText(&subkey, "Program Group", g_productInfo.programGroup);
            SetText(&subkey, "Publisher", g_productInfo.publisher);
            SetText(&subkey, "HelpLink", g_productInfo.helpLink);
            RegCloseKey(subkey.handle);
        }
        RegCloseKey(key.handle);
    }

    // 3. The COM class of the shell-extension library.
    if (OpenKey(REGISTRY_HKCR, CLSID_KEY, &key)) {
        if (CreateSubkey(&key, SHELL_EXTENSION_GUID, &subkey)) {
            SetText(&subkey, NULL, name);
            RegCloseKey(subkey.handle);
        }
        if (CreateSubkey(&key, SHELL_EXTENSION_GUID "\\InProcServer32", &subkey)) {
            SetText(&subkey, NULL, Built(shellExtension[0] != '\0', shellExtension));
            SetText(&subkey, "ThreadingModel", "Apartment");
            RegCloseKey(subkey.handle);
        }
        RegCloseKey(key.handle);
    }

    // 4. The Explorer find extension: the class, its menu entry and the
    // entry's icon. The subkey path grows in one buffer, so each step runs
    // even when the one before it failed.
    if (OpenKey(REGISTRY_HKLM, FIND_EXTENSIONS_KEY, &key)) {
        char path[KEY_CAPACITY];
        bool fits = JoinPath(path, sizeof path, key.path, name) || NotWritten();
        if (fits)
            SetDefaultValue(REGISTRY_HKLM, path, SHELL_EXTENSION_GUID);
        fits = fits && (AppendText(path, sizeof path, "\\0") || NotWritten());
        if (fits)
            SetDefaultValue(REGISTRY_HKLM, path, "&Tessaronix Search...");
        fits = fits && (AppendText(path, sizeof path, "\\DefaultIcon") || NotWritten());
        if (fits)
            SetDefaultValue(REGISTRY_HKLM, path,
                            Built(shellExtension[0] != '\0' && FormatText(text, sizeof text, "%s,0", shellExtension),
                                  text));
        RegCloseKey(key.handle);
    }

    // 5. "Find" on drives and folders, started through the main program.
    RegisterFindVerb(DRIVE_CLASS, mainProgram, "SearchDrive", "Tessaronix", "Search");
    RegisterFindVerb(DIRECTORY_CLASS, mainProgram, "SearchPath", "Tessaronix", "Search");

    // 6. The two document types.
    RegisterDocumentType(TSX_EXTENSION, TSX_PROGID, mainProgram, "Tessaronix Project File", "OpenProject",
                         "Tessaronix", "Search", 0);
    RegisterDocumentType(CDB_EXTENSION, CDB_PROGID, indexer, "Catalyne Project File", "OpenProject", "Catalyne",
                         "Index", 0);
    g_installShortfall.registryEntries = s_notWritten;
}
