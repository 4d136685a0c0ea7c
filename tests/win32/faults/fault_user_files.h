#pragma once
// What both fault judges (the installer's and the uninstaller's) hold the
// runs to: the existing folder the product goes to, the time a run may take,
// and the files of the user's that every run must leave as they are: one in
// that folder, one beside the all-users desktop link.
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/win32/shell/shell_expect.h"

namespace faults {

const char* const kProgram = "C:\\Projects\\Tessaronix";
const DWORD kTimeLimitMs = 60000;

struct UserFile {
    std::string path, text;
};
inline std::vector<UserFile> UserFiles()
{
    return {{std::string(kProgram) + "\\notes.txt", "my notes\r\n"},
            {expect::SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\todo.txt", "things to do\r\n"}};
}

}  // namespace faults
