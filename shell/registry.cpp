// The registry step of the installation run. A key that cannot be opened or
// created is skipped with what belongs below it, and a value that would not
// fit its buffer is skipped, never cut (a cut path would name some other
// file). Nothing stops the step, but every value not written is counted,
// those of a key that could not be had included, so that the run can tell
// the user exactly how many entries are missing (g_installShortfall).
//
// Every key is known by its root and its whole path, so that what the step
// does can be recorded before it is done (record/install_record.h): each
// key level it creates, and each value it sets with the value it replaces.
// What cannot be recorded is not done, and counts as not written.
#include <string.h>

#include "common/check.h"
#include "common/path_text.h"
#include "common/path_walk.h"
#include "common/session.h"
#include "payload/install_run.h"
#include "payload/product.h"
#include "record/record_file.h"
#include "record/registry_names.h"
#include "record/registry_root.h"
#include "shell/shell.h"

// What became of a key of this step.
enum StepKeyState : uint8_t {
    KEY_OPEN,    // handle is open
    KEY_FAILED,  // it could not be had: each value for it counts as not written
    KEY_ABSENT,  // a key that must exist is not there: its group does not apply
};

// A key of this step: its handle, and where it is.
struct StepKey {
    HKEY handle;
    uint8_t root;   // RegistryRoot
    uint8_t state;  // StepKeyState
    char path[KEY_CAPACITY];
};

// Values of this step not written so far.
static uint16_t s_notWritten;

static void NotWritten() { ++s_notWritten; }

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
        LONG result = RegOpenKeyExA(RootKeyOf(root), level, 0, KEY_READ, &key);
        if (result == ERROR_SUCCESS) {
            RegCloseKey(key);
            break;
        }
        if (result != ERROR_FILE_NOT_FOUND)
            return false;
        char* cut = (char*)LastSeparator(level);
        existing = cut != NULL ? (size_t)(cut - level) : 0;
        if (cut == NULL)
            break;
        *cut = '\0';
    }
    NOVLA_ASSERT(existing <= strlen(path));
    if (path[existing] == '\0')
        return true;
    RecordEntry entry = KeyEntry(root, level);
    for (const char* p = NextChar(path + existing);; p = NextChar(p)) {
        if (*p != '\\' && *p != '\0')
            continue;
        size_t end = (size_t)(p - path);
        memcpy(level, path, end);
        level[end] = '\0';
        if (!AppendInstallRecord(&entry))
            return false;
        if (*p == '\0')
            return true;
    }
}

// Creates the key path below root, with every missing parent.
static void CreateKey(uint8_t root, const char* path, StepKey* key)
{
    key->root = root;
    bool made = CopyText(key->path, sizeof key->path, path) && RecordMissingKeys(root, path) &&
                RegCreateKeyExA(RootKeyOf(root), path, 0, (LPSTR) "", REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL,
                                &key->handle, NULL) == ERROR_SUCCESS;
    key->state = made ? KEY_OPEN : KEY_FAILED;
}

// Creates the subkey name of parent; a parent that could not be had, or
// does not apply, passes that on.
static void CreateSubkey(const StepKey* parent, const char* name, StepKey* key)
{
    char path[KEY_CAPACITY];
    key->root = parent->root;
    key->state = parent->state == KEY_OPEN ? (uint8_t)KEY_FAILED : parent->state;
    if (parent->state == KEY_OPEN && JoinPath(path, sizeof path, parent->path, name))
        CreateKey(parent->root, path, key);
}

// Opens a key that must exist. A key that is not there is the system's way
// of saying that the group does not apply (a system without the find
// extensions, say): only another failure counts its values as not written.
static void OpenKey(uint8_t root, const char* path, StepKey* key)
{
    key->root = root;
    CopyText(key->path, sizeof key->path, path);
    LONG result = RegOpenKeyExA(RootKeyOf(root), path, 0, KEY_ALL_ACCESS, &key->handle);
    key->state = result == ERROR_SUCCESS ? KEY_OPEN : result == ERROR_FILE_NOT_FOUND ? KEY_ABSENT : KEY_FAILED;
}

