#pragma once
// Fault seam of the test build (TessaronixSetupFaults.exe and the Windows-side
// tests). Never included by the release build.
//
// Each guarded Win32 call below is replaced by a macro of the same name that
// first asks FaultHit whether this call is the one chosen to fail; if so it
// returns that call's own failure value (and sets the last error where the
// real call would), otherwise it makes the real call. A function-like macro
// does not expand its own name again, so the inner call is the real one, and
// the installer's code still reads as the plain Win32 call.
//
// The call to fail is chosen by the environment variable NOVLA_FAULT:
//   NAME       the first call of the Win32 function NAME (e.g. RegCreateKeyExA)
//   NAME#N     the Nth call of NAME, counted from 1
//   #N         the Nth guarded call of any name
// NOVLA_FAULT_KILL=NAME#N (or #N) ends the process, as abruptly as a crash,
// just before the Nth call of NAME (of any guarded name), counted apart from
// NOVLA_FAULT: a test cuts a run off there.
// With NOVLA_FAULT_PERSIST=1 every matching call from that one on fails too.
// NOVLA_FAULT_LOG=PATH appends one line per guarded call ("N NAME"), so a
// sweep can learn how many calls a run makes. The same log gets a line for
// every text the user is shown, which is neither counted nor ever failed:
// "- SetDlgItemTextA ID TEXT" and "- MessageBoxA TEXT", the text with
// backslash, CR, LF and other control bytes escaped (\\, \r, \n, \xHH), so
// that a sweep reads what the user saw without racing the windows.
// NOVLA_FAULT_PACE=0 takes the pauses out of the installation display
// (PumpMessagesFor makes one pass), so that a sweep's run is short.
// Tests linked with the platform code can choose in-process with
// FaultSelect instead.

// The macros must come after every declaration they cover.
#include "common/win32.h"

// True when this guarded call must fail. Counts every guarded call.
bool FaultHit(const char* name);
// Chooses the failing call in-process: name may be null (any call), n >= 1;
// n 0 only counts the calls of that name. Resets the counters.
void FaultSelect(const char* name, unsigned n, bool persistent);
// Calls of the chosen name (of any name when none was chosen) since the last
// FaultSelect, and whether the chosen call has been failed.
unsigned FaultCallCount();
bool FaultFired();
// The pause PumpMessagesFor makes instead of milliseconds: 0 under
// NOVLA_FAULT_PACE=0, else milliseconds.
DWORD FaultPacedDelay(DWORD milliseconds);
// SetDlgItemTextA and MessageBoxA as the test build makes them: the text
// logged, then the real call.
BOOL FaultShowItemText(HWND window, int id, LPCSTR text);
int FaultShowMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

#define NOVLA_FAIL_WITH(name, error, value) (FaultHit(#name) ? (SetLastError(error), (value))

// Registry: results are error codes.
#define RegOpenKeyExA(...) (FaultHit("RegOpenKeyExA") ? (LONG)ERROR_ACCESS_DENIED : RegOpenKeyExA(__VA_ARGS__))
#define RegCreateKeyExA(...) (FaultHit("RegCreateKeyExA") ? (LONG)ERROR_ACCESS_DENIED : RegCreateKeyExA(__VA_ARGS__))
#define RegSetValueExA(...) (FaultHit("RegSetValueExA") ? (LONG)ERROR_ACCESS_DENIED : RegSetValueExA(__VA_ARGS__))
#define RegQueryValueExA(...) (FaultHit("RegQueryValueExA") ? (LONG)ERROR_ACCESS_DENIED : RegQueryValueExA(__VA_ARGS__))
#define RegDeleteKeyA(...) (FaultHit("RegDeleteKeyA") ? (LONG)ERROR_ACCESS_DENIED : RegDeleteKeyA(__VA_ARGS__))

