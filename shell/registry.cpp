// The registry step of the installation run. Every failure is silent: a key
// that cannot be opened or created is skipped with what belongs below it,
// and a value that would not fit its buffer is skipped, never cut (a cut
// path would name some other file).
#include <string.h>

#include "common/path_text.h"
#include "payload/product.h"
#include "setup/session.h"
#include "shell/registry_names.h"
#include "shell/shell.h"

static bool CreateKey(HKEY parent, const char* path, HKEY* key)
{
    return RegCreateKeyExA(parent, path, 0, (LPSTR) "", REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, key, NULL) ==
           ERROR_SUCCESS;
}

static bool OpenKey(HKEY parent, const char* path, HKEY* key)
{
    return RegOpenKeyExA(parent, path, 0, KEY_ALL_ACCESS, key) == ERROR_SUCCESS;
}

// A REG_SZ value stored with its terminator. name null: the default value.
static void SetText(HKEY key, const char* name, const char* data)
{
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)data, (DWORD)(strlen(data) + 1));
}

// A key's default value, the key created (with its parents) below parent.
static void SetDefaultValue(HKEY parent, const char* path, const char* data)
{
    HKEY key;
    if (!CreateKey(parent, path, &key))
        return;
    SetText(key, NULL, data);
    RegCloseKey(key);
}

void SetClassesRootValue(const char* keyName, const char* data, int16_t kind, int verbFlag)
{
    char path[KEY_CAPACITY];
    if (!ClassesRootKeyPath(path, sizeof path, keyName, kind, verbFlag))
        return;
    SetDefaultValue(HKEY_CLASSES_ROOT, path, data);
}

// The command and DDE keys of one verb (kinds 4 to 7). The command, which
// holds the program path, is skipped when the program has no path or the
// quoted path does not fit.
static void RegisterVerb(const char* keyName, int verbFlag, const char* program, const char* command,
                         const char* application, const char* topic)
{
    char data[KEY_CAPACITY];
    if (program[0] != '\0' && FormatText(data, sizeof data, "\"%s\" /DDE", program))
        SetClassesRootValue(keyName, data, KEY_COMMAND, verbFlag);
    if (FormatText(data, sizeof data, "[%s(\"%%1\")]", command))
        SetClassesRootValue(keyName, data, KEY_DDE, verbFlag);
    SetClassesRootValue(keyName, application, KEY_DDE_APPLICATION, verbFlag);
    SetClassesRootValue(keyName, topic, KEY_DDE_TOPIC, verbFlag);
}

// A document type: extension -> ProgID -> description, icon, and an "open"
// verb whose command starts program with /DDE and sends [command("%1")].
static void RegisterDocumentType(const char* extension, const char* progId, const char* program, const char* description,
                          const char* command, const char* application, const char* topic, int16_t icon)
{
    SetClassesRootValue(extension, progId, KEY_EXTENSION, 1);
    SetClassesRootValue(progId, description, KEY_PROGID, 1);
    char data[KEY_CAPACITY];
    if (program[0] != '\0' && FormatText(data, sizeof data, "\"%s\",%d", program, (int)icon))
        SetClassesRootValue(progId, data, KEY_DEFAULT_ICON, 1);
    RegisterVerb(progId, 1, program, command, application, topic);
}

// A "find" verb on a shell class (Drive, Directory), started through DDE.
static void RegisterFindVerb(const char* classKey, const char* program, const char* command, const char* application,
                      const char* topic)
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
    const char* name = g_productInfo.name;
    const char* program = g_installDirs[DIR_PROGRAM];
    char uninstaller[KEY_CAPACITY], shellExtension[KEY_CAPACITY], mainProgram[KEY_CAPACITY], indexer[KEY_CAPACITY];
    RowPath(uninstaller, g_installDirs[DIR_WINDOWS], ROW_UNINSTALLER);
    RowPath(shellExtension, g_installDirs[DIR_SYSTEM], ROW_SHELL_EXTENSION);
    RowPath(mainProgram, program, ROW_MAIN_PROGRAM);
    RowPath(indexer, program, ROW_INDEXER);
    char text[KEY_CAPACITY];
    HKEY key, subkey;

    // 1. The maker's key: the install path (read back at the next start)
    // and the version.
    if (CreateKey(HKEY_LOCAL_MACHINE, NOVLA_PROGRAMS_KEY, &key)) {
        SetText(key, name, program);
        if (CreateKey(key, name, &subkey)) {
            SetText(subkey, "Version", g_productInfo.version);
            RegCloseKey(subkey);
        }
        RegCloseKey(key);
    }

    // 2. The entry in the list of uninstallable programs.
    if (OpenKey(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, &key)) {
        if (CreateKey(key, name, &subkey)) {
            SetText(subkey, "DisplayName", name);
            if (FormatText(text, sizeof text, "v%s", g_productInfo.version))
                SetText(subkey, "DisplayVersion", text);
            if (uninstaller[0] != '\0')
                SetText(subkey, "UninstallString", uninstaller);
            SetText(subkey, "Program Path", program);
            SetText(subkey, "Program Group", g_productInfo.programGroup);
            SetText(subkey, "Publisher", g_productInfo.publisher);
            SetText(subkey, "HelpLink", g_productInfo.helpLink);
            RegCloseKey(subkey);
        }
        RegCloseKey(key);
    }

    // 3. The COM class of the shell-extension library.
    if (OpenKey(HKEY_CLASSES_ROOT, CLSID_KEY, &key)) {
        SetDefaultValue(key, SHELL_EXTENSION_GUID, name);
        if (CreateKey(key, SHELL_EXTENSION_GUID "\\InProcServer32", &subkey)) {
            if (shellExtension[0] != '\0')
                SetText(subkey, NULL, shellExtension);
            SetText(subkey, "ThreadingModel", "Apartment");
            RegCloseKey(subkey);
        }
        RegCloseKey(key);
    }

    // 4. The Explorer find extension: the class, its menu entry and the
    // entry's icon. The subkey path grows in one buffer, so each step runs
    // even when the one before it failed.
    if (OpenKey(HKEY_LOCAL_MACHINE, FIND_EXTENSIONS_KEY, &key)) {
        char path[KEY_CAPACITY];
        bool fits = CopyText(path, sizeof path, name);
        if (fits)
            SetDefaultValue(key, path, SHELL_EXTENSION_GUID);
        fits = fits && AppendText(path, sizeof path, "\\0");
        if (fits)
            SetDefaultValue(key, path, "&Tessaronix Search...");
        fits = fits && AppendText(path, sizeof path, "\\DefaultIcon");
        if (fits && shellExtension[0] != '\0' && FormatText(text, sizeof text, "%s,0", shellExtension))
            SetDefaultValue(key, path, text);
        RegCloseKey(key);
    }

    // 5. "Find" on drives and folders, started through the main program.
    RegisterFindVerb(DRIVE_CLASS, mainProgram, "SearchDrive", "Tessaronix", "Search");
    RegisterFindVerb(DIRECTORY_CLASS, mainProgram, "SearchPath", "Tessaronix", "Search");

    // 6. The two document types.
    RegisterDocumentType(TSX_EXTENSION, TSX_PROGID, mainProgram, "Tessaronix Project File", "OpenProject",
                         "Tessaronix", "Search", 0);
    RegisterDocumentType(CDB_EXTENSION, CDB_PROGID, indexer, "Catalyne Project File", "OpenProject", "Catalyne",
                         "Index", 0);
}
