// The product's registry names and the reach of each.
#include "record/registry_names.h"

#include <stddef.h>

#include "common/path_walk.h"

const ProductKey kProductKeys[PRODUCT_KEY_COUNT] = {
    {REGISTRY_HKLM, REACH_KEY_ONLY, false, NOVLA_PARENT_KEY},
    {REGISTRY_HKLM, REACH_PRODUCT_VALUE, false, NOVLA_PROGRAMS_KEY},
    {REGISTRY_HKLM, REACH_TREE, true, NOVLA_PROGRAMS_KEY},
    {REGISTRY_HKLM, REACH_TREE, true, UNINSTALL_KEY},
    {REGISTRY_HKCR, REACH_TREE, false, CLSID_KEY "\\" SHELL_EXTENSION_GUID},
    {REGISTRY_HKLM, REACH_TREE, true, FIND_EXTENSIONS_KEY},
    {REGISTRY_HKCR, REACH_KEY_ONLY, false, DRIVE_CLASS},
    {REGISTRY_HKCR, REACH_KEY_ONLY, false, DRIVE_CLASS "\\shell"},
    {REGISTRY_HKCR, REACH_TREE, false, DRIVE_CLASS "\\shell\\find"},
    {REGISTRY_HKCR, REACH_KEY_ONLY, false, DIRECTORY_CLASS},
    {REGISTRY_HKCR, REACH_KEY_ONLY, false, DIRECTORY_CLASS "\\shell"},
    {REGISTRY_HKCR, REACH_TREE, false, DIRECTORY_CLASS "\\shell\\find"},
    {REGISTRY_HKCR, REACH_TREE, false, TSX_EXTENSION},
    {REGISTRY_HKCR, REACH_TREE, false, TSX_PROGID},
    {REGISTRY_HKCR, REACH_TREE, false, CDB_EXTENSION},
    {REGISTRY_HKCR, REACH_TREE, false, CDB_PROGID},
};

// True when key has no empty component: not empty, no backslash at either
// end, none doubled.
static bool IsCleanKey(const char* key)
{
    if (key[0] == '\0' || key[0] == '\\')
        return false;
    for (const char* c = key; *c != '\0'; ++c)
        if (*c == '\\' && (c[1] == '\\' || c[1] == '\0'))
            return false;
    return true;
}

// True when the product may have made key (valueName null) or set its value
// valueName.
static bool IsProductItem(uint8_t root, const char* key, const char* valueName, const char* productName)
{
    if (!IsCleanKey(key))
        return false;
    for (const ProductKey& product : kProductKeys) {
        if (product.root != root)
            continue;
        const char* rest = PathBelowFolder(key, product.path);
        if (rest != NULL && product.namedSubkey)
            rest = PathBelowFolder(rest, productName);
        if (rest == NULL)
            continue;
        if (product.reach == REACH_TREE)
            return true;
        // The other reaches cover the key itself, nothing below it.
        if (rest[0] != '\0')
            continue;
        if (valueName == NULL)
            return true;
        if (product.reach == REACH_PRODUCT_VALUE && productName[0] != '\0' && SameTextNoCase(valueName, productName))
            return true;
    }
    return false;
}

bool IsProductKey(uint8_t root, const char* key, const char* productName)
{
    return IsProductItem(root, key, NULL, productName);
}

bool IsProductValue(uint8_t root, const char* key, const char* valueName, const char* productName)
{
    return IsProductItem(root, key, valueName, productName);
}
