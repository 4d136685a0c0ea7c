#pragma once
// The product record and the file table compiled into the installer.
// Portable: no Windows header, so the packer and the unit tests share it.
//
// Layout map (byte offsets; every text field is NUL-padded to its width, so
// it holds at most width - 1 characters):
//
//   ProductInfo (132 bytes)
//     0 name[20]  20 version[6]  26 programGroup[40]  66 publisher[10]
//    76 helpLink[40]  116 fileTime (eight u16, as a SYSTEMTIME)
//
//   PayloadRow (72 bytes)
//     0 fileName[20]  20 flags (u16)  22 resourceName[20]
//    42 shortcutName[22]  64 fileSize (u32)  68 storedSize (u32)
//
//   PayloadTable: PAYLOAD_ROW_CAPACITY rows, then rowCount and
//   shortcutCount (u16 each). Rows at and beyond rowCount are zero.
#include <stddef.h>
#include <stdint.h>

enum PayloadFlags : uint16_t {
    FOLDER_PROGRAM = 0x0001,  // the program folder, g_installDirs[DIR_PROGRAM]
    FOLDER_WINDOWS = 0x0002,  // the Windows folder, g_installDirs[DIR_WINDOWS]
    FOLDER_SYSTEM = 0x0004,   // the System folder, g_installDirs[DIR_SYSTEM]
    OS_LEGACY = 0x0100,       // Windows 9x, NT 4 and 2000
    OS_MODERN = 0x0200,       // Windows XP (NT 5.1) and every later NT
};

// The fields of the platform's SYSTEMTIME, in its order.
struct FileTimeFields {
    uint16_t year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};

struct ProductInfo {
    char name[20];
    char version[6];
    char programGroup[40];
    char publisher[10];
    char helpLink[40];
    FileTimeFields fileTime;
};

struct PayloadRow {
    char fileName[20];
    uint16_t flags;
    char resourceName[20];
    char shortcutName[22];  // "-" (first character) for none
    uint32_t fileSize;      // installed (expanded) size
    uint32_t storedSize;    // LZHUF stream size; 0 = stored raw, fileSize bytes
};

enum { PAYLOAD_ROW_CAPACITY = 13 };

struct PayloadTable {
    PayloadRow rows[PAYLOAD_ROW_CAPACITY];
    uint16_t rowCount;
    uint16_t shortcutCount;
};

static_assert(sizeof(FileTimeFields) == 16, "SYSTEMTIME layout");
static_assert(offsetof(ProductInfo, version) == 20, "ProductInfo layout");
static_assert(offsetof(ProductInfo, programGroup) == 26, "ProductInfo layout");
static_assert(offsetof(ProductInfo, publisher) == 66, "ProductInfo layout");
static_assert(offsetof(ProductInfo, helpLink) == 76, "ProductInfo layout");
static_assert(offsetof(ProductInfo, fileTime) == 116, "ProductInfo layout");
static_assert(sizeof(ProductInfo) == 132, "ProductInfo layout");
static_assert(offsetof(PayloadRow, flags) == 20, "PayloadRow layout");
static_assert(offsetof(PayloadRow, resourceName) == 22, "PayloadRow layout");
static_assert(offsetof(PayloadRow, shortcutName) == 42, "PayloadRow layout");
static_assert(offsetof(PayloadRow, fileSize) == 64, "PayloadRow layout");
static_assert(offsetof(PayloadRow, storedSize) == 68, "PayloadRow layout");
static_assert(sizeof(PayloadRow) == 72, "PayloadRow layout");
static_assert(offsetof(PayloadTable, rowCount) == 72 * PAYLOAD_ROW_CAPACITY, "PayloadTable layout");

// The records of the product this installer is built with.
extern const ProductInfo g_productInfo;
extern const PayloadTable g_payloadTable;

// The RCDATA resource that holds two CRC-32 (common/crc32.h) for every row,
// in the order of the rows, little-endian u32 each: that of the row's
// resource bytes as stored, then that of the file as installed. Kept apart
// from the file table, whose layout stays.
#define PAYLOAD_CHECKSUMS_NAME "CHECKSUMS"

// Rows that other parts of the installer name by position.
enum NamedRow {
    ROW_UNINSTALLER = 0,     // in the Windows folder
    ROW_MAIN_PROGRAM = 2,    // in the program folder
    ROW_INDEXER = 5,         // in the program folder
    ROW_SHELL_EXTENSION = 12 // in the System folder
};
