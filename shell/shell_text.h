#pragma once
// Text building of the shell integration: shortcut file paths and the
// HKEY_CLASSES_ROOT key paths of the document types and find verbs.
// Portable: no Windows header. Every routine is bounded by its capacity and
// reports false (output empty) instead of cutting: a cut path would name
// some other link file or key.
#include <stddef.h>

// folder, a backslash unless folder already ends in one, group, again a
// backslash unless the text so far ends in one (an empty group adds
// nothing), then name and ".lnk". An empty folder is refused: a link file
// must never land relative to the current directory.
bool BuildLinkPath(char* out, size_t capacity, const char* folder, const char* group, const char* name);

// Kinds of key below HKEY_CLASSES_ROOT that SetClassesRootValue writes.
enum ClassesRootKeyKind {
    KEY_EXTENSION = 1,     // the key name itself (a file extension)
    KEY_PROGID = 2,        // the key name itself (a document type)
    KEY_DEFAULT_ICON = 3,  // "%s\DefaultIcon"
    KEY_COMMAND = 4,       // "%s\shell\%s\command"
    KEY_DDE = 5,           // "%s\shell\%s\ddeexec"
    KEY_DDE_APPLICATION = 6,  // "%s\shell\%s\ddeexec\application"
    KEY_DDE_TOPIC = 7,     // "%s\shell\%s\ddeexec\topic"
};

// The key path of kind for keyName and the verb. False (out empty) for an
// unknown kind or a path that does not fit.
bool ClassesRootKeyPath(char* out, size_t capacity, const char* keyName, int kind, int verbFlag);
