#pragma once
// The installation record: what an installation run did, written as it goes,
// so that the uninstaller can undo exactly that and nothing else. Portable:
// no Windows header, no heap; the installer and the uninstaller share it.
//
// Where: a text file in the Windows folder named "<product name> Install.log"
// (C:\Windows\Tessaronix Install.log). Outside the program folder, so it
// survives that folder being deleted by hand; plain text, so Notepad or
// `type` shows it.
//
// When: the installer appends the line of an action BEFORE doing the action
// and flushes it (write-ahead). A run that is aborted, fails or is killed
// leaves a record of everything it did, plus at most the one action in
// flight, which the uninstaller finds not done and passes over. An action
// whose line cannot be written is not done. A second installation appends
// to the same record; the uninstaller keeps the oldest entry of each item,
// which holds its state from before the first installation.
//
// Format: lines of text ended by CR LF; fields separated by one TAB; no
// field holds a TAB, CR or LF (the writer refuses such a field, the reader
// such a line). Paths and names are in the system's ANSI code page, as
// Windows gives them, and are walked by character (common/path_walk.h);
// everything else is ASCII. The first line is exactly
// kRecordHeader. Then one entry per line, its first field one letter:
//
//   I <users> <folder>       an installation run began; users 1 when the
//                            shortcuts are for all users, 0 for this user;
//                            folder the program folder it installs to, as
//                            committed (it may end in a backslash)
//   C <code page>            the ANSI code page the run's paths are written
//                            in (decimal, 1 to 65535, no leading zero); right
//                            after the run's I line. A record without one was
//                            written in the code page of the system reading it
//   D <path>                 a folder about to be created (it did not exist);
//                            no trailing backslash
//   F <existed> <path>       a file about to be written; existed 1 when a
//                            file was already at that path
//   L <existed> <path>       a shortcut file about to be written
//   K <root> <key>           a registry key about to be created (it did not
//                            exist); root HKLM or HKCR
//   V <root> <key> <name> <type> <data>
//                            a registry value about to be set; name empty for
//                            the key's default value; type "-" when the value
//                            did not exist (data then empty), else the previous
//                            value's registry type in decimal (no leading
//                            zero) and its previous data as upper-case hex
//                            digits, two per byte (empty data allowed)
//   M <aside> <path> <backup>
//                            what stood at path is about to be moved aside to
//                            backup, on the same volume, by renaming; backup
//                            is always path followed by kAsideSuffix. path is
//                            a file the run replaces, or a program folder
//                            (without a trailing backslash) whose files, at
//                            every depth, go below backup under the same
//                            names. aside 1: written before the move; until
//                            the run has finished, what is at backup is to
//                            be put back. aside 0: written when the run has
//                            finished, before the backup is removed; what is
//                            left at backup then goes
//
// Limits: paths of at most RECORD_PATH_LENGTH characters, keys of at most
// RECORD_KEY_LENGTH, value names of at most RECORD_NAME_LENGTH, previous
// data of at most RECORD_DATA_CAPACITY bytes: a value whose previous data is
// larger cannot be recorded, and the installer leaves that value alone.
//
// The uninstaller reads at most RECORD_FILE_CAPACITY bytes of the record and
// at most RECORD_ENTRY_CAPACITY entries; what lies beyond is not undone.
// Paths read under another code page would name other places, so the
// uninstaller refuses a record with a run of another code page (a C line
// that is not its own) and changes nothing.
// It undoes an item only when it lies within what this product installs
// (IsEntryInScope), so a damaged or hostile record can at worst name the
// product's own files, folders and keys. A K entry's key, and a D entry's
// folder, must be removed only when empty: the scope admits shared parents
// (Drive\shell, the program folder's parents) that others may fill later.
#include <stddef.h>
#include <stdint.h>

#include "common/path_text.h"
#include "record/product_names.h"
#include "record/registry_names.h"

enum {
    RECORD_PATH_LENGTH = PATH_CAPACITY - 1,  // 259
    RECORD_KEY_LENGTH = 259,
    RECORD_NAME_LENGTH = KEY_CAPACITY - 1,   // 255
    RECORD_DATA_CAPACITY = 1024,
    // The longest line, a V line, with its CR LF and a terminator: kind,
    // root, key, name, a 10-digit type and the data as hex, five TABs.
    RECORD_LINE_CAPACITY = 1 + 4 + RECORD_KEY_LENGTH + RECORD_NAME_LENGTH + 10 + 2 * RECORD_DATA_CAPACITY + 5 + 2 + 1,
    RECORD_FILE_CAPACITY = 256 * 1024,
    RECORD_ENTRY_CAPACITY = 4096,
    // Decoded data takes half the bytes of its hex digits, so the data of a
    // whole record always fits.
    RECORD_ARENA_CAPACITY = RECORD_FILE_CAPACITY / 2,
    // Distinct program folders of a record that PlanUndo accepts (one per
    // installation into a new folder); the entries of any beyond are refused.
    RECORD_FOLDER_CAPACITY = 16,
};

