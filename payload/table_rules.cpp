#include "payload/table_rules.h"

#include "common/install_dirs.h"
#include "common/path_text.h"

OsVariantMask VariantMaskFor(OsClass osClass)
{
    return osClass >= OS_CLASS_XP ? OS_MODERN : OS_LEGACY;
}

bool RowApplies(const PayloadRow* entry, OsVariantMask mask)
{
    return (entry->flags & mask) != 0;
}

const char* RowFolder(const PayloadRow* entry)
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
    for (uint16_t i = 0; i < table->rowCount && i < PAYLOAD_ROW_CAPACITY; ++i) {
        if (RowApplies(&table->rows[i], mask))
            sum += table->rows[i].fileSize;
    }
    return sum;
}

bool IsNoShortcut(const char* shortcutName)
{
    return shortcutName[0] == '-';
}

bool RowTargetPath(const PayloadRow* entry, char* out, size_t capacity)
{
    return JoinPath(out, capacity, RowFolder(entry), entry->fileName);
}
