// The release programs' code runs on every processor that Windows 95 and
// NT 4 run on (386, 486, Pentium): it holds none of the instructions that
// came later, which the compiler emits when it is told a newer processor.
// Read from the disassembly of the installer and of the uninstaller it packs.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <regex>
#include <string>

namespace {

// objdump's disassembly of the program's code, one instruction a line;
// empty when it cannot be read.
std::string Disassembly(const std::string& path)
{
    std::string command = "i686-w64-mingw32-objdump -d --no-show-raw-insn '" + path + "' 2>/dev/null";
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t got;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, got);
        pclose(pipe);
    }
    return text;
}

TEST(CpuBaseline, ReleaseProgramsUseOnlyInstructionsOfThe386)
{
    const char* release = getenv("NOVLA_RELEASE_EXE");
    ASSERT_TRUE(release && *release) << "NOVLA_RELEASE_EXE names no file";
    const std::string installer = release;
    const std::string uninstaller = installer.substr(0, installer.rfind('/')) + "/product/build/TSXCleanup.exe";
    // bswap, cmpxchg, xadd: the 486; cmov, fcmov, fcomi, fucomi: the
    // Pentium Pro; MMX and SSE registers: later still.
    const std::regex later(R"(:\t(bswap|cmpxchg|xadd|cmov|fcmov|fu?comip?)|%x?mm[0-9])");
    for (const std::string& path : {installer, uninstaller}) {
        SCOPED_TRACE(path);
        std::string code = Disassembly(path);
        ASSERT_NE(std::string::npos, code.find("<.text>:")) << "i686-w64-mingw32-objdump read no code";
        size_t start = 0, found = 0;
        while (start < code.size()) {
            size_t end = code.find('\n', start);
            if (end == std::string::npos)
                end = code.size();
            std::string line = code.substr(start, end - start);
            if (std::regex_search(line, later) && found++ < 5)
                ADD_FAILURE() << line;
            start = end + 1;
        }
        EXPECT_EQ(0u, found) << "instructions a 386 does not have";
    }
}

}  // namespace
