#pragma once
// Walking paths and the user's text character by character, in the system's
// ANSI code page. Every comparison, separator test and folder rule of the
// installer and the uninstaller is here, so that the two programs never
// disagree on what a path names. Portable: no Windows header.
//
// On the double-byte code pages of East Asian Windows (932, 936, 949, 950) a
// lead byte and the byte after it make one character, and that second byte
// may be any of 0x40 to 0xFE: a backslash (0x5C), a letter, '|' or ']'. So a
// byte is a separator, a colon or a letter to fold only when a character
// starts there; every walk here steps from the start of the text with
// NextChar and never looks at a byte on its own. Texts in a single-byte code
// page (no lead bytes) behave exactly as plain byte strings.
//
// Letters are folded in ASCII only: the 26 letters of either case. Bytes
// from 0x80 up, and both bytes of a double-byte character, are compared as
// they are.
#include <stddef.h>
#include <stdint.h>

// The lead-byte ranges of the ANSI code page: pairs of first and last lead
// byte, ended by a pair whose first byte is 0 (the layout of the system's
// CPINFO.LeadByte, at most LEAD_BYTE_PAIRS pairs are read). Null, or an
// empty list, means a single-byte code page. Set once at start (by
// LoadCodePageRules on Windows), before any text is walked.
enum { LEAD_BYTE_PAIRS = 6 };
void SetLeadByteRanges(const uint8_t* ranges);

// True when c begins a two-byte character in the code page set.
bool IsLeadByte(char c);

// The character after the one at p: two bytes on for a lead byte followed by
// its second byte, else one. A lead byte right before the terminator counts
// as a character of its own. At the terminator, p itself.
const char* NextChar(const char* p);

// True when the last character of text is a backslash (not the second byte
// of a double-byte character).
bool EndsWithSeparator(const char* text);

// The last backslash character of text (never the second byte of a
// double-byte character); null when it has none.
const char* LastSeparator(const char* text);

// Length of a folder path without one trailing backslash; a drive root
// ("X:\") keeps its backslash, as "X:" alone names the drive's current
// folder, not its root.
size_t FolderLength(const char* folder);

// True when a and b are the same text, ASCII letters without regard to case.
bool SameTextNoCase(const char* a, const char* b);

// True when text[0..length) is word, ASCII letters without regard to case.
bool SameSpanNoCase(const char* text, size_t length, const char* word);

// True when needle occurs in text starting at a character of text, ASCII
// letters without regard to case. An empty needle occurs everywhere.
bool ContainsTextNoCase(const char* text, const char* needle);

// Where path goes on below folder, whole components only (C:\Appsx is not
// below C:\Apps), ASCII letters without regard to case, one trailing
// backslash of folder ignored. Returns the rest of path after folder and
// its separating backslash: "" when path is folder itself, "x\y" for
// folder\x\y. Null when path does not begin with folder, or folder is
// empty. Works as well for registry keys, which separate their components
// the same way.
const char* PathBelowFolder(const char* path, const char* folder);

// True when a and b name the same folder: ASCII letters without regard to
// case, one trailing backslash of either ignored (C:\X\ and c:\x are the
// same; C:\ and C: are not). Empty texts name no folder.
bool SameFolder(const char* a, const char* b);

// True when path begins with a drive root: a single-byte character, a
// colon and a backslash. The first character itself is not checked.
bool HasDriveRoot(const char* path);

// True when path names a place independently of the current folder: an
// ASCII drive letter with ":\" or a network share (\\server\share). An
// empty path, a bare name, C:name or \name is not.
bool IsAbsolutePath(const char* path);

// True when path[0..length) is a folder below a drive root with nothing
// Windows would read otherwise than as written: an ASCII drive letter and
// ":\", then components separated by one backslash, none empty, none ending
// in a dot or a space (so neither "." nor ".."), no character below 0x20
// nor any of / * ? " < > | :, and no double-byte character cut short. At
// least 4 characters; maxLength at most.
bool IsPlainFolder(const char* path, size_t length, size_t maxLength);

// Capitalises the words of a path in place: the first character and the
// one after each space or backslash are made upper case, every other ASCII
// letter lower case. Only the 26 ASCII letters of single-byte characters
// change; the character after a separator is consumed (it is neither a
// separator itself nor lowered). The walk ends at the terminator.
void CapitalizePath(char* path);
