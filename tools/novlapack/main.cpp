// novlapack: builds the payload of the installer from the product manifest,
// and compresses or expands single LZHUF streams.
#include <stdio.h>
#include <string.h>

#include "command.h"

// The commands, in the order the overview lists them: one line each. A
// command named here is defined as `const Command k...Command` in its own
// <name>_command.cpp (command.h), which the build picks up by itself.
#define NOVLAPACK_COMMANDS(COMMAND) \
    COMMAND(kPackCommand)           \
    COMMAND(kCompressCommand)       \
    COMMAND(kExpandCommand)         \
    COMMAND(kPadCommand)            \
    COMMAND(kBannerCommand)         \
    COMMAND(kNamesCommand)          \
    /* new commands go on a line above this one */

#define DECLARE_COMMAND(command) extern const Command command;
NOVLAPACK_COMMANDS(DECLARE_COMMAND)
#define LIST_COMMAND(command) &command,
static const Command* const kCommands[] = {NOVLAPACK_COMMANDS(LIST_COMMAND)};

static void PrintOverview(FILE* out)
{
    fprintf(out,
            "usage: novlapack COMMAND ARGS...\n"
            "Builds the payload of the NOVLA Setup installer and handles its LZHUF streams.\n\n"
            "Commands:\n");
    for (const Command* command : kCommands)
        fprintf(out, "  %-9s %s\n            %s\n", command->name, command->usage, command->summary);
    fprintf(out, "\nnovlapack COMMAND --help describes one command.\n");
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        PrintOverview(stderr);
        return 2;
    }
    if (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0 || strcmp(argv[1], "help") == 0) {
        PrintOverview(stdout);
        return 0;
    }
    for (const Command* command : kCommands) {
        if (strcmp(argv[1], command->name) == 0)
            return RunCommand(*command, argc - 2, argv + 2);
    }
    fprintf(stderr, "novlapack: unknown command \"%s\"\n\n", argv[1]);
    PrintOverview(stderr);
    return 2;
}
