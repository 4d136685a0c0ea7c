// novlapack as the build runs it: the command table and --help, compress and
// expand as a pair, and a broken manifest that fails the build and writes
// nothing.
#include <gtest/gtest.h>

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "payload/product.h"

namespace {

std::string ToolPath()
{
    char self[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return "novlapack";
    self[n] = '\0';
    std::string path = self;
    return path.substr(0, path.rfind('/')) + "/novlapack";
}

struct ToolRun {
    int status;
    std::string out;  // stdout and stderr
};

ToolRun Novlapack(const std::string& arguments)
{
    std::string command = "'" + ToolPath() + "' " + arguments + " 2>&1";
    ToolRun run = {-1, ""};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        run.out.append(buffer, got);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

class NovlapackCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/novlapack_cli_XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern));
        dir_ = pattern;
    }
    void TearDown() override { system(("rm -rf '" + dir_ + "'").c_str()); }
    std::string dir_;
};

TEST_F(NovlapackCli, HelpListsEveryCommand)
{
    ToolRun help = Novlapack("--help");
    EXPECT_EQ(0, help.status);
    for (const char* command : {"pack", "compress", "expand", "pad", "names"})
        EXPECT_NE(std::string::npos, help.out.find(std::string("  ") + command + " ")) << command;
    ToolRun packHelp = Novlapack("pack --help");
    EXPECT_EQ(0, packHelp.status);
    EXPECT_NE(std::string::npos, packHelp.out.find("usage: novlapack pack MANIFEST OUTDIR"));
    EXPECT_EQ(2, Novlapack("").status);
    EXPECT_EQ(2, Novlapack("squeeze a b").status);
    EXPECT_EQ(2, Novlapack("expand a b").status) << "--size is required";
    EXPECT_EQ(1, Novlapack("expand a b --size -5").status);
}

TEST_F(NovlapackCli, CompressThenExpandGivesTheFileBack)
{
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += "Catalyne indexes folder " + std::to_string(i % 37) + "\r\n";
    WriteText(dir_ + "/in.txt", text);
    ASSERT_EQ(0, Novlapack("compress " + dir_ + "/in.txt " + dir_ + "/in.lzh").status);
    std::string stream = ReadText(dir_ + "/in.lzh");
    EXPECT_LT(stream.size(), text.size() / 4);
    ASSERT_EQ(0, Novlapack("expand " + dir_ + "/in.lzh " + dir_ + "/out.txt --size " + std::to_string(text.size()))
                     .status);
    EXPECT_EQ(text, ReadText(dir_ + "/out.txt"));
    // A smaller size cuts the file there.
    ASSERT_EQ(0, Novlapack("expand " + dir_ + "/in.lzh " + dir_ + "/cut.txt --size 100").status);
    EXPECT_EQ(text.substr(0, 100), ReadText(dir_ + "/cut.txt"));
    EXPECT_EQ(1, Novlapack("compress " + dir_ + "/missing " + dir_ + "/x").status);
}

TEST_F(NovlapackCli, PadMakesStandInsOfExactSize)
{
    WriteText(dir_ + "/program.exe", "MZ stand-in program");
    ASSERT_EQ(0, Novlapack("pad " + dir_ + "/a --size 5000 --from " + dir_ + "/program.exe --seed A").status);
    std::string a = ReadText(dir_ + "/a");
    ASSERT_EQ(5000u, a.size());
    EXPECT_EQ(0u, a.find("MZ stand-in program"));
    ASSERT_EQ(0, Novlapack("pad " + dir_ + "/a2 --size 5000 --from " + dir_ + "/program.exe --seed A").status);
    EXPECT_EQ(a, ReadText(dir_ + "/a2")) << "the same arguments give the same bytes";
    ASSERT_EQ(0, Novlapack("pad " + dir_ + "/b --size 5000 --from " + dir_ + "/program.exe --seed B").status);
    EXPECT_NE(a, ReadText(dir_ + "/b")) << "another seed, other filler";
    ASSERT_EQ(0, Novlapack("pad " + dir_ + "/help.chm --size 300 --chm").status);
    std::string help = ReadText(dir_ + "/help.chm");
    ASSERT_EQ(300u, help.size());
    EXPECT_EQ(0u, help.find(std::string("ITSF\x03\0\0\0\x60\0\0\0", 12)));
    // A program that has outgrown its size fails the build.
    ToolRun tooBig = Novlapack("pad " + dir_ + "/c --size 10 --from " + dir_ + "/program.exe");
    EXPECT_EQ(1, tooBig.status);
    EXPECT_NE(std::string::npos, tooBig.out.find("more than --size 10")) << tooBig.out;
}

TEST_F(NovlapackCli, BrokenManifestFailsAndWritesNothing)
{
    WriteText(dir_ + "/NOTES", "Notes\r\n");
    WriteText(dir_ + "/manifest.txt",
              "name = Tessaronix\nversion = 5.00\nprogramGroup = NOVLA\\Tessaronix\npublisher = NOVLA\n"
              "helpLink = http://www.novla.com/support.html\nfileTime = 2007-07-20 05:00:00.000\n"
              "row = Notes.txt | FOLDER_PROGRAM+OS_BOTH | NOTES | - | lzhuf | NOTES\n");
    std::string out = dir_ + "/generated";
    ToolRun run = Novlapack("pack " + dir_ + "/manifest.txt " + out);
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.out.find("row 2, the main program, is missing")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("nothing written")) << run.out;
    DIR* listing = opendir(out.c_str());
    EXPECT_EQ(nullptr, listing) << "the output folder was created";
    if (listing)
        closedir(listing);
}

TEST_F(NovlapackCli, NamesWritesTheUninstallersNamesFromTheManifest)
{
    std::string source = __FILE__;
    std::string manifest = source.substr(0, source.rfind("/tests/host/tools/")) + "/product/manifest.txt";
    ASSERT_EQ(0, Novlapack("names '" + manifest + "' " + dir_ + "/names.cpp").status);
    std::string names = ReadText(dir_ + "/names.cpp");
    // The uninstaller's names are those of the file table that `novlapack
    // pack` made from the same manifest: each file name once, and the link
    // of each row with a shortcut.
    std::string files, links;  // one line each
    for (int i = 0; i < g_payloadTable.rowCount; ++i) {
        const PayloadRow& row = g_payloadTable.rows[i];
        std::string file = "    \"" + std::string(row.fileName) + "\",\n";
        if (files.find(file) == std::string::npos)
            files += file;
        if (row.shortcutName[0] != '-')
            links += "    \"" + std::string(row.shortcutName) + ".lnk\",\n";
    }
    for (const std::string& expected :
         {std::string("#include \"record/product_names.h\"\n"), "kFileNames[] = {\n" + files + "};",
          "kLinkNames[] = {\n" + links + "};",
          "g_productNames = {\n    \"Tessaronix\",\n    \"NOVLA\\\\Tessaronix\",\n    kFileNames,\n    " +
              std::to_string(std::count(files.begin(), files.end(), '\n')) + ",\n    kLinkNames,\n    " +
              std::to_string(std::count(links.begin(), links.end(), '\n')) + ",\n};"})
        EXPECT_NE(std::string::npos, names.find(expected)) << expected << "\nin\n" << names;
    EXPECT_EQ(2, Novlapack("names '" + manifest + "'").status);
}

}  // namespace
