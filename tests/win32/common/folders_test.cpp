// wine-versions: win7
// Folder helpers on real folders: existence, creation of folder chains, and
// the emptying of a folder tree.
#include <gtest/gtest.h>

#include <string>

#include "common/fault_seam.h"
#include "common/folders.h"
#include "common/win32.h"

namespace {

const std::string kRoot = "C:\\novla-folders";

void WriteFileAt(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    DWORD written;
    WriteFile(file, "data", 4, &written, NULL);
    CloseHandle(file);
    SetFileAttributesA(path.c_str(), attributes);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
bool IsFolder(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

class Folders : public ::testing::Test {
protected:
    void SetUp() override
    {
        FaultSelect(nullptr, 0, false);
        CreateDirectoryA(kRoot.c_str(), NULL);
    }
};

TEST_F(Folders, PathExistsForFilesAndFoldersAlike)
{
    WriteFileAt(kRoot + "\\file.txt");
    EXPECT_TRUE(PathExists((kRoot + "\\file.txt").c_str()));
    EXPECT_TRUE(PathExists(kRoot.c_str()));
    EXPECT_FALSE(PathExists((kRoot + "\\missing").c_str()));
    EXPECT_FALSE(PathExists("Q:\\no\\such\\drive"));
}

TEST_F(Folders, CreateFolderChainMakesEveryMissingLevelShortestFirst)
{
    // Only C:\novla-folders\X exists; Y and Z come in that order.
    ASSERT_TRUE(CreateDirectoryA((kRoot + "\\X").c_str(), NULL));
    FaultSelect("CreateDirectoryA", 0, false);  // count, fail nothing
    EXPECT_TRUE(CreateFolderChain((kRoot + "\\X\\Y\\Z").c_str()));
    EXPECT_TRUE(IsFolder(kRoot + "\\X\\Y"));
    EXPECT_TRUE(IsFolder(kRoot + "\\X\\Y\\Z"));

    // Failing the first creation (Y) still tries the deeper level, and the
    // result is that of the last creation made.
    FaultSelect("CreateDirectoryA", 1, false);
    EXPECT_FALSE(CreateFolderChain((kRoot + "\\F\\G").c_str()));
    EXPECT_TRUE(FaultFired());
    EXPECT_FALSE(IsFolder(kRoot + "\\F"));
    FaultSelect("CreateDirectoryA", 2, false);
    EXPECT_FALSE(CreateFolderChain((kRoot + "\\H\\I").c_str()));
    EXPECT_TRUE(IsFolder(kRoot + "\\H"));
    EXPECT_FALSE(IsFolder(kRoot + "\\H\\I"));
    FaultSelect(nullptr, 0, false);
}

TEST_F(Folders, CreateFolderChainOnExistingPathsAndRoots)
{
    // Nothing to create: true, no CreateDirectoryA made.
    FaultSelect("CreateDirectoryA", 1, true);
    EXPECT_TRUE(CreateFolderChain(kRoot.c_str()));
    EXPECT_TRUE(CreateFolderChain("C:\\"));
    EXPECT_FALSE(FaultFired());
    FaultSelect(nullptr, 0, false);

    // A trailing backslash: the whole path, backslash last, is tested too.
    EXPECT_TRUE(CreateFolderChain((kRoot + "\\T1\\T2\\").c_str()));
    EXPECT_TRUE(IsFolder(kRoot + "\\T1\\T2"));
}

TEST_F(Folders, CreateFolderChainCreatesNothingWithoutADriveRoot)
{
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    SetCurrentDirectoryA(kRoot.c_str());
    EXPECT_FALSE(CreateFolderChain("relative\\sub"));
    EXPECT_FALSE(CreateFolderChain("\\\\server\\share\\x"));
    EXPECT_FALSE(CreateFolderChain(""));
    EXPECT_FALSE(CreateFolderChain("\\"));
    EXPECT_FALSE(Exists(kRoot + "\\relative"));
    SetCurrentDirectoryA(current);

    std::string tooLong = kRoot + "\\" + std::string(250, 'n');  // 267 characters
    EXPECT_FALSE(CreateFolderChain(tooLong.c_str()));
}

TEST_F(Folders, ClearFolderDeletesEveryFileAndKeepsEveryFolder)
{
    std::string top = kRoot + "\\clear";
    CreateFolderChain((top + "\\sub\\deeper").c_str());
    CreateFolderChain((top + "\\.hidden").c_str());
    WriteFileAt(top + "\\plain.txt");
    WriteFileAt(top + "\\readonly.txt", FILE_ATTRIBUTE_READONLY);
    WriteFileAt(top + "\\.dotfile");
    WriteFileAt(top + "\\sub\\hidden.sys", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    WriteFileAt(top + "\\sub\\deeper\\deep.bin");
    WriteFileAt(top + "\\.hidden\\kept.txt");

    EXPECT_TRUE(ClearFolder(top.c_str()));
    EXPECT_FALSE(Exists(top + "\\plain.txt"));
    EXPECT_FALSE(Exists(top + "\\readonly.txt"));
    EXPECT_FALSE(Exists(top + "\\.dotfile"));
    EXPECT_FALSE(Exists(top + "\\sub\\hidden.sys"));
    EXPECT_FALSE(Exists(top + "\\sub\\deeper\\deep.bin"));
    EXPECT_TRUE(IsFolder(top + "\\sub\\deeper"));
    // A dot-named folder is not entered.
    EXPECT_TRUE(Exists(top + "\\.hidden\\kept.txt"));
}

TEST_F(Folders, ClearFolderOnAMissingFolderChangesNothing)
{
    WriteFileAt(kRoot + "\\neighbour.txt");
    EXPECT_FALSE(ClearFolder((kRoot + "\\missing").c_str()));
    EXPECT_TRUE(Exists(kRoot + "\\neighbour.txt"));
}

TEST_F(Folders, ClearFolderGoesOnPastFilesItCannotDelete)
{
    std::string top = kRoot + "\\busy";
    CreateFolderChain(top.c_str());
    WriteFileAt(top + "\\a.txt");
    WriteFileAt(top + "\\b.txt");
    WriteFileAt(top + "\\c.txt");
    FaultSelect("DeleteFileA", 1, false);
    EXPECT_TRUE(ClearFolder(top.c_str()));
    FaultSelect(nullptr, 0, false);
    int left = Exists(top + "\\a.txt") + Exists(top + "\\b.txt") + Exists(top + "\\c.txt");
    EXPECT_EQ(1, left);
}

}  // namespace
