#pragma once
// The product's registry names: every key the registry step of the
// installation run writes, and the reach of each, which the uninstaller
// takes as the limit of what an installation record may make it undo.
// Portable: no Windows header.
//
// Keys are written below HKEY_LOCAL_MACHINE or HKEY_CLASSES_ROOT only;
// "<name>" stands for the product's name.
//
//   HKLM  Software\Novla                  the maker's parent (created when missing)
//         Software\Novla\Programs         the maker's key: value <name> = program folder
//         Software\Novla\Programs\<name>  the version
//         <UNINSTALL_KEY>\<name>          the entry in the list of uninstallable programs
//         <FIND_EXTENSIONS_KEY>\<name>    the Explorer find extension, and below
//   HKCR  CLSID\<SHELL_EXTENSION_GUID>    the shell-extension class, and below
//         Drive, Directory, Drive\shell, Directory\shell
//                                         parents of the find verbs (created when missing:
//                                         a fresh Wine prefix has neither class)
//         Drive\shell\find, Directory\shell\find, and below
//         .n_tsx, n_tsxFile, .n_cdb, n_cdbFile, and below: the two document types
#include <stdint.h>

#define NOVLA_PARENT_KEY "Software\\Novla"
// The maker's key, where the program folder of each product is recorded
// under the product's name.
#define NOVLA_PROGRAMS_KEY NOVLA_PARENT_KEY "\\Programs"
// The key both programs' administrator probe makes and deletes again
// (shell/admin_probe.h).
#define ADMIN_TEST_SUBKEY "NOVLA-TEST"
#define ADMIN_TEST_KEY NOVLA_PROGRAMS_KEY "\\" ADMIN_TEST_SUBKEY
#define UNINSTALL_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
#define FIND_EXTENSIONS_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static"
#define CLSID_KEY "CLSID"
// Class identifier of the shell-extension library.
#define SHELL_EXTENSION_GUID "{5D2E8A41-7C3B-4F19-9A6E-2B8C0D4F1E73}"
// The shell classes that get a "find" verb.
#define DRIVE_CLASS "Drive"
#define DIRECTORY_CLASS "Directory"
// The two document types: extension and ProgID.
#define TSX_EXTENSION ".n_tsx"
#define TSX_PROGID "n_tsxFile"
#define CDB_EXTENSION ".n_cdb"
#define CDB_PROGID "n_cdbFile"

enum RegistryRoot : uint8_t {
    REGISTRY_HKLM = 1,  // HKEY_LOCAL_MACHINE
    REGISTRY_HKCR = 2,  // HKEY_CLASSES_ROOT
};

// How far below a product key the product's own items reach.
enum ProductKeyReach : uint8_t {
    REACH_TREE = 0,           // the key, every key below it and all their values
    REACH_KEY_ONLY = 1,       // the key itself, none of its values: a shared parent
    REACH_PRODUCT_VALUE = 2,  // the key itself and its one value named after the product
};

struct ProductKey {
    uint8_t root;        // RegistryRoot
    uint8_t reach;       // ProductKeyReach
    bool namedSubkey;    // the key is path\<product name>
    const char* path;
};

enum { PRODUCT_KEY_COUNT = 16 };

// Every key of the product, in the order the registry step writes them.
extern const ProductKey kProductKeys[PRODUCT_KEY_COUNT];

// True when key (a path below root, components separated by one backslash)
// is one the product may have created: at or below a REACH_TREE key, or
// exactly a REACH_KEY_ONLY or REACH_PRODUCT_VALUE key. Keys compare
// component by component, ASCII letters without regard to case: "Drive\shellx"
// is not below "Drive\shell". False for an empty key or one with an empty
// component (leading, trailing or doubled backslash).
bool IsProductKey(uint8_t root, const char* key, const char* productName);

// True when the value valueName ("" for the default value) of key is one the
// product may have set: any value of a key at or below a REACH_TREE key, and
// of a REACH_PRODUCT_VALUE key only the value named productName.
bool IsProductValue(uint8_t root, const char* key, const char* valueName, const char* productName);