enum RecordKind : char {
    RECORD_RUN = 'I',
    RECORD_CODE_PAGE = 'C',
    RECORD_FOLDER = 'D',
    RECORD_FILE = 'F',
    RECORD_LINK = 'L',
    RECORD_KEY = 'K',
    RECORD_VALUE = 'V',
    RECORD_MOVE = 'M',
};

struct RecordEntry {
    char kind;              // RecordKind
    bool existed;           // F, L: a file was already there; V: the value existed (type and data hold it)
    uint8_t root;           // K, V: RegistryRoot
    const char* path;       // I: program folder; D, F, L: the path; K, V: the key
    const char* valueName;  // V ("" = the default value)
    uint32_t type;          // V that existed: its registry type
    const uint8_t* data;    // V that existed: its data (may be null when dataSize is 0)
    uint32_t dataSize;
    bool allUsers;          // I: the shortcuts are for all users
    uint16_t codePage;      // C
    const char* backup;     // M: where path's contents are moved aside to; existed: still to be put back
};

// The entries a run writes, each made whole in one place; every field an
// entry's kind does not use is zero.
inline RecordEntry MakeEntry(char kind, const char* path, bool existed = false, uint8_t root = 0)
{
    RecordEntry e = {};
    e.kind = kind;
    e.path = path;
    e.existed = existed;
    e.root = root;
    return e;
}
inline RecordEntry RunEntry(const char* programFolder, bool allUsers)
{
    RecordEntry e = MakeEntry(RECORD_RUN, programFolder);
    e.allUsers = allUsers;
    return e;
}
inline RecordEntry CodePageEntry(uint16_t codePage)
{
    RecordEntry e = MakeEntry(RECORD_CODE_PAGE, NULL);
    e.codePage = codePage;
    return e;
}
inline RecordEntry FolderEntry(const char* path) { return MakeEntry(RECORD_FOLDER, path); }
inline RecordEntry FileEntry(const char* path, bool existed) { return MakeEntry(RECORD_FILE, path, existed); }
inline RecordEntry LinkEntry(const char* path, bool existed) { return MakeEntry(RECORD_LINK, path, existed); }
inline RecordEntry KeyEntry(uint8_t root, const char* key) { return MakeEntry(RECORD_KEY, key, false, root); }
// A value about to be set that did not exist; one that did gets its type
// and data from the caller, and existed.
inline RecordEntry ValueEntry(uint8_t root, const char* key, const char* name)
{
    RecordEntry e = MakeEntry(RECORD_VALUE, key, false, root);
    e.valueName = name;
    return e;
}

// What follows a path to name where its contents are moved aside to while a
// run replaces them (M lines).
inline constexpr char kAsideSuffix[] = ".previous";
// path followed by kAsideSuffix into out: where path's contents are moved
// aside to. False (out empty or cut) when path is empty, ends in a
// backslash, or the result does not fit capacity.
bool AsidePath(char* out, size_t capacity, const char* path);
// An M entry: path moved aside to backup; aside (existed) until the run has
// finished.
inline RecordEntry MoveEntry(const char* path, const char* backup, bool aside)
{
    RecordEntry e = MakeEntry(RECORD_MOVE, path, aside);
    e.backup = backup;
    return e;
}

// The first line of every record, with its CR LF, and its length.
inline constexpr char kRecordHeader[] = "NOVLA Setup installation record 1\r\n";
enum : size_t { RECORD_HEADER_LENGTH = sizeof kRecordHeader - 1 };
// True when text[0..size) begins with the whole kRecordHeader.
bool StartsWithRecordHeader(const char* text, size_t size);

// The record's path: "<productName> Install.log" in windowsFolder. False
// (out empty) when it does not fit or windowsFolder is empty.
bool RecordPath(char* out, size_t capacity, const char* windowsFolder, const char* productName);

// One entry as a line with its CR LF. For a V entry that did not exist,
// type and data are not written. False (out empty) when the kind, a flag or
// the root is unknown, a field is null, empty where it must not be, longer
// than its limit or holds TAB, CR or LF, the data is larger than
// RECORD_DATA_CAPACITY, or the line does not fit capacity
// (RECORD_LINE_CAPACITY always does).
bool FormatRecordLine(char* out, size_t capacity, const RecordEntry* entry);

// Parses one line, given without its CR LF, in place: its fields are cut
// with NULs inside line and entry points at them; a V entry's data is
// decoded into dataOut. False (entry zeroed) for any line FormatRecordLine
// could not have written, and when the data does not fit dataCapacity.
bool ParseRecordLine(char* line, RecordEntry* entry, uint8_t* dataOut, size_t dataCapacity);

