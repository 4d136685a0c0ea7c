#pragma once
// Shell integration of the installation run: the program group and desktop
// shortcuts, and every registry entry written after them.
//
// Failures here do not stop the run: each step goes on past a link or a
// value it cannot write, counts it in g_installShortfall, and the run tells
// the user what is missing. Only COM that cannot start stops the run (the
// abort); a group whose key is not on this system is not counted at all.
#include <stdint.h>

#include "common/win32.h"
#include "record/registry_names.h"
#include "shell/shell_text.h"

// What the shortcut and registry steps could not write. They go on past a
// failure, as they always did, but the run tells the user what is missing
// before the finish page instead of calling the step a success. Each step
// sets its own count.
struct InstallShortfall {
    uint16_t shortcuts;        // link files not written
    uint16_t registryEntries;  // registry values not written, those of a key that could not be had included
};
extern InstallShortfall g_installShortfall;

// COM on the calling thread, joined for one task and left after it.
// CoInitialize's S_OK and S_FALSE (the thread was already joined, by an
// input method, an accessibility tool or a shell extension) each count a use
// that CoUninitialize must balance; RPC_E_CHANGED_MODE (the thread is already
// in a multithreaded apartment) leaves COM usable with nothing to balance;
// any other result means COM cannot be used.
enum ComUse : uint8_t { COM_UNAVAILABLE = 0, COM_BALANCED, COM_BORROWED };
ComUse BeginComUse();
// Ends what BeginComUse began: CoUninitialize for COM_BALANCED only.
void EndComUse(ComUse use);

// The shortcut step: the program group with one link per file-table row
// that names a shortcut, and the desktop link to the main application, for
// this user or all users (g_session.allUsers), shown in the progress page's
// IDC_SHORTCUT_LABEL and IDC_SHORTCUT_BAR. False only when COM cannot be initialised; then
// nothing is created and the page is untouched.
bool CreateShortcuts(HWND page);

// The registry step: install path and version, the uninstall entry, the
// shell-extension class, the find extension, the find verbs on drives and
// folders, and the two document types. Goes on past every failure, and
// counts the values it could not write in g_installShortfall.
void RegisterProduct(HWND page);

// The default value of one key below HKEY_CLASSES_ROOT, the key picked by
// kind (ClassesRootKeyKind) and the verb flag (1 "open", 0 "find").
void SetClassesRootValue(const char* keyName, const char* data, int16_t kind, int verbFlag);
