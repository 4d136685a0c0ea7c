#pragma once
#include <stdint.h>
// The commands of novlapack. Each lives in its own <name>_command.cpp and
// defines one `const Command k<Name>Command`; main.cpp lists them in its
// dispatch table (NOVLAPACK_COMMANDS).

struct Command {
    const char* name;     // first argument that selects the command
    const char* usage;    // argument synopsis, after "novlapack <name> "
    const char* summary;  // one line for the overview
    const char* help;     // full text for "novlapack <name> --help"
    // args are the arguments after the command name. Returns the exit code.
    int (*run)(int argc, char** argv);
};

// Prints "novlapack <name>: message" on stderr and returns 1, the exit code
// of a failed command.
int CommandFailure(const Command& command, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Prints the command's usage line on stderr and returns 2 (wrong arguments).
int CommandUsage(const Command& command);

// Reads a decimal byte count of 0 to 4294967295; false for anything else.
bool ParseByteCount(const char* text, uint32_t* count);

// True when any argument asks for help.
bool WantsHelp(int argc, char** argv);
