#include <windows.h>
#include <gtest/gtest.h>

#include "DirectoryTree.h"
#include "TestSupport.h"

namespace {

TEST(DirectoryTree, DeletesNestedFoldersWithAllTheirFiles)
{
    ScopedTempDir scratch;
    const std::wstring top = scratch.Path() + L"temp";
    for (const wchar_t* folder : {L"", L"\\res", L"\\res\\deep", L"\\res\\deep\\deeper", L"\\空"})
        ASSERT_TRUE(::CreateDirectoryW((top + folder).c_str(), nullptr));
    for (const wchar_t* file : {L"\\data.dat", L"\\res\\a.png", L"\\res\\deep\\deeper\\b.mid", L"\\使用说明.txt"})
        ASSERT_TRUE(WriteBytesFile(top + file, "x"));

    EXPECT_TRUE(DeleteDirectoryTree(top));
    EXPECT_FALSE(FileExists(top));
    EXPECT_TRUE(FileExists(scratch.Path()));
}

TEST(DirectoryTree, ALinkedFolderGoesAsALinkAndWhatItPointsToStays)
{
    ScopedTempDir scratch;
    const std::wstring elsewhere = scratch.Path() + L"elsewhere";
    ASSERT_TRUE(::CreateDirectoryW(elsewhere.c_str(), nullptr));
    ASSERT_TRUE(WriteBytesFile(elsewhere + L"\\keep.txt", "x"));
    const std::wstring top = scratch.Path() + L"temp";
    ASSERT_TRUE(::CreateDirectoryW(top.c_str(), nullptr));
    ASSERT_TRUE(MakeFolderLink(top + L"\\res", elsewhere));
    ASSERT_TRUE(MakeFolderLink(scratch.Path() + L"link", elsewhere));

    DeleteDirectoryTree(top);
    DeleteDirectoryTree(scratch.Path() + L"link");
    EXPECT_EQ(ReadBytesFile(elsewhere + L"\\keep.txt"), "x");
}

TEST(DirectoryTree, ReportsAFolderThatIsNotThere)
{
    ScopedTempDir scratch;
    EXPECT_FALSE(DeleteDirectoryTree(scratch.Path() + L"missing"));
}

TEST(DirectoryTree, ReportsFailureWhenALockedFileKeepsTheFolder)
{
    ScopedTempDir scratch;
    const std::wstring top = scratch.Path() + L"temp";
    ASSERT_TRUE(::CreateDirectoryW(top.c_str(), nullptr));
    ASSERT_TRUE(WriteBytesFile(top + L"\\locked.exe", "x"));
    ASSERT_TRUE(WriteBytesFile(top + L"\\free.txt", "x"));
    HANDLE locked = ::CreateFileW((top + L"\\locked.exe").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);

    const bool deleted = DeleteDirectoryTree(top);
    ::CloseHandle(locked);

    EXPECT_FALSE(deleted);
    EXPECT_FALSE(FileExists(top + L"\\free.txt"));
    EXPECT_TRUE(FileExists(top + L"\\locked.exe"));
}

} // namespace
