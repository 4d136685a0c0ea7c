#pragma once
// Host-side set-up that a Windows program under Wine can make for itself:
// the host path of a Windows path, a host symbolic link, a small tmpfs
// mapped as a drive of the prefix, a folder linked as one. Made with the host's own system calls,
// which Wine does not stand between. Test code; Linux hosts only.
#include <windows.h>

#include <string>

namespace host {

#if defined(__x86_64__)
inline long Call(long number, const void* a = nullptr, const void* b = nullptr, const void* c = nullptr,
                 long d = 0, const void* e = nullptr)
{
    long result;
    register long r10 asm("r10") = d;
    register const void* r8 asm("r8") = e;
    asm volatile("syscall"
                 : "=a"(result)
                 : "a"(number), "D"(a), "S"(b), "d"(c), "r"(r10), "r"(r8)
                 : "rcx", "r11", "memory");
    return result;
}
enum : long { SYS_UNLINK = 87, SYS_SYMLINK = 88, SYS_MOUNT = 165, SYS_UMOUNT2 = 166 };
#elif defined(__i386__)
inline long Call(long number, const void* a = nullptr, const void* b = nullptr, const void* c = nullptr,
                 long d = 0, const void* e = nullptr)
{
    long result;
    asm volatile("int $0x80" : "=a"(result) : "a"(number), "b"(a), "c"(b), "d"(c), "S"(d), "D"(e) : "memory");
    return result;
}
enum : long { SYS_UNLINK = 10, SYS_SYMLINK = 83, SYS_MOUNT = 21, SYS_UMOUNT2 = 52 };
#endif

inline bool Available()
{
#if defined(__x86_64__) || defined(__i386__)
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
#else
    return false;
#endif
}

// The host path Wine gives a Windows path, or empty.
inline std::string UnixPathOf(const std::string& path)
{
    typedef char*(CDECL * UnixName)(LPCWSTR);
    UnixName toUnix = (UnixName)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!toUnix)
        return "";
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* unixPath = toUnix(wide);
    std::string result = unixPath ? unixPath : "";
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

// A host symbolic link at link (a Windows path) to target (a Windows path):
// Wine lists it as a folder with the reparse-point attribute, as Windows
// lists a junction.
inline bool MakeSymlink(const std::string& target, const std::string& link)
{
    if (!Available())
        return false;
#if defined(__x86_64__) || defined(__i386__)
    std::string from = UnixPathOf(target), to = UnixPathOf(link);
    return !from.empty() && !to.empty() && Call(SYS_SYMLINK, from.c_str(), to.c_str()) == 0;
#else
    return false;
#endif
}

// Drive letter (lower case) of the prefix made to name folder (a Windows
// path): its link in the prefix's dosdevices.
inline bool LinkDrive(char letter, const std::string& folder)
{
    if (!Available())
        return false;
#if defined(__x86_64__) || defined(__i386__)
    std::string drives = UnixPathOf("C:\\"), target = UnixPathOf(folder);
    size_t at = drives.rfind("/c:");
    if (at == std::string::npos || target.empty())
        return false;
    std::string link = drives.substr(0, at) + "/" + letter + ":";
    return Call(SYS_SYMLINK, target.c_str(), link.c_str()) == 0;
#else
    (void)letter;
    return false;
#endif
}

// A tmpfs of the given size linked as drive E: of the prefix; undone when
// it goes out of scope. Ready() is false where mounting is refused.
struct SmallDrive {
    std::string mountPoint, driveLink;
    bool mounted = false, linked = false;
    explicit SmallDrive(const char* size)
    {
#if defined(__x86_64__) || defined(__i386__)
        if (!Available())
            return;
        std::string drives = UnixPathOf("C:\\");  // PREFIX/dosdevices/c:/
        size_t at = drives.rfind("/c:");
        if (at == std::string::npos)
            return;
        std::string dosdevices = drives.substr(0, at);
        mountPoint = dosdevices + "/../small-disk";
        driveLink = dosdevices + "/e:";
        std::string windowsPath = "Z:" + mountPoint;
        for (char& c : windowsPath)
            c = c == '/' ? '\\' : c;
        CreateDirectoryA(windowsPath.c_str(), nullptr);
        std::string options = std::string("size=") + size;
        mounted = Call(SYS_MOUNT, "tmpfs", mountPoint.c_str(), "tmpfs", 0, options.c_str()) == 0;
        linked = mounted && Call(SYS_SYMLINK, mountPoint.c_str(), driveLink.c_str()) == 0;
#else
        (void)size;
#endif
    }
    bool Ready() const { return linked && GetFileAttributesA("E:\\") != INVALID_FILE_ATTRIBUTES; }
    ~SmallDrive()
    {
#if defined(__x86_64__) || defined(__i386__)
        if (linked)
            Call(SYS_UNLINK, driveLink.c_str());
        if (mounted)
            Call(SYS_UMOUNT2, mountPoint.c_str(), (const void*)2 /* MNT_DETACH */);
#endif
    }
};

}  // namespace host
