// wine-versions: winxp win7
// A damaged setup file: copies of the release installer with one resource
// damaged each way a download can damage it. Each says so in one box,
// writes nothing (not even the registry probe's key) and ends with 1. The
// signed release too: its signature does not stand in for the payload check
// (the installer never reads it), which still refuses a flipped byte.
#include <gtest/gtest.h>
#include <stdio.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "install_walk.h"
#include "tests/release/pe_image.h"
#include "tests/win32/shell/shell_expect.h"

namespace {

// Damages the installer file in place, as a download can: bytes flipped or
// lost inside a resource, or a resource that cannot be found any more (its
// name in the resource directory altered).
bool Damage(const std::string& exe, const char* name, int how, size_t at)
{
    pe::Image image(exe);
    size_t offset;
    uint32_t size;
    if (!image.ResourceSpan({10, ""}, {0, name}, &offset, &size) || size == 0)
        return false;
    std::fstream file(exe, std::ios::in | std::ios::out | std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (how == 0) {
        bytes[offset + size * at / 16] ^= 0x10;
    } else if (how == 1) {
        // The second half of the stream lost: zeros where it was.
        std::fill(bytes.begin() + offset + size / 2, bytes.begin() + offset + size, '\0');
    } else {
        std::string wide;
        for (const char* c = name; *c; ++c)
            wide += std::string(1, *c) + '\0';
        size_t found = bytes.find(wide);
        if (found == std::string::npos)
            return false;
        bytes[found] ^= 0x01;
    }
    file.seekp(0);
    file.write(bytes.data(), (std::streamsize)bytes.size());
    return file.good();
}

enum { FLIP_BYTE, CUT_SHORT, REMOVE };

struct Case {
    const char* name;  // the resource damaged
    int damage;
    size_t at;         // FLIP_BYTE: which byte, as a share of the resource in 1/16ths
    bool signedRelease = false;  // a copy of the signed release (make release), not of this tree's
};

TEST(DamagedSetup, IsRefusedBeforeAnythingIsWritten)
{
    const Case cases[] = {
        {"PROGRAM_98", FLIP_BYTE, 8},  // a compressed stream, in its middle
        {"PROGRAM_XP", FLIP_BYTE, 1},
        {"CONTEXT", FLIP_BYTE, 15},    // near the end: the stream ends too early or too late
        {"WEBLINK", FLIP_BYTE, 8},     // the raw row
        {"INDEXER_98", CUT_SHORT, 0},  // a stream whose second half is lost
        {"LICENSE", REMOVE, 0},        // a text the wizard needs
        {"CHECKSUMS", REMOVE, 0},
        {"UPDATER", FLIP_BYTE, 8, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + (c.signedRelease ? " of the signed release" : ""));
        std::string original = ui::EnvPath(c.signedRelease ? "NOVLA_SIGNED_INSTALLER" : "NOVLA_INSTALLER");
        if (original.empty()) {
            printf("%s of the signed release: not tried, this tree runs no signed release\n", c.name);
            continue;
        }
        std::string copy = "C:\\damaged-setup.exe";
        ASSERT_TRUE(CopyFileA(original.c_str(), copy.c_str(), FALSE));
        ASSERT_TRUE(Damage(copy, c.name, c.damage, c.at));

        ui::Installer installer;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string command = "\"" + copy + "\"";
        ASSERT_TRUE(CreateProcessA(copy.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &installer.process));
        ui::MessageBox box;
        ASSERT_TRUE(ui::WaitForMessageBox(installer, box, "NOVLA Setup", 30000));
        EXPECT_EQ("The setup file is damaged. Please download it again.", box.text);
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), box.icon);
        EXPECT_TRUE(ui::FindFrame(installer) == nullptr);
        ui::AnswerMessageBox(box);
        EXPECT_EQ(1u, ui::WaitForExit(installer));
        ui::Kill(installer);

        HKEY maker;
        EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Novla", 0, KEY_READ, &maker));
        EXPECT_FALSE(expect::FileExists(install::kDefaultFolder));
        for (int row = 0; row < g_payloadTable.rowCount; ++row)
            EXPECT_FALSE(expect::FileExists(install::TargetOf(row, install::kDefaultFolder)));
        DeleteFileA(copy.c_str());
    }
}

}  // namespace
