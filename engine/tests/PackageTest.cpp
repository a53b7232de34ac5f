#include <windows.h>
#include <gtest/gtest.h>

#include "Crc32.h"
#include "Package.h"
#include "PackageBytes.h"
#include "TestSupport.h"

namespace {

// GBK bytes of the stored names "\使用说明.txt" and "\卸载Tessamo.exe".
const std::string ManualName = "\\\xca\xb9\xd3\xc3\xcb\xb5\xc3\xf7.txt";
const std::string UninstallerName = "\\\xd0\xb6\xd4\xd8Tessamo.exe";

class Unpacking : public testing::Test {
protected:
    // The extraction folder, not created yet, inside a throwaway folder.
    std::wstring Target() const { return scratch.Path() + L"temp"; }

    bool Unpack(const std::string& package)
    {
        return UnpackEntries(Bytes(package), package.size(), Target(), record);
    }

    ScopedTempDir scratch;
    ExtractionRecord record;
};

TEST_F(Unpacking, WritesEveryEntryUnderItsChineseName)
{
    const std::string package = PackageEntryBytes("\\data.dat", "scrambled") +
                                PackageEntryBytes("\\res\\one.png", "png bytes") +
                                PackageEntryBytes(ManualName, "manual") +
                                PackageEntryBytes(UninstallerName, "MZ");
    ASSERT_TRUE(Unpack(package));

    EXPECT_EQ(ReadBytesFile(Target() + L"\\data.dat"), "scrambled");
    EXPECT_EQ(ReadBytesFile(Target() + L"\\res\\one.png"), "png bytes");
    EXPECT_EQ(ReadBytesFile(Target() + L"\\使用说明.txt"), "manual");
    EXPECT_EQ(ReadBytesFile(Target() + L"\\卸载Tessamo.exe"), "MZ");
}

TEST_F(Unpacking, FirstEntryCreatesTheExtractionFolderAndRecordsIt)
{
    ASSERT_TRUE(Unpack(PackageEntryBytes("\\data.dat", "x") + PackageEntryBytes("\\sound\\a\\b.mid", "y")));

    EXPECT_TRUE(FileExists(Target() + L"\\data.dat"));
    const std::vector<std::wstring> folders{Target(), Target() + L"\\sound", Target() + L"\\sound\\a"};
    EXPECT_EQ(record.Folders(), folders);
    const std::vector<std::wstring> files{Target() + L"\\data.dat", Target() + L"\\sound\\a\\b.mid"};
    EXPECT_EQ(record.Files(), files);
    EXPECT_EQ(record.CrcOf(Target() + L"\\data.dat"), Crc32(Bytes("x"), 1)) << "the CRC-32 of what was written";
    EXPECT_EQ(record.CrcOf(Target() + L"\\sound\\a\\b.mid"), Crc32(Bytes("y"), 1));
    EXPECT_EQ(record.CrcOf(Target() + L"\\other.dat"), std::nullopt);
}

// The installer runs elevated; "temp" sits in a folder the user can write.
TEST_F(Unpacking, ALinkForTheExtractionFolderOrOnTheWayToAnEntryIsRefused)
{
    const std::wstring elsewhere = scratch.Path() + L"elsewhere";
    ASSERT_TRUE(::CreateDirectoryW(elsewhere.c_str(), nullptr));
    const std::string package = PackageEntryBytes("\\data.dat", "d") + PackageEntryBytes("\\res\\a.png", "p");

    ASSERT_TRUE(MakeFolderLink(Target(), elsewhere));
    EXPECT_FALSE(Unpack(package)) << "temp itself a link";
    EXPECT_FALSE(FileExists(elsewhere + L"\\data.dat"));

    const std::wstring other = scratch.Path() + L"other";
    ASSERT_TRUE(::CreateDirectoryW(other.c_str(), nullptr));
    ASSERT_TRUE(MakeFolderLink(other + L"\\res", elsewhere));
    ExtractionRecord second;
    EXPECT_FALSE(UnpackEntries(Bytes(package), package.size(), other, second)) << "a link inside temp";
    EXPECT_FALSE(FileExists(elsewhere + L"\\a.png"));
}

TEST_F(Unpacking, AFolderInLongPathFormIsCreatedBelowItsRoot)
{
    const std::string package = PackageEntryBytes("\\res\\a.png", "p");
    ASSERT_TRUE(UnpackEntries(Bytes(package), package.size(), L"\\\\?\\" + Target(), record));
    EXPECT_EQ(ReadBytesFile(Target() + L"\\res\\a.png"), "p");
}

TEST_F(Unpacking, ZeroLengthEntryGivesAnEmptyFile)
{
    ASSERT_TRUE(Unpack(PackageEntryBytes("\\empty.txt", "")));
    EXPECT_TRUE(FileExists(Target() + L"\\empty.txt"));
    EXPECT_EQ(ReadBytesFile(Target() + L"\\empty.txt"), "");
}

TEST_F(Unpacking, SecondRunOverwritesOurFilesAndKeepsUnrelatedOnes)
{
    ASSERT_TRUE(Unpack(PackageEntryBytes("\\data.dat", "first")));
    ASSERT_TRUE(WriteBytesFile(Target() + L"\\mine.txt", "user's"));

    ExtractionRecord second;
    const std::string package = PackageEntryBytes("\\data.dat", "second run");
    ASSERT_TRUE(UnpackEntries(Bytes(package), package.size(), Target(), second));

    EXPECT_EQ(ReadBytesFile(Target() + L"\\data.dat"), "second run");
    EXPECT_EQ(ReadBytesFile(Target() + L"\\mine.txt"), "user's");
    EXPECT_TRUE(second.Folders().empty());
}

// A stale program left locked in the extraction folder must not be installed as if it
// were the package's.
TEST_F(Unpacking, AnEntryThatCannotBeWrittenFailsTheExtraction)
{
    ASSERT_TRUE(Unpack(PackageEntryBytes("\\Pinvora.exe", "old")));
    HANDLE locked = ::CreateFileW((Target() + L"\\Pinvora.exe").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);

    ExtractionRecord second;
    const std::string package = PackageEntryBytes("\\data.dat", "d") + PackageEntryBytes("\\Pinvora.exe", "new");
    const bool unpacked = UnpackEntries(Bytes(package), package.size(), Target(), second);
    ::CloseHandle(locked);

    EXPECT_FALSE(unpacked);
    EXPECT_EQ(ReadBytesFile(Target() + L"\\Pinvora.exe"), "old");
    EXPECT_EQ(second.Files(), std::vector<std::wstring>{Target() + L"\\data.dat"}) << "what was written is recorded";
}

TEST_F(Unpacking, FolderThatCannotBeCreatedStopsTheExtraction)
{
    ASSERT_TRUE(::CreateDirectoryW(Target().c_str(), nullptr));
    ASSERT_TRUE(WriteBytesFile(Target() + L"\\res", "a file where a folder should be"));

    EXPECT_FALSE(Unpack(PackageEntryBytes("\\data.dat", "d") + PackageEntryBytes("\\res\\a.png", "p")));
    EXPECT_TRUE(FileExists(Target() + L"\\data.dat"));
}

TEST_F(Unpacking, RefusesMalformedPackagesAndWritesNothing)
{
    const std::string good = PackageEntryBytes("\\data.dat", "d");
    const struct {
        const char* what;
        std::string package;
    } cases[] = {
        {"empty", ""},
        {"no header", "not a package"},
        {"payload past the end", good + "<#_this_is_tag_#>name:\\b length:50</#_this_is_tag_#>short"},
        {"parent folder", good + PackageEntryBytes("\\..\\escaped.txt", "x")},
        {"parent folder deeper down", PackageEntryBytes("\\res\\..\\..\\escaped.txt", "x")},
        {"drive letter", PackageEntryBytes("\\C:\\escaped.txt", "x")},
        {"second root", PackageEntryBytes("\\\\escaped.txt", "x")},
        {"empty segment", PackageEntryBytes("\\res\\\\escaped.txt", "x")},
        {"no leading backslash", PackageEntryBytes("escaped.txt", "x")},
        {"not GBK", PackageEntryBytes("\\\x81\x20.txt", "x")},
        {"NUL in the name", PackageEntryBytes(std::string("\\a\0b", 4), "x")},
    };
    for (const auto& c : cases) {
        ExtractionRecord refused;
        EXPECT_FALSE(UnpackEntries(Bytes(c.package), c.package.size(), Target(), refused)) << c.what;
        EXPECT_TRUE(refused.Files().empty()) << c.what;
        EXPECT_FALSE(FileExists(Target())) << c.what;
        EXPECT_FALSE(FileExists(scratch.Path() + L"escaped.txt")) << c.what;
    }
    EXPECT_FALSE(UnpackEntries(nullptr, 10, Target(), record));
}

TEST(SetupPackage, LoadsTheResourceBytesExactly)
{
    const auto bytes = FindResourceBytes(SetupPackageId, SetupPackageType);
    ASSERT_TRUE(bytes);
    const std::string expected = PackageEntryBytes("\\hello.txt", "hello") +
                                 PackageEntryBytes("\\sub\\world.txt", "world");
    EXPECT_EQ(std::string(bytes->data, bytes->data + bytes->size), expected);
}

TEST(SetupPackage, ExtractionFolderIsTempBesideTheProgram)
{
    wchar_t module[MAX_PATH];
    ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    EXPECT_EQ(ProgramPath(), module);
    std::wstring expected = module;
    expected = expected.substr(0, expected.rfind(L'\\')) + L"\\temp";
    EXPECT_EQ(ExtractionDirectory(), expected);
}

struct CheckCase {
    const char* what;
    int packageId;
    int recordId;
    std::optional<uint32_t> recorded;
    bool passed;
};

TEST(SetupPackage, CheckComparesTheCrcWithTheRecordOfTheSameId)
{
    const CheckCase cases[] = {
        {"the recorded value", SetupPackageId, SetupPackageId, 0xC5239A71u, true},
        {"another package's value", SetupPackageId + 1, SetupPackageId + 1, 0xC5239A71u, false},
        {"no record", SetupPackageId, SetupPackageId + 100, std::nullopt, false},
        {"a record of three bytes", SetupPackageId, SetupPackageId + 2, std::nullopt, false},
    };
    for (const CheckCase& c : cases) {
        const auto package = FindResourceBytes(c.packageId, SetupPackageType);
        ASSERT_TRUE(package) << c.what;
        const PackageCheck check = CheckPackage(PackageSource::Locate(*package), c.recordId);
        EXPECT_EQ(check.computed, Crc32(package->data, package->size)) << c.what;
        EXPECT_EQ(check.recorded, c.recorded) << c.what;
        EXPECT_EQ(check.Passed(), c.passed) << c.what;
    }
}

TEST(SetupPackage, IsReadFromTheProgramsFileWithTheBytesTheLoaderMapped)
{
    const auto resource = FindResourceBytes(SetupPackageId, SetupPackageType);
    ASSERT_TRUE(resource);
    const PackageSource package = PackageSource::Locate(*resource);
    EXPECT_TRUE(package.ReadsTheFile());

    std::string read(package.Size(), '\0');
    ASSERT_TRUE(package.Read(0, read.size(), reinterpret_cast<uint8_t*>(read.data())));
    EXPECT_EQ(read, std::string(resource->data, resource->data + resource->size));
    char tail[6] = {};
    EXPECT_TRUE(package.Read(package.Size() - 5, 5, reinterpret_cast<uint8_t*>(tail)));
    EXPECT_STREQ(tail, "world");
    EXPECT_FALSE(package.Read(package.Size() - 5, 6, reinterpret_cast<uint8_t*>(tail)));
    EXPECT_FALSE(package.Read(SIZE_MAX, 2, reinterpret_cast<uint8_t*>(tail)));
}

TEST(SetupPackage, AModuleLoadedAsADataFileIsReadWhereItIsMapped)
{
    ScopedTempDir scratch;
    const std::wstring copy = scratch.Path() + L"copy.exe";
    ASSERT_TRUE(::CopyFileW(ProgramPath().c_str(), copy.c_str(), TRUE));
    HMODULE data = ::LoadLibraryExW(copy.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(data);
    const auto resource = FindResourceBytes(SetupPackageId, SetupPackageType, data);
    ASSERT_TRUE(resource);
    const PackageSource package = PackageSource::Locate(*resource, data);
    EXPECT_FALSE(package.ReadsTheFile());
    EXPECT_TRUE(CheckPackage(package, SetupPackageId, data).Passed());
    ::FreeLibrary(data);
}

TEST_F(Unpacking, ThePackageIsUnpackedFromTheProgramsFile)
{
    const auto resource = FindResourceBytes(SetupPackageId, SetupPackageType);
    ASSERT_TRUE(resource);
    ASSERT_TRUE(UnpackEntries(PackageSource::Locate(*resource), Target(), record));
    EXPECT_EQ(ReadBytesFile(Target() + L"\\hello.txt"), "hello");
    EXPECT_EQ(ReadBytesFile(Target() + L"\\sub\\world.txt"), "world");
}

TEST(SetupPackage, APackageThatCannotBeReadFailsItsCheck)
{
    const PackageCheck check = CheckPackage(PackageSource(ResourceBytes{nullptr, 10}), SetupPackageId);
    EXPECT_FALSE(check.computed);
    EXPECT_FALSE(check.Passed());
}

} // namespace
