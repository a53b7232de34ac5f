// The package inside the built TessamoSetup.exe, unpacked by the installer's own code.
// The listing and the programs it is compared with come from this build, so those cases
// read this build's installer; the shipped PE32 file's package is checked on its own.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "BuiltPackage.h"
#include "Package.h"
#include "PackageFormat.h"
#include "TestSupport.h"

namespace {

const wchar_t* const ThisBuildsSetupExe = L"C:\\bin\\TessamoSetup.exe";

std::vector<uint8_t> BuiltPackage(const wchar_t* setupExe = ThisBuildsSetupExe)
{
    HMODULE setup = ::LoadLibraryExW(setupExe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!setup)
        return {};
    std::vector<uint8_t> bytes;
    if (const auto package = FindResourceBytes(SetupPackageId, SetupPackageType, setup))
        bytes.assign(package->data, package->data + package->size);
    ::FreeLibrary(setup);
    return bytes;
}

std::wstring DecodeGbk(const std::string& bytes)
{
    std::wstring text(bytes.size(), L'\0');
    const int length = ::MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                             static_cast<int>(text.size()));
    text.resize(length);
    return text;
}

// The notes application's byte scrambling undone: invert, then rotate right by
// (i mod 7) + 1.
std::string Unscramble(const std::string& bytes)
{
    std::string plain(bytes.size(), '\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned k = i % 7 + 1;
        const unsigned inverted = static_cast<unsigned char>(~bytes[i]);
        plain[i] = static_cast<char>(((inverted >> k) | (inverted << (8 - k))) & 0xFF);
    }
    return plain;
}

TEST(BuiltPackage, HoldsTheNineteenEntriesInTheirFixedOrder)
{
    const std::vector<uint8_t> package = BuiltPackage(ShippedSetupExe);
    const auto entries = ParsePackage(package.data(), package.size());
    ASSERT_TRUE(entries);
    std::vector<std::wstring> names;
    for (const PackageEntry& entry : *entries)
        names.push_back(DecodeGbk(entry.name));
    const std::vector<std::wstring> expected{
        L"\\data.dat",
        L"\\Pinvora.exe",
        L"\\res\\2020414132329879.png",
        L"\\res\\2020419423246.png",
        L"\\res\\20204194327671.png",
        L"\\res\\2020420195131818.png",
        L"\\res\\2020421192729143.png",
        L"\\res\\2020422135529632.png",
        L"\\res\\2020422174846835.png",
        L"\\res\\202042217722349.png",
        L"\\sound\\sound1.wav",
        L"\\sound\\sound2.mid",
        L"\\sound\\sound3.mid",
        L"\\sound\\sound4.mid",
        L"\\sound\\sound5.mid",
        L"\\sound\\sound6.mid",
        L"\\template-utf8.xml",
        L"\\使用说明.txt",
        L"\\卸载Tessamo.exe",
    };
    EXPECT_EQ(names, expected);
}

// The record is written by the build's packer (zlib's crc32) and checked by the
// installer's own routine, in this build's installer and the shipped one.
TEST(BuiltPackage, CarriesItsCrc32AsFourBytesThatTheInstallerAccepts)
{
    for (const wchar_t* setupExe : {ThisBuildsSetupExe, ShippedSetupExe}) {
        SCOPED_TRACE(ToUtf8(setupExe));
        HMODULE setup = ::LoadLibraryExW(setupExe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(setup);
        const auto package = FindResourceBytes(SetupPackageId, SetupPackageType, setup);
        const auto record = FindResourceBytes(SetupPackageId, SetupPackageCrcType, setup);
        ASSERT_TRUE(package);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->size, 4u);
        EXPECT_TRUE(CheckPackage(PackageSource(*package), SetupPackageId, setup).Passed());
        ::FreeLibrary(setup);
    }
}

class UnpackedPayload : public testing::Test {
protected:
    void SetUp() override
    {
        const std::vector<uint8_t> package = BuiltPackage();
        ASSERT_TRUE(UnpackEntries(package.data(), package.size(), Target(), record));
    }
    std::wstring Target() const { return scratch.Path() + L"temp"; }
    std::string Read(const wchar_t* name) const { return ReadBytesFile(Target() + name); }

    ScopedTempDir scratch;
    ExtractionRecord record;
};

TEST_F(UnpackedPayload, PicturesAndSoundsAreRealFilesOfTheirKind)
{
    const struct {
        const wchar_t* name;
        std::string signature;
        size_t at;
    } cases[] = {
        {L"\\res\\2020414132329879.png", "\x89PNG\r\n\x1a\n", 0},
        {L"\\res\\202042217722349.png", "\x89PNG\r\n\x1a\n", 0},
        {L"\\sound\\sound1.wav", "WAVEfmt ", 8},
        {L"\\sound\\sound2.mid", "MThd", 0},
        {L"\\sound\\sound6.mid", "MThd", 0},
        {L"\\Pinvora.exe", "MZ", 0},
        {L"\\卸载Tessamo.exe", "MZ", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.name).substr(c.at, c.signature.size()), c.signature) << ToUtf8(c.name);
}

TEST_F(UnpackedPayload, DataFileIsAScrambledVersion16FileWithAWelcomeNote)
{
    const std::string scrambled = Read(L"\\data.dat");
    ASSERT_NE(scrambled.substr(0, 5), "<?xml");
    const std::wstring text = DecodeGbk(Unscramble(scrambled));
    EXPECT_EQ(text.find(L"<?xml version=\"1.0\" encoding=\"gb2312\"?>"), 0u);
    EXPECT_NE(text.find(L"<config ver=\"1.6\">"), std::wstring::npos);
    EXPECT_NE(text.find(L"<notes>"), std::wstring::npos);
    EXPECT_NE(text.find(L"欢迎使用Tessamo"), std::wstring::npos);
}

