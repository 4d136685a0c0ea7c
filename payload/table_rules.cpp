#include "payload/table_rules.h"

#include "common/path_text.h"
#include "common/install_dirs.h"

OsVariantMask VariantMaskFor(OsClass osClass)
{
    return osClass >= OS_CLASS_XP ? OS_MODERN : OS_LEGACY;
}

bool EntryApplies(const PayloadEntry* entry, OsVariantMask mask)
{
    return (entry->flags & mask) != 0;
}

const char* EntryFolder(const PayloadEntry* entry)
{
    if (entry->flags & FOLDER_WINDOWS)
        return g_installDirs[DIR_WINDOWS];
    if (entry->flags & FOLDER_SYSTEM)
        return g_installDirs[DIR_SYSTEM];
    return g_installDirs[DIR_PROGRAM];
}

uint32_t RequiredSpaceFor(const PayloadTable* table, OsVariantMask mask)
{
    uint32_t sum = 0;
    for (uint16_t i = 0; i < table->entryCount && i < PAYLOAD_ROW_CAPACITY; ++i) {
        if (EntryApplies(&table->rows[i], mask))
            sum += table->rows[i].fileSize;
    }
    return sum;
}

bool IsNoShortcut(const char* shortcutName)
{
    return shortcutName[0] == '-';
}

bool EntryTargetPath(const PayloadEntry* entry, char* out, size_t capacity)
{
    return JoinPath(out, capacity, EntryFolder(entry), entry->fileName);
}
