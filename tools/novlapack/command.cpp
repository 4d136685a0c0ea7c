// Messages and argument helpers shared by the novlapack commands.
#include "command.h"

#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int CommandFailure(const Command& command, const char* format, ...)
{
    fprintf(stderr, "novlapack %s: ", command.name);
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
    return 1;
}

int CommandUsage(const Command& command)
{
    fprintf(stderr, "usage: novlapack %s %s\n(novlapack %s --help for more)\n", command.name,
            command.usage, command.name);
    return 2;
}

bool ParseByteCount(const char* text, uint32_t* count)
{
    if (!text || *text < '0' || *text > '9')
        return false;
    errno = 0;
    char* end = nullptr;
    unsigned long long value = strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || value > UINT32_MAX)
        return false;
    *count = (uint32_t)value;
    return true;
}

bool WantsHelp(int argc, char** argv)
{
    for (int i = 0; i < argc; ++i)
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0)
            return true;
    return false;
}
