// Argument handling and messages shared by the novlapack commands.
#include "command.h"

#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace {

bool WantsHelp(int argc, char** argv)
{
    for (int i = 0; i < argc; ++i)
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0)
            return true;
    return false;
}

// False when the arguments do not fit the command's description.
bool ParseArguments(const Command& command, int argc, char** argv, CommandArguments* args)
{
    for (int i = 0; i < argc; ++i) {
        if (strncmp(argv[i], "--", 2) != 0) {
            if ((int)args->positional.size() == command.positionals)
                return false;
            args->positional.push_back(argv[i]);
            continue;
        }
        auto option = std::find_if(command.options.begin(), command.options.end(),
                                   [&](const CommandOption& o) { return strcmp(o.name, argv[i]) == 0; });
        if (option == command.options.end() || (option->kind != OPTION_FLAG && i + 1 == argc))
            return false;
        args->options[option->name] = option->kind == OPTION_FLAG ? option->name : argv[++i];
    }
    for (const CommandOption& option : command.options)
        if (option.kind == OPTION_REQUIRED_VALUE && !args->Option(option.name))
            return false;
    return (int)args->positional.size() == command.positionals;
}

void PrintNote(const Command& command, const char* format, va_list args)
{
    fprintf(stderr, "novlapack %s: ", command.name);
    vfprintf(stderr, format, args);
    fputc('\n', stderr);
}

}  // namespace

const char* CommandArguments::Option(const char* name, const char* fallback) const
{
    auto found = options.find(name);
    return found == options.end() ? fallback : found->second;
}

int RunCommand(const Command& command, int argc, char** argv)
{
    if (WantsHelp(argc, argv)) {
        printf("usage: novlapack %s %s\n\n%s", command.name, command.usage, command.help);
        return 0;
    }
    CommandArguments args;
    if (!ParseArguments(command, argc, argv, &args))
        return CommandUsage(command);
    return command.run(args);
}

void CommandNote(const Command& command, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    PrintNote(command, format, args);
    va_end(args);
}

int CommandFailure(const Command& command, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    PrintNote(command, format, args);
    va_end(args);
    return 1;
}

int CommandProblems(const Command& command, const std::vector<std::string>& problems)
{
    for (const std::string& problem : problems)
        CommandNote(command, "%s", problem.c_str());
    return CommandFailure(command, "%zu problem%s; nothing written", problems.size(), problems.size() == 1 ? "" : "s");
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