TEST_F(UnpackedPayload, TemplateListOpensWithTheBlueNotebook)
{
    const std::string text = Read(L"\\template-utf8.xml");
    const std::string opening = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<config>\r\n\t<templates>\r\n";
    ASSERT_EQ(text.substr(0, opening.size()), opening);
    const std::string firstRecord =
        u8"\t\t<template id=\"158738349100000822\" image=\"res\\2020420195131818.png\" x1=\"0.100000\" y1=\"0.325000\" x2=\"0.900000\" y2=\"0.754167\" min_w=\"120\" min_h=\"120\" stretch_x1=\"21\" stretch_x2=\"92\" stretch_y1=\"16\" stretch_y2=\"91\" checkbox_alpha=\"255\" checkbox_id=\"0\" checkbox_color=\"11046493\" support_taskmode=\"1\" default_taskmode=\"0\" unchecked_color=\"12035717\" showline=\"1\" line_color=\"12824975\" line_width=\"2\" line_space=\"10\" line_style=\"1\" color_text=\"1\" support_title=\"1\" title_x1=\"0.100000\" title_x2=\"0.900000\" title_y=\"0.087500\" title_color=\"8021828\" title_fontsize=\"110\" title_bold=\"1\" ><![CDATA[蓝色记事本]]></template>\r\n";
    EXPECT_EQ(text.substr(opening.size(), firstRecord.size()), firstRecord);
    const std::string closing = "\t</templates>\r\n</config>";
    ASSERT_GE(text.size(), closing.size());
    EXPECT_EQ(text.substr(text.size() - closing.size()), closing);
    size_t records = 0;
    for (size_t at = text.find("<template "); at != std::string::npos; at = text.find("<template ", at + 1))
        ++records;
    EXPECT_EQ(records, 8u);
}

TEST_F(UnpackedPayload, ManualIsChineseText)
{
    const std::string manual = Read(L"\\使用说明.txt");
    ASSERT_EQ(manual.substr(0, 3), "\xef\xbb\xbf");
    EXPECT_NE(manual.find(u8"卸载"), std::string::npos);
}

size_t CountFiles(const std::wstring& folder)
{
    size_t count = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? CountFiles(folder + L"\\" + name) : 1;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return count;
}

TEST(BuiltPackage, UnpacksIntoTheNineteenPayloadFilesUnderTheirNames)
{
    // Set by the run under a Western locale (see CMakeLists.txt), to be sure it took.
    if (const char* expected = std::getenv("TESSAMO_EXPECT_ACP")) {
        ASSERT_EQ(::GetACP(), static_cast<UINT>(std::atoi(expected)));
    }

    const std::vector<uint8_t> package = BuiltPackage();
    ASSERT_FALSE(package.empty());

    ScopedTempDir scratch;
    const std::wstring target = scratch.Path() + L"temp";
    ExtractionRecord record;
    ASSERT_TRUE(UnpackEntries(package.data(), package.size(), target, record));

    ASSERT_EQ(std::size(BuiltPackageEntries), 19u);
    EXPECT_EQ(CountFiles(target), 19u);
    for (const BuiltPackageEntry& entry : BuiltPackageEntries) {
        const std::wstring path = target + entry.name;
        ASSERT_TRUE(FileExists(path)) << ToUtf8(entry.name);
        const std::string bytes = ReadBytesFile(path);
        EXPECT_EQ(bytes.size(), entry.size) << ToUtf8(entry.name);
        EXPECT_EQ(Fnv1a(bytes), entry.fnv1a) << ToUtf8(entry.name);
    }
    EXPECT_TRUE(FileExists(target + L"\\使用说明.txt"));
    EXPECT_TRUE(FileExists(target + L"\\卸载Tessamo.exe"));
}

TEST(BuiltPackage, CarriesTheBuiltProgramsByteForByte)
{
    const std::vector<uint8_t> package = BuiltPackage();
    ASSERT_FALSE(package.empty());

    ScopedTempDir scratch;
    ExtractionRecord record;
    ASSERT_TRUE(UnpackEntries(package.data(), package.size(), scratch.Path() + L"temp", record));
    // Compared whole; a difference is not worth printing.
    EXPECT_TRUE(ReadBytesFile(scratch.Path() + L"temp\\Pinvora.exe") == ReadBytesFile(L"C:\\bin\\Pinvora.exe"));
    EXPECT_TRUE(ReadBytesFile(scratch.Path() + L"temp\\卸载Tessamo.exe") ==
                ReadBytesFile(L"C:\\bin\\TessamoUninstaller.exe"));
}

TEST(BuiltPackage, ShippedPackageCarries32BitPrograms)
{
    const std::vector<uint8_t> package = BuiltPackage(ShippedSetupExe);
    ScopedTempDir scratch;
    ExtractionRecord record;
    ASSERT_TRUE(UnpackEntries(package.data(), package.size(), scratch.Path() + L"temp", record));
    EXPECT_TRUE(IsPe32GuiProgram(ReadBytesFile(scratch.Path() + L"temp\\Pinvora.exe")));
    EXPECT_TRUE(IsPe32GuiProgram(ReadBytesFile(scratch.Path() + L"temp\\卸载Tessamo.exe")));
}

} // namespace
