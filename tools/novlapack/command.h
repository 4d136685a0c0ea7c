#pragma once
// The commands of novlapack. Each lives in its own <name>_command.cpp and
// defines one `const Command k<Name>Command`; main.cpp lists them in its
// dispatch table (NOVLAPACK_COMMANDS).
//
// Every command takes its arguments the same way (RunCommand): "--help" or
// "-h" anywhere prints its help; an argument that starts with "--" is one of
// its options, "--name VALUE" or the flag "--name" (the last of a repeated
// option counts); every other one is positional, exactly as many as the
// command takes. Exit codes: 0 done, 1 failed (CommandFailure,
// CommandProblems), 2 wrong arguments (CommandUsage).
#include <stdint.h>

#include <map>
#include <string>
#include <vector>

enum OptionKind { OPTION_VALUE, OPTION_REQUIRED_VALUE, OPTION_FLAG };

struct CommandOption {
    const char* name;  // "--size"
    OptionKind kind;
};

// The arguments of one run, as RunCommand parsed them.
struct CommandArguments {
    std::vector<const char*> positional;
    std::map<std::string, const char*> options;  // a flag maps to its own name

    // The option's value (a flag: its name), or fallback when not given.
    const char* Option(const char* name, const char* fallback = nullptr) const;
};

struct Command {
    const char* name;     // first argument that selects the command
    const char* usage;    // argument synopsis, after "novlapack <name> "
    const char* summary;  // one line for the overview
    const char* help;     // full text for "novlapack <name> --help"
    int positionals;      // how many positional arguments it takes
    std::vector<CommandOption> options;
    // Runs on arguments that fit the two above. Returns the exit code.
    int (*run)(const CommandArguments& args);
};

// Runs command on the arguments after its name: its help, the usage
// message, or what its run function returns.
int RunCommand(const Command& command, int argc, char** argv);

// Prints "novlapack <name>: message" on stderr; CommandFailure then returns 1.
void CommandNote(const Command& command, const char* format, ...) __attribute__((format(printf, 2, 3)));
int CommandFailure(const Command& command, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Prints each problem as a note, then how many there were and that nothing
// was written; returns 1.
int CommandProblems(const Command& command, const std::vector<std::string>& problems);

// Prints the command's usage line on stderr and returns 2 (wrong arguments).
int CommandUsage(const Command& command);

// Reads a decimal byte count of 0 to 4294967295; false for anything else.
bool ParseByteCount(const char* text, uint32_t* count);
