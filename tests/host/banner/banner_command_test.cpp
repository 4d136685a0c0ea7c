// novlapack banner: a bitmap file through the installer's banner code into a
// PPM, top row first; its options and its refusals.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "command.h"
#include "tests/host/banner/dib_builder.h"

extern const Command kBannerCommand;

namespace {

class BannerCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/banner_command_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

    std::string WriteBitmap(const std::vector<uint8_t>& dib, const char* name = "in.bmp")
    {
        std::vector<uint8_t> file = {'B', 'M'};
        PutLe(file, static_cast<uint32_t>(14 + dib.size()), 4);
        PutLe(file, 0, 4);
        PutLe(file, 0, 4);  // the data offset: ignored, as by the resource compiler
        file.insert(file.end(), dib.begin(), dib.end());
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
        return path;
    }

    int Run(std::vector<std::string> args)
    {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(&a[0]);
        return RunCommand(kBannerCommand, static_cast<int>(argv.size()), argv.data());
    }

    std::vector<uint8_t> Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    std::string dir;
};

// 4 x 2, 8-bit RLE8: bottom row grey 220 then red, top row black then blue.
std::vector<uint8_t> TwoRows()
{
    DibSpec spec;
    spec.width = 4;
    spec.height = 2;
    spec.compression = 1;
    spec.clrUsed = 4;
    return BuildDib(spec, {0xDCDCDC, 0xFF0000, 0x000000, 0x0000FF},
                    {2, 0, 2, 1, 0, 0, 2, 2, 2, 3, 0, 1});
}

TEST_F(BannerCommandTest, WritesTopRowFirstTintedToTheButtonFace)
{
    const std::string in = WriteBitmap(TwoRows()), out = dir + "/out.ppm";
    ASSERT_EQ(0, Run({in, out, "--btnface", "10,20,30"}));
    const std::string header = "P6\n4 2\n255\n";
    const std::vector<uint8_t> ppm = Read(out);
    ASSERT_EQ(header.size() + 4 * 2 * 3, ppm.size());
    EXPECT_EQ(header, std::string(ppm.begin(), ppm.begin() + header.size()));
    const std::vector<uint8_t> pixels(ppm.begin() + header.size(), ppm.end());
    const std::vector<uint8_t> expected = {
        0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 255,      // top: black, black, blue, blue
        10, 20, 30, 10, 20, 30, 255, 0, 0, 255, 0, 0,  // bottom: 220 grey tinted, red
    };
    EXPECT_EQ(expected, pixels);

    // The default face is 236,233,216.
    ASSERT_EQ(0, Run({in, out}));
    const std::vector<uint8_t> plain = Read(out);
    EXPECT_EQ(236, plain[header.size() + 12]);
    EXPECT_EQ(233, plain[header.size() + 13]);
    EXPECT_EQ(216, plain[header.size() + 14]);
}

TEST_F(BannerCommandTest, WidthShrinksWithTheAspectRatioAndNeverEnlarges)
{
    const std::string in = WriteBitmap(TwoRows()), out = dir + "/out.ppm";
    struct Case {
        const char* width;
        const char* header;
    } cases[] = {{"2", "P6\n2 1\n255\n"}, {"0", "P6\n4 2\n255\n"}, {"9", "P6\n4 2\n255\n"},
                 {"4", "P6\n4 2\n255\n"}};
    for (const Case& c : cases) {
        ASSERT_EQ(0, Run({in, out, "--width", c.width})) << c.width;
        const std::vector<uint8_t> ppm = Read(out);
        EXPECT_EQ(c.header, std::string(ppm.begin(), ppm.begin() + std::string(c.header).size())) << c.width;
    }
    // 2 x 1: each pixel the mean of a 2 x 2 block.
    ASSERT_EQ(0, Run({in, out, "--width", "2", "--btnface", "220,220,220"}));
    const std::vector<uint8_t> ppm = Read(out);
    const std::vector<uint8_t> means = {110, 110, 110, 128, 0, 128};  // 127.5 rounds up
    EXPECT_EQ(means, std::vector<uint8_t>(ppm.end() - 6, ppm.end()));
}

TEST_F(BannerCommandTest, RefusesWhatItCannotShow)
{
    DibSpec fourBit;
    fourBit.depth = 4;
    const std::string good = WriteBitmap(TwoRows());
    const std::string odd = WriteBitmap(BuildDib(fourBit, {}, {0, 0, 0, 0}), "odd.bmp");
    DibSpec strip;
    strip.width = 8;
    strip.clrUsed = 1;
    const std::string wide = WriteBitmap(BuildDib(strip, {0x808080}, std::vector<uint8_t>(8, 0)), "wide.bmp");
    std::ofstream(dir + "/text.bmp") << "not a bitmap";
    const std::string out = dir + "/out.ppm";
    struct Case {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{good}, 2},
        {{good, out, "extra"}, 2},
        {{good, out, "--scale"}, 2},
        {{good, out, "--width", "65536"}, 1},
        {{good, out, "--width", "-1"}, 1},
        {{wide, out, "--width", "1"}, 1},  // its height would be 0
        {{good, out, "--btnface", "1,2"}, 1},
        {{good, out, "--btnface", "256,0,0"}, 1},
        {{good, out, "--btnface", "1,2,3,"}, 1},
        {{dir + "/missing.bmp", out}, 1},
        {{dir + "/text.bmp", out}, 1},
        {{odd, out}, 1},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& a : c.args)
            line += a + " ";
        EXPECT_EQ(c.status, Run(c.args)) << line;
    }
    EXPECT_NE(0, access(out.c_str(), F_OK)) << "no output from a refused run";
}

}  // namespace
