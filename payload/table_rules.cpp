#include "payload/table_rules.h"

#include "common/path_text.h"
#include "setup/install_dirs.h"

OsClass ClassifyWindowsVersion(uint32_t platformId, uint32_t major, uint32_t minor)
{
    if (platformId != PLATFORM_WIN32_NT)
        return 0;
    if (major == 5)
        return minor == 1 ? 2 : 1;
    if (major == 6 && minor == 0)
        return 3;
    return 1;
}

OsVariantMask VariantMaskFor(OsClass osClass)
{
    return osClass >= 2 ? OS_MODERN : OS_LEGACY;
}

bool EntryApplies(const PayloadEntry* entry, OsVariantMask mask)
{
    return (entry->flags & mask) != 0;
}

const char* EntryFolderOf(const PayloadEntry* entry, const char* const dirs[3])
{
    if (entry->flags & FOLDER_WINDOWS)
        return dirs[1];
    if (entry->flags & FOLDER_SYSTEM)
        return dirs[2];
    return dirs[0];
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

const char* EntryFolder(const PayloadEntry* entry)
{
    const char* const dirs[3] = {g_installDirs[DIR_PROGRAM], g_installDirs[DIR_WINDOWS], g_installDirs[DIR_SYSTEM]};
    return EntryFolderOf(entry, dirs);
}

bool EntryTargetPath(const PayloadEntry* entry, char* out, size_t capacity)
{
    return JoinPath(out, capacity, EntryFolder(entry), entry->fileName);
}