static void CloseKey(const StepKey* key)
{
    if (key->state == KEY_OPEN)
        RegCloseKey(key->handle);
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
    RecordEntry entry = ValueEntry(key->root, key->path, name != NULL ? name : "");
    if (result == ERROR_SUCCESS) {
        entry.existed = true;
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
    if (key->state == KEY_ABSENT)
        return;
    if (key->state != KEY_OPEN || data == NULL || !RecordValue(key, name) ||
        RegSetValueExA(key->handle, name, 0, REG_SZ, (const BYTE*)data, (DWORD)(strlen(data) + 1)) !=
            ERROR_SUCCESS)
        NotWritten();
}

// A key's default value, the key created (with its parents). A null path
// is a key whose path could not be built.
static void SetDefaultValue(uint8_t root, const char* path, const char* data)
{
    StepKey key;
    key.state = KEY_FAILED;
    if (path != NULL && data != NULL)
        CreateKey(root, path, &key);
    SetText(&key, NULL, data);
    CloseKey(&key);
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
    SetDefaultValue(REGISTRY_HKCR, Built(ClassesRootKeyPath(path, sizeof path, keyName, kind, verbFlag), path), data);
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

// 1. The maker's key: the install path (read back at the next start) and
// the version.
static void RegisterInstallPath(const char* name, const char* program)
{
    StepKey key, subkey;
    CreateKey(REGISTRY_HKLM, NOVLA_PROGRAMS_KEY, &key);
    SetText(&key, name, program);
    CreateSubkey(&key, name, &subkey);
    SetText(&subkey, "Version", g_productInfo.version);
    CloseKey(&subkey);
    CloseKey(&key);
}

// 2. The entry in the list of uninstallable programs.
static void RegisterUninstallEntry(const char* name, const char* program, const char* uninstaller)
{
    StepKey key, subkey;
    char text[KEY_CAPACITY];
    OpenKey(REGISTRY_HKLM, UNINSTALL_KEY, &key);
    CreateSubkey(&key, name, &subkey);
    SetText(&subkey, "DisplayName", name);
    SetText(&subkey, "DisplayVersion", Built(FormatText(text, sizeof text, "v%s", g_productInfo.version), text));
    SetText(&subkey, "UninstallString", Built(uninstaller[0] != '\0', uninstaller));
    SetText(&subkey, "Program Path", program);
    SetText(&subkey, "Program Group", g_productInfo.programGroup);
    SetText(&subkey, "Publisher", g_productInfo.publisher);
    SetText(&subkey, "HelpLink", g_productInfo.helpLink);
    CloseKey(&subkey);
    CloseKey(&key);
}

// 3. The COM class of the shell-extension library, and 4. the Explorer
// find extension: the class, its menu entry and the entry's icon. The find
// extension's subkey path grows in one buffer: a level that does not fit
// leaves it and the ones below it unwritten.
static void RegisterShellExtension(const char* name, const char* shellExtension)
{
    StepKey key, subkey;
    OpenKey(REGISTRY_HKCR, CLSID_KEY, &key);
    CreateSubkey(&key, SHELL_EXTENSION_GUID, &subkey);
    SetText(&subkey, NULL, name);
    CloseKey(&subkey);
    CreateSubkey(&key, SHELL_EXTENSION_GUID "\\InProcServer32", &subkey);
    SetText(&subkey, NULL, Built(shellExtension[0] != '\0', shellExtension));
    SetText(&subkey, "ThreadingModel", "Apartment");
    CloseKey(&subkey);
    CloseKey(&key);

    OpenKey(REGISTRY_HKLM, FIND_EXTENSIONS_KEY, &key);
    if (key.state != KEY_ABSENT) {
        char path[KEY_CAPACITY], text[KEY_CAPACITY];
        bool fits = key.state == KEY_OPEN && JoinPath(path, sizeof path, key.path, name);
        SetDefaultValue(REGISTRY_HKLM, Built(fits, path), SHELL_EXTENSION_GUID);
        fits = fits && AppendText(path, sizeof path, "\\0");
        SetDefaultValue(REGISTRY_HKLM, Built(fits, path), "&Tessaronix Search...");
        fits = fits && AppendText(path, sizeof path, "\\DefaultIcon");
        SetDefaultValue(REGISTRY_HKLM, Built(fits, path),
                        Built(shellExtension[0] != '\0' && FormatText(text, sizeof text, "%s,0", shellExtension), text));
    }
    CloseKey(&key);
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

    RegisterInstallPath(name, program);
    RegisterUninstallEntry(name, program, uninstaller);
    RegisterShellExtension(name, shellExtension);
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