// Files and folders.
#define CreateFileA(...) NOVLA_FAIL_WITH(CreateFileA, ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE) : CreateFileA(__VA_ARGS__))
#define WriteFile(...) NOVLA_FAIL_WITH(WriteFile, ERROR_DISK_FULL, FALSE) : WriteFile(__VA_ARGS__))
#define SetFileTime(...) NOVLA_FAIL_WITH(SetFileTime, ERROR_ACCESS_DENIED, FALSE) : SetFileTime(__VA_ARGS__))
#define CreateDirectoryA(...) NOVLA_FAIL_WITH(CreateDirectoryA, ERROR_ACCESS_DENIED, FALSE) : CreateDirectoryA(__VA_ARGS__))
#define GetFileAttributesA(...) NOVLA_FAIL_WITH(GetFileAttributesA, ERROR_ACCESS_DENIED, INVALID_FILE_ATTRIBUTES) : GetFileAttributesA(__VA_ARGS__))
#define SetFileAttributesA(...) NOVLA_FAIL_WITH(SetFileAttributesA, ERROR_ACCESS_DENIED, FALSE) : SetFileAttributesA(__VA_ARGS__))
#define MoveFileA(...) NOVLA_FAIL_WITH(MoveFileA, ERROR_ACCESS_DENIED, FALSE) : MoveFileA(__VA_ARGS__))
#define DeleteFileA(...) NOVLA_FAIL_WITH(DeleteFileA, ERROR_ACCESS_DENIED, FALSE) : DeleteFileA(__VA_ARGS__))
#define FindFirstFileA(...) NOVLA_FAIL_WITH(FindFirstFileA, ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE) : FindFirstFileA(__VA_ARGS__))
#define GetWindowsDirectoryA(...) NOVLA_FAIL_WITH(GetWindowsDirectoryA, ERROR_ACCESS_DENIED, 0u) : GetWindowsDirectoryA(__VA_ARGS__))
#define GetSystemDirectoryA(...) NOVLA_FAIL_WITH(GetSystemDirectoryA, ERROR_ACCESS_DENIED, 0u) : GetSystemDirectoryA(__VA_ARGS__))
// GetVersionExA fails as "GetVersionExA", and reports Windows 98 (4.10,
// not the NT platform) as "GetVersionExA:win98", as it does on XP to 10 in
// the "Windows 98 / Me" compatibility mode, which shims this call only.
BOOL FaultGetVersionExA(LPOSVERSIONINFOA version);
#define GetVersionExA(version) FaultGetVersionExA(version)
#define ReadFile(...) NOVLA_FAIL_WITH(ReadFile, ERROR_READ_FAULT, FALSE) : ReadFile(__VA_ARGS__))
#define SetFilePointer(...) \
    NOVLA_FAIL_WITH(SetFilePointer, ERROR_SEEK, INVALID_SET_FILE_POINTER) : SetFilePointer(__VA_ARGS__))
#define SetEndOfFile(...) NOVLA_FAIL_WITH(SetEndOfFile, ERROR_WRITE_FAULT, FALSE) : SetEndOfFile(__VA_ARGS__))
#define FlushFileBuffers(...) NOVLA_FAIL_WITH(FlushFileBuffers, ERROR_WRITE_FAULT, FALSE) : FlushFileBuffers(__VA_ARGS__))
#define FindNextFileA(...) NOVLA_FAIL_WITH(FindNextFileA, ERROR_ACCESS_DENIED, FALSE) : FindNextFileA(__VA_ARGS__))
#define FindClose(...) NOVLA_FAIL_WITH(FindClose, ERROR_INVALID_HANDLE, FALSE) : FindClose(__VA_ARGS__))
#define CloseHandle(...) NOVLA_FAIL_WITH(CloseHandle, ERROR_INVALID_HANDLE, FALSE) : CloseHandle(__VA_ARGS__))

// Time, text, modules.
#define SystemTimeToFileTime(...) \
    NOVLA_FAIL_WITH(SystemTimeToFileTime, ERROR_INVALID_PARAMETER, FALSE) : SystemTimeToFileTime(__VA_ARGS__))
#define LocalFileTimeToFileTime(...) \
    NOVLA_FAIL_WITH(LocalFileTimeToFileTime, ERROR_INVALID_PARAMETER, FALSE) : LocalFileTimeToFileTime(__VA_ARGS__))
#define MultiByteToWideChar(...) \
    NOVLA_FAIL_WITH(MultiByteToWideChar, ERROR_INSUFFICIENT_BUFFER, 0) : MultiByteToWideChar(__VA_ARGS__))
#define GetModuleHandleA(...) NOVLA_FAIL_WITH(GetModuleHandleA, ERROR_MOD_NOT_FOUND, (HMODULE)NULL) : GetModuleHandleA(__VA_ARGS__))
#define GetProcAddress(...) NOVLA_FAIL_WITH(GetProcAddress, ERROR_PROC_NOT_FOUND, (FARPROC)NULL) : GetProcAddress(__VA_ARGS__))

// Resources.
#define FindResourceA(...) NOVLA_FAIL_WITH(FindResourceA, ERROR_RESOURCE_NAME_NOT_FOUND, (HRSRC)NULL) : FindResourceA(__VA_ARGS__))
#define LoadResource(...) NOVLA_FAIL_WITH(LoadResource, ERROR_NOT_ENOUGH_MEMORY, (HGLOBAL)NULL) : LoadResource(__VA_ARGS__))
#define LockResource(...) (FaultHit("LockResource") ? (LPVOID)NULL : LockResource(__VA_ARGS__))
#define SizeofResource(...) NOVLA_FAIL_WITH(SizeofResource, ERROR_RESOURCE_NAME_NOT_FOUND, (DWORD)0) : SizeofResource(__VA_ARGS__))

