#include "shell/shell_text.h"

#include <string.h>

#include "common/path_text.h"

bool BuildLinkPath(char* out, size_t capacity, const char* folder, const char* group, const char* name)
{
    if (capacity == 0)
        return false;
    out[0] = '\0';
    if (folder[0] == '\0')
        return false;
    // The group joins like a name (no separator added before an empty
    // group's nothing), then the link name joins onto the result.
    bool built = JoinPath(out, capacity, folder, group);
    if (built && group[0] != '\0')
        built = JoinPath(out, capacity, out, name);
    else if (built)
        built = AppendText(out, capacity, name);
    if (built)
        built = AppendText(out, capacity, ".lnk");
    if (!built)
        out[0] = '\0';
    return built;
}

// Verb of the command and DDE kinds: 1 "open", 0 "find".
static const char* VerbName(int verbFlag) { return verbFlag == 1 ? "open" : "find"; }

bool ClassesRootKeyPath(char* out, size_t capacity, const char* keyName, int kind, int verbFlag)
{
    const char* verb = VerbName(verbFlag);
    switch (kind) {
    case KEY_EXTENSION:
    case KEY_PROGID:
        return CopyText(out, capacity, keyName);
    case KEY_DEFAULT_ICON:
        return FormatText(out, capacity, "%s\\DefaultIcon", keyName);
    case KEY_COMMAND:
        return FormatText(out, capacity, "%s\\shell\\%s\\command", keyName, verb);
    case KEY_DDE:
        return FormatText(out, capacity, "%s\\shell\\%s\\ddeexec", keyName, verb);
    case KEY_DDE_APPLICATION:
        return FormatText(out, capacity, "%s\\shell\\%s\\ddeexec\\application", keyName, verb);
    case KEY_DDE_TOPIC:
        return FormatText(out, capacity, "%s\\shell\\%s\\ddeexec\\topic", keyName, verb);
    }
    if (capacity > 0)
        out[0] = '\0';
    return false;
}
