#pragma once
// What the shortcut and registry steps must leave behind, shared by the
// in-process shell tests and the end-to-end installation tests: links read
// back through the shell-link object, registry values read raw. Test code.
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "payload/product.h"

namespace expect {

inline std::string SpecialFolder(int csidl)
{
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
    return path;
}

inline bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct Link {
    bool loaded = false;
    std::string target, workingFolder, description;
};

// Reads a link file back through the shell-link object.
inline Link ResolveLink(const std::string& path)
{
    Link link;
    HRESULT com = CoInitialize(nullptr);
    IShellLinkA* shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   (void**)&shellLink))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, (void**)&file))) {
            WCHAR wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
            if (SUCCEEDED(file->Load(wide, STGM_READ))) {
                char text[MAX_PATH] = "";
                link.loaded = true;
                shellLink->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
                link.target = text;
                text[0] = '\0';
                shellLink->GetWorkingDirectory(text, MAX_PATH);
                link.workingFolder = text;
                text[0] = '\0';
                shellLink->GetDescription(text, MAX_PATH);
                link.description = text;
            }
            file->Release();
        }
        shellLink->Release();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return link;
}

struct ExpectedLink {
    const char* name;
    bool inProgramFolder;  // else the Windows folder
    const char* file;
};

// The group links of the file table, in order: one for each row that names
// a shortcut, to its file.
inline std::vector<ExpectedLink> GroupLinks()
{
    std::vector<ExpectedLink> links;
    for (int i = 0; i < g_payloadTable.rowCount; ++i) {
        const PayloadRow& row = g_payloadTable.rows[i];
        if (row.shortcutName[0] != '-')
            links.push_back({row.shortcutName, (row.flags & FOLDER_PROGRAM) != 0, row.fileName});
    }
    return links;
}

inline int CountFiles(const std::string& pattern)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    int count = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do
            count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return count;
}

struct Value {
    HKEY root;
    std::string key;
    const char* name;  // null: the default value
    std::string data;
};

#define EXPECT_UNINSTALL_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaronix"
#define EXPECT_FIND_EXTENSIONS "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static"
#define EXPECT_FIND_EXT EXPECT_FIND_EXTENSIONS "\\Tessaronix"
#define EXPECT_GUID_KEY "CLSID\\{5D2E8A41-7C3B-4F19-9A6E-2B8C0D4F1E73}"

// Every value of the six registry groups for these folders.
inline std::vector<Value> RegistryValues(const std::string& program, const std::string& windows,
                                         const std::string& system, const std::string& helpLink)
{
    const HKEY lm = HKEY_LOCAL_MACHINE, cr = HKEY_CLASSES_ROOT;
    std::string main = program + "\\Tessaronix.exe", indexer = program + "\\Catalyne.exe";
    std::string shellExt = system + "\\TSXCtxMenu.dll";
    return {
        {lm, "Software\\Novla\\Programs", "Tessaronix", program},
        {lm, "Software\\Novla\\Programs\\Tessaronix", "Version", "5.00"},
        {lm, EXPECT_UNINSTALL_KEY, "DisplayName", "Tessaronix"},
        {lm, EXPECT_UNINSTALL_KEY, "DisplayVersion", "v5.00"},
        {lm, EXPECT_UNINSTALL_KEY, "UninstallString", windows + "\\TSXCleanup.exe"},
        {lm, EXPECT_UNINSTALL_KEY, "Program Path", program},
        {lm, EXPECT_UNINSTALL_KEY, "Program Group", "NOVLA\\Tessaronix"},
        {lm, EXPECT_UNINSTALL_KEY, "Publisher", "NOVLA"},
        {lm, EXPECT_UNINSTALL_KEY, "HelpLink", helpLink},
        {cr, EXPECT_GUID_KEY, nullptr, "Tessaronix"},
        {cr, EXPECT_GUID_KEY "\\InProcServer32", nullptr, shellExt},
        {cr, EXPECT_GUID_KEY "\\InProcServer32", "ThreadingModel", "Apartment"},
        {lm, EXPECT_FIND_EXT, nullptr, "{5D2E8A41-7C3B-4F19-9A6E-2B8C0D4F1E73}"},
        {lm, EXPECT_FIND_EXT "\\0", nullptr, "&Tessaronix Search..."},
        {lm, EXPECT_FIND_EXT "\\0\\DefaultIcon", nullptr, shellExt + ",0"},
        {cr, "Drive\\shell\\find\\command", nullptr, "\"" + main + "\" /DDE"},
        {cr, "Drive\\shell\\find\\ddeexec", nullptr, "[SearchDrive(\"%1\")]"},
        {cr, "Drive\\shell\\find\\ddeexec\\application", nullptr, "Tessaronix"},
        {cr, "Drive\\shell\\find\\ddeexec\\topic", nullptr, "Search"},
        {cr, "Directory\\shell\\find\\command", nullptr, "\"" + main + "\" /DDE"},
        {cr, "Directory\\shell\\find\\ddeexec", nullptr, "[SearchPath(\"%1\")]"},
        {cr, "Directory\\shell\\find\\ddeexec\\application", nullptr, "Tessaronix"},
        {cr, "Directory\\shell\\find\\ddeexec\\topic", nullptr, "Search"},
        {cr, ".n_tsx", nullptr, "n_tsxFile"},
        {cr, "n_tsxFile", nullptr, "Tessaronix Project File"},
        {cr, "n_tsxFile\\DefaultIcon", nullptr, "\"" + main + "\",0"},
        {cr, "n_tsxFile\\shell\\open\\command", nullptr, "\"" + main + "\" /DDE"},
        {cr, "n_tsxFile\\shell\\open\\ddeexec", nullptr, "[OpenProject(\"%1\")]"},
        {cr, "n_tsxFile\\shell\\open\\ddeexec\\application", nullptr, "Tessaronix"},
        {cr, "n_tsxFile\\shell\\open\\ddeexec\\topic", nullptr, "Search"},
        {cr, ".n_cdb", nullptr, "n_cdbFile"},
        {cr, "n_cdbFile", nullptr, "Catalyne Project File"},
        {cr, "n_cdbFile\\DefaultIcon", nullptr, "\"" + indexer + "\",0"},
        {cr, "n_cdbFile\\shell\\open\\command", nullptr, "\"" + indexer + "\" /DDE"},
        {cr, "n_cdbFile\\shell\\open\\ddeexec", nullptr, "[OpenProject(\"%1\")]"},
        {cr, "n_cdbFile\\shell\\open\\ddeexec\\application", nullptr, "Catalyne"},
        {cr, "n_cdbFile\\shell\\open\\ddeexec\\topic", nullptr, "Index"},
    };
}

// The raw value: type and bytes; found false when the key or value is missing.
struct RawValue {
    bool found = false;
    DWORD type = 0;
    std::string bytes;
};

inline RawValue ReadValue(HKEY root, const std::string& key, const char* name)
{
    RawValue value;
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return value;
    char data[1024];
    DWORD size = sizeof data;
    if (RegQueryValueExA(handle, name, nullptr, &value.type, (BYTE*)data, &size) == ERROR_SUCCESS) {
        value.found = true;
        value.bytes.assign(data, size);
    }
    RegCloseKey(handle);
    return value;
}

// The text stored with its terminator, as the installer writes REG_SZ.
inline std::string Stored(const std::string& text) { return text + std::string(1, '\0'); }

// Real Windows has the find extensions' key; a fresh Wine prefix may not.
inline void EnsureFindExtensionsKey()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, EXPECT_FIND_EXTENSIONS, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
}

}  // namespace expect