// A whole record as parsed. Its entries point into the record's text and
// into data: the text must outlive the view. Large (about 230 KB): the
// uninstaller keeps one in static data.
struct RecordView {
    unsigned entryCount;
    unsigned malformedCount;  // complete lines refused as malformed (skipped)
    unsigned unreadCount;     // complete lines beyond RECORD_ENTRY_CAPACITY (skipped)
    bool cutLine;             // the record ends in a line without its CR LF (ignored)
    size_t dataUsed;          // bytes of data in use
    RecordEntry entries[RECORD_ENTRY_CAPACITY];
    uint8_t data[RECORD_ARENA_CAPACITY];
};

// The code page of the first run in view whose C line names another code
// page than codePage; 0 when every run's is codePage (or names none).
unsigned ForeignCodePage(const RecordView* view, unsigned codePage);

// Parses a whole record held in text[0..size), modifying it in place. Only
// the first RECORD_FILE_CAPACITY bytes are read. False (no entries) when
// the text does not begin with kRecordHeader: the record is damaged and
// nothing may be undone. A final line without its CR LF was cut off while
// being written and is ignored; a malformed line is counted and skipped,
// never guessed at.
bool ParseRecord(char* text, size_t size, RecordView* view);

// What the uninstaller knows without the record. Folders without a trailing
// backslash (one is ignored); "" when unknown, which makes nothing below
// them in scope.
struct UndoScope {
    const char* windowsFolder;
    const char* systemFolder;
    const char* programsFolders[2];  // this user's and all users' Start-menu Programs folders
    const char* desktopFolders[2];   // this user's and all users' desktop folders
    const ProductNames* product;     // its name, program group, file and link names
};

// True when folder may be a program folder the installer recorded: drive
// rooted (a letter, ":\"), not a drive root, at most RECORD_PATH_LENGTH
// characters, one trailing backslash allowed (and ignored), no empty
// component, no component that is "." or ".." or ends in a dot or a space
// (Windows drops those), no character below 0x20 nor any of / * ? " < > |
// nor a second ':'; and it contains productName (ASCII letters without
// regard to case), as every folder the wizard commits does.
bool IsSoundProgramFolder(const char* folder, const char* productName);

// The distinct sound program folders of the record's I lines, oldest first,
// into folders (at most capacity, RECORD_FOLDER_CAPACITY in PlanUndo).
// Returns how many.
unsigned RecordProgramFolders(const RecordView* view, const char* productName, const char** folders,
                              unsigned capacity);

// True when the entry names an item this product installs (ASCII letters
// compared without regard to case; programFolders from RecordProgramFolders):
//   F  <folder>\<name>: folder the Windows folder, the System folder or a
//      program folder, name one of the product's fileNames; nothing in
//      subfolders.
//   L  <Programs folder>\<programGroup>\<link> or <desktop folder>\<link>,
//      link one of the product's linkNames.
//   D  a program folder, or one of its parents that is not a drive root;
//      <Programs folder>\<programGroup>, or one of its parents strictly
//      below the Programs folder.
//   K  a key IsProductKey accepts.  V  a value IsProductValue accepts.
//   M  path is a file F would admit, or a program folder.
// False for I and C entries, which name nothing to undo.
bool IsEntryInScope(const RecordEntry* entry, const UndoScope* scope, const char* const* programFolders,
                    unsigned programFolderCount);

// Fills order[] with the indices of entries[0..entryCount) to undo, newest
// first, so that values go before the keys that hold them and files before
// their folders (the reverse of the order they were recorded in). Left out:
// I and C lines; an entry whose item an older entry already names (F and L
// by path, D by path, K by root and key, V by root, key and name; ASCII
// letters compared without regard to case), as the oldest holds the state
// from before the first installation; M lines, which record/run_backup.h
// settles on their own; an entry that admit (when not null) refuses,
// counted in *refused. Returns how many, at most capacity
// (entryCount is always enough); when capacity is smaller, the oldest are
// left out.
typedef bool (*EntryFilter)(const RecordEntry* entry, const void* context);
unsigned OrderUndo(const RecordEntry* entries, unsigned entryCount, EntryFilter admit, const void* context,
                   unsigned* order, unsigned capacity, unsigned* refused);

// OrderUndo over a record read from the disk, admitting only the entries
// in scope (IsEntryInScope): what the uninstaller undoes.
unsigned PlanUndo(const RecordView* view, const UndoScope* scope, unsigned* order, unsigned capacity,
                  unsigned* refused);

// PlanUndo over the entries from index first on (a run's lines, from its I
// line), as if the older ones were not there, with the program folders of
// the whole record; the indices in order are the view's.
unsigned PlanRunUndo(const RecordView* view, unsigned first, const UndoScope* scope, unsigned* order,
                     unsigned capacity, unsigned* refused);

// The indices of the record's entries that PlanUndo refuses, oldest first,
// into refused (at most capacity): every entry but I and C lines that
// IsEntryInScope does not admit. Returns how many. The uninstaller keeps
// them in the record: what it refuses here may be another account's, or
// the record's words for a place this system names otherwise.
unsigned RefusedEntries(const RecordView* view, const UndoScope* scope, unsigned* refused, unsigned capacity);