// Windows, dialogs, GDI.
#define RegisterClassExA(...) NOVLA_FAIL_WITH(RegisterClassExA, ERROR_NOT_ENOUGH_MEMORY, (ATOM)0) : RegisterClassExA(__VA_ARGS__))
#define GetClassInfoExA(...) NOVLA_FAIL_WITH(GetClassInfoExA, ERROR_CLASS_DOES_NOT_EXIST, FALSE) : GetClassInfoExA(__VA_ARGS__))
#define CreateDialogParamA(...) NOVLA_FAIL_WITH(CreateDialogParamA, ERROR_NOT_ENOUGH_MEMORY, (HWND)NULL) : CreateDialogParamA(__VA_ARGS__))
#define DialogBoxParamA(...) NOVLA_FAIL_WITH(DialogBoxParamA, ERROR_NOT_ENOUGH_MEMORY, (INT_PTR)-1) : DialogBoxParamA(__VA_ARGS__))
#define SetTimer(...) NOVLA_FAIL_WITH(SetTimer, ERROR_NOT_ENOUGH_MEMORY, (UINT_PTR)0) : SetTimer(__VA_ARGS__))
#define CreateFontIndirectA(...) (FaultHit("CreateFontIndirectA") ? (HFONT)NULL : CreateFontIndirectA(__VA_ARGS__))
#define CreateCompatibleDC(...) (FaultHit("CreateCompatibleDC") ? (HDC)NULL : CreateCompatibleDC(__VA_ARGS__))
#define CreateDIBitmap(...) (FaultHit("CreateDIBitmap") ? (HBITMAP)NULL : CreateDIBitmap(__VA_ARGS__))
#define GetObjectA(...) (FaultHit("GetObjectA") ? 0 : GetObjectA(__VA_ARGS__))
#define KillTimer(...) NOVLA_FAIL_WITH(KillTimer, ERROR_INVALID_PARAMETER, FALSE) : KillTimer(__VA_ARGS__))
#define PostMessageA(...) NOVLA_FAIL_WITH(PostMessageA, ERROR_NOT_ENOUGH_QUOTA, FALSE) : PostMessageA(__VA_ARGS__))
#define GetWindowRect(...) NOVLA_FAIL_WITH(GetWindowRect, ERROR_INVALID_WINDOW_HANDLE, FALSE) : GetWindowRect(__VA_ARGS__))
#define GetDlgItemTextA(...) NOVLA_FAIL_WITH(GetDlgItemTextA, ERROR_INVALID_WINDOW_HANDLE, 0u) : GetDlgItemTextA(__VA_ARGS__))
#define LoadIconA(...) NOVLA_FAIL_WITH(LoadIconA, ERROR_RESOURCE_NAME_NOT_FOUND, (HICON)NULL) : LoadIconA(__VA_ARGS__))
#define LoadImageA(...) NOVLA_FAIL_WITH(LoadImageA, ERROR_RESOURCE_NAME_NOT_FOUND, (HANDLE)NULL) : LoadImageA(__VA_ARGS__))

// What the user is shown: logged, never failed.
#define SetDlgItemTextA(window, id, text) FaultShowItemText(window, id, text)
#define MessageBoxA(owner, text, caption, type) FaultShowMessageBox(owner, text, caption, type)

// COM and the shell.
// CoInitialize fails as "CoInitialize" (E_FAIL), and meets a thread that
// another component has already joined to COM as "CoInitialize:S_FALSE"
// (a single-threaded apartment: the real call gives S_FALSE) or as
// "CoInitialize:RPC_E_CHANGED_MODE" (a multithreaded apartment: the real
// call gives RPC_E_CHANGED_MODE). The other component's join is never
// balanced, as that component would balance it.
HRESULT FaultCoInitialize(LPVOID reserved);
#define CoInitialize(reserved) FaultCoInitialize(reserved)
#define CoCreateInstance(...) (FaultHit("CoCreateInstance") ? (HRESULT)E_FAIL : CoCreateInstance(__VA_ARGS__))
#define SHGetSpecialFolderLocation(...) (FaultHit("SHGetSpecialFolderLocation") ? (HRESULT)E_FAIL : SHGetSpecialFolderLocation(__VA_ARGS__))
#define SHGetPathFromIDListA(...) (FaultHit("SHGetPathFromIDListA") ? FALSE : SHGetPathFromIDListA(__VA_ARGS__))
#define SHBrowseForFolderA(...) (FaultHit("SHBrowseForFolderA") ? (LPITEMIDLIST)NULL : SHBrowseForFolderA(__VA_ARGS__))
#define ShellExecuteExA(...) NOVLA_FAIL_WITH(ShellExecuteExA, ERROR_FILE_NOT_FOUND, FALSE) : ShellExecuteExA(__VA_ARGS__))
#define SHGetMalloc(...) (FaultHit("SHGetMalloc") ? (HRESULT)E_FAIL : SHGetMalloc(__VA_ARGS__))
