#include <windows.h>
#include <gtest/gtest.h>

#include "Package.h"
#include "PackageBytes.h"
#include "TestSupport.h"

namespace {

const std::string ThePackage = PackageEntryBytes("\\data.dat", "d") +
                               PackageEntryBytes("\\res\\a.png", "p") +
                               PackageEntryBytes("\\sound\\s.wav", "w");

TEST(ExtractionRecord, CleanUpOfANewFolderRemovesItWhole)
{
    ScopedTempDir scratch;
    const std::wstring target = scratch.Path() + L"temp";
    ExtractionRecord record;
    ASSERT_TRUE(UnpackEntries(Bytes(ThePackage), ThePackage.size(), target, record));

    EXPECT_TRUE(record.RemoveRecorded());
    EXPECT_FALSE(FileExists(target));
}

TEST(ExtractionRecord, CleanUpOfAnExistingFolderLeavesTheUsersFiles)
{
    ScopedTempDir scratch;
    const std::wstring target = scratch.Path() + L"temp";
    ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((target + L"\\res").c_str(), nullptr));
    ASSERT_TRUE(WriteBytesFile(target + L"\\我的笔记.txt", "mine"));
    ASSERT_TRUE(WriteBytesFile(target + L"\\res\\photo.png", "mine too"));

    ExtractionRecord record;
    ASSERT_TRUE(UnpackEntries(Bytes(ThePackage), ThePackage.size(), target, record));
    EXPECT_TRUE(record.RemoveRecorded());

    EXPECT_EQ(ReadBytesFile(target + L"\\我的笔记.txt"), "mine");
    EXPECT_EQ(ReadBytesFile(target + L"\\res\\photo.png"), "mine too");
    EXPECT_FALSE(FileExists(target + L"\\data.dat"));
    EXPECT_FALSE(FileExists(target + L"\\res\\a.png"));
    EXPECT_FALSE(FileExists(target + L"\\sound"));
}

TEST(ExtractionRecord, FolderOfOursThatGainedAForeignFileStays)
{
    ScopedTempDir scratch;
    const std::wstring target = scratch.Path() + L"temp";
    ExtractionRecord record;
    ASSERT_TRUE(UnpackEntries(Bytes(ThePackage), ThePackage.size(), target, record));
    ASSERT_TRUE(WriteBytesFile(target + L"\\sound\\added later.wav", "not ours"));

    EXPECT_FALSE(record.RemoveRecorded());
    EXPECT_EQ(ReadBytesFile(target + L"\\sound\\added later.wav"), "not ours");
    EXPECT_FALSE(FileExists(target + L"\\sound\\s.wav"));
    EXPECT_FALSE(FileExists(target + L"\\res"));
}

TEST(ExtractionRecord, CleanUpNeverDeletesThroughALinkPlantedSinceTheExtraction)
{
    ScopedTempDir scratch;
    const std::wstring target = scratch.Path() + L"temp";
    const std::wstring elsewhere = scratch.Path() + L"elsewhere";
    ExtractionRecord record;
    ASSERT_TRUE(UnpackEntries(Bytes(ThePackage), ThePackage.size(), target, record));
    ASSERT_TRUE(::CreateDirectoryW(elsewhere.c_str(), nullptr));
    ASSERT_TRUE(WriteBytesFile(elsewhere + L"\\a.png", "someone else's"));
    ASSERT_TRUE(::DeleteFileW((target + L"\\res\\a.png").c_str()));
    ASSERT_TRUE(::RemoveDirectoryW((target + L"\\res").c_str()));
    ASSERT_TRUE(MakeFolderLink(target + L"\\res", elsewhere));

    EXPECT_FALSE(record.RemoveRecorded());
    EXPECT_EQ(ReadBytesFile(elsewhere + L"\\a.png"), "someone else's");
    EXPECT_FALSE(FileExists(target + L"\\data.dat"));
}

} // namespace
