#include <gtest/gtest.h>

#include <windows.h>

#include "DataFile.h"
#include "TestSupport.h"

namespace {

int CountEntries(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    int count = 0;
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            ++count;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return count;
}

TEST(DataFile, ReplacingWritesTheNewBytesAndLeavesNoTemporaryFile)
{
    ScopedTempDir dir;
    std::wstring path = dir.Path() + L"timer.dat";
    ASSERT_TRUE(WriteBytesFile(path, std::string(5000, 'o')));

    std::string bytes("new\0bytes", 9);
    EXPECT_TRUE(ReplaceFileBytes(path, bytes));
    EXPECT_EQ(ReadBytesFile(path), bytes);
    EXPECT_EQ(CountEntries(dir.Path()), 1);
}

TEST(DataFile, ReplacingCreatesAMissingFile)
{
    ScopedTempDir dir;
    std::wstring path = dir.Path() + L"模板.xml";
    EXPECT_TRUE(ReplaceFileBytes(path, "abc"));
    EXPECT_EQ(ReadFileBytes(path), std::optional<std::string>("abc"));
}

TEST(DataFile, AFailedReplaceKeepsTheTargetAndCleansUp)
{
    ScopedTempDir dir;
    std::wstring target = dir.Path() + L"template-utf8.xml";
    ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));

    EXPECT_FALSE(ReplaceFileBytes(target, "abc"));
    EXPECT_NE(::GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(CountEntries(dir.Path()), 1);
}

TEST(DataFile, ReplacingInAMissingFolderFails)
{
    ScopedTempDir dir;
    EXPECT_FALSE(ReplaceFileBytes(dir.Path() + L"missing\\timer.dat", "abc"));
}

TEST(DataFile, ReadingAMissingFileGivesNothing)
{
    ScopedTempDir dir;
    EXPECT_FALSE(ReadFileBytes(dir.Path() + L"data.dat"));
    ASSERT_TRUE(WriteBytesFile(dir.Path() + L"empty", ""));
    EXPECT_EQ(ReadFileBytes(dir.Path() + L"empty"), std::optional<std::string>(""));
}

} // namespace
