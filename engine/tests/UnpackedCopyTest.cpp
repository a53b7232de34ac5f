// Copies out of the extraction folder, which any program of the user can write.
#include <windows.h>
#include <gtest/gtest.h>

#include "Package.h"
#include "PackageBytes.h"
#include "TestSupport.h"
#include "UnpackedCopy.h"

namespace {

class UnpackedFiles : public testing::Test {
protected:
    void SetUp() override
    {
        const std::string package = PackageEntryBytes("\\Pinvora.exe", "the package's program") +
                                    PackageEntryBytes("\\res\\a.png", "picture");
        ASSERT_TRUE(UnpackEntries(Bytes(package), package.size(), source, record));
        ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
    }

    ScopedTempDir temp;
    const std::wstring source = temp.Path() + L"temp";
    const std::wstring target = temp.Path() + L"Tessamo\\";
    ExtractionRecord record;
};

TEST_F(UnpackedFiles, AnIntactFileIsCopied)
{
    EXPECT_EQ(CopyUnpackedFile(record, source + L"\\Pinvora.exe", target + L"Pinvora.exe"), UnpackedCopy::Copied);
    EXPECT_EQ(ReadBytesFile(target + L"Pinvora.exe"), "the package's program");
}

TEST_F(UnpackedFiles, AFileReplacedSinceItWasUnpackedIsNotCopied)
{
    ASSERT_TRUE(::DeleteFileW((source + L"\\Pinvora.exe").c_str()));
    ASSERT_TRUE(WriteBytesFile(source + L"\\Pinvora.exe", "someone else's program"));
    ASSERT_TRUE(WriteBytesFile(target + L"Pinvora.exe", "the installed one"));

    EXPECT_EQ(CopyUnpackedFile(record, source + L"\\Pinvora.exe", target + L"Pinvora.exe"), UnpackedCopy::Changed);
    EXPECT_EQ(ReadBytesFile(target + L"Pinvora.exe"), "the installed one") << "left as it was";
}

TEST_F(UnpackedFiles, AFileTheExtractionDidNotWriteIsNotCopied)
{
    ASSERT_TRUE(WriteBytesFile(source + L"\\res\\planted.dll", "not from the package"));
    EXPECT_EQ(CopyUnpackedFile(record, source + L"\\res\\planted.dll", target + L"planted.dll"), UnpackedCopy::Changed);
    EXPECT_FALSE(FileExists(target + L"planted.dll"));
}

TEST_F(UnpackedFiles, WhileHeldAFileCannotBeChangedRenamedOrDeleted)
{
    const std::wstring program = source + L"\\Pinvora.exe";
    const HeldUnpackedFile held(record, program);
    ASSERT_TRUE(held.Intact());
    const HANDLE writer = ::CreateFileW(program.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(::MoveFileW(program.c_str(), (source + L"\\moved.exe").c_str()));
    EXPECT_FALSE(::DeleteFileW(program.c_str()));
    EXPECT_TRUE(held.CopyTo(target + L"Pinvora.exe", true));
    EXPECT_EQ(ReadBytesFile(target + L"Pinvora.exe"), "the package's program");
}

// Small files are copied from what the check read, larger ones piece by piece: each size
// around the piece of 1 MiB comes out byte for byte.
TEST(UnpackedCopy, EverySizeIsCopiedByteForByte)
{
    ScopedTempDir temp;
    const std::wstring source = temp.Path() + L"temp";
    std::string package;
    const size_t sizes[] = {0, 1, (1 << 20) - 1, 1 << 20, (1 << 20) + 1, (5 << 19) + 7};
    for (size_t size : sizes) {
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>(i * 131 + i / 4099);
        package += PackageEntryBytes("\\f" + std::to_string(size), bytes);
    }
    ExtractionRecord record;
    ASSERT_TRUE(UnpackEntries(Bytes(package), package.size(), source, record));
    for (size_t size : sizes) {
        const std::wstring from = source + L"\\f" + std::to_wstring(size);
        const std::wstring to = temp.Path() + L"copy-" + std::to_wstring(size);
        EXPECT_EQ(CopyUnpackedFile(record, from, to), UnpackedCopy::Copied) << size;
        EXPECT_EQ(ReadBytesFile(to), ReadBytesFile(from)) << size;
        EXPECT_EQ(ReadBytesFile(to).size(), size);
    }
}

} // namespace
