// What the installer unpacks beside itself, in a folder any program of the user can write,
// and later copies as an elevated program: the real installer in a fresh prefix.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "SetupDriver.h"
#include "TestSupport.h"

namespace {

constexpr int MainButton = 100, StartButton = 1;

// A program of the user's replaces the unpacked Pinvora.exe while the installer waits for
// an answer, between unpacking and copying: the migration question is that moment.
TEST(ExtractionSafety, AProgramSwappedAfterUnpackingIsNeverInstalled)
{
    const std::wstring earlier = L"C:\\Old\\Tessamo\\";
    CreateFolders(earlier);
    ASSERT_TRUE(::CopyFileW(L"C:\\bin\\Pinvora.exe", (earlier + L"Pinvora.exe").c_str(), FALSE));
    SetRegistryString(HKEY_CURRENT_USER, KelbrinKey, L"Location", earlier);
    const std::wstring target = L"D:\\New\\Tessamo\\";

    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/log=C:\\dl\\swap.log /D=" + target));
    ASSERT_TRUE(setup.WaitForMainWindow());
    setup.Click(MainButton);
    HWND question = setup.WaitForMessageBox(60000);
    ASSERT_TRUE(question) << "the migration question";
    ASSERT_TRUE(FileExists(L"C:\\dl\\temp\\Pinvora.exe"));
    ASSERT_TRUE(::DeleteFileW(L"C:\\dl\\temp\\Pinvora.exe"));
    ASSERT_TRUE(WriteBytesFile(L"C:\\dl\\temp\\Pinvora.exe", "MZ someone else's program"));
    setup.Answer(question, 2);

    HWND failure = setup.WaitForMessageBox(60000);
    ASSERT_TRUE(failure) << "the copy fails like any other";
    setup.Answer(failure, 1);
    EXPECT_NE(ReadBytesFile(target + L"Pinvora.exe"), "MZ someone else's program");
    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, RunKey, L"Pinvora"), L"<absent>") << "nothing registered";
    ::PostMessageW(setup.main, WM_COMMAND, 2, 0);
    EXPECT_EQ(setup.WaitForExit(), 0u);
    ExpectLogHolds(ReadLog(L"C:\\dl\\swap.log"),
                   {L" matches the recorded value", L"Answer: 否",
                    L"C:\\dl\\temp\\Pinvora.exe is not the file that was unpacked: not copied",
                    L"Message box: 拷贝文件“Pinvora.exe”失败！ [确定]", L"Result: a file could not be copied"});
}

// Sets the last four bytes of `bytes` so that its CRC-32 becomes `wanted`. The CRC is
// affine in those 32 bits: the effect of each bit is measured, and the bits whose effects
// add up to the change needed are found by elimination over GF(2).
void ForceCrc(std::string& bytes, uint32_t wanted)
{
    const size_t at = bytes.size() - 4;
    bytes.replace(at, 4, 4, '\0');
    const uint32_t base = CrcOf(bytes);
    std::vector<std::pair<uint32_t, uint32_t>> basis; // (effect, bits giving it), distinct top bits
    for (uint32_t bit = 0; bit < 32; ++bit) {
        bytes[at + bit / 8] ^= static_cast<char>(1 << (bit % 8));
        std::pair<uint32_t, uint32_t> row{CrcOf(bytes) ^ base, 1u << bit};
        bytes[at + bit / 8] ^= static_cast<char>(1 << (bit % 8));
        for (const auto& [effect, bits] : basis) {
            if ((row.first ^ effect) < row.first) {
                row.first ^= effect;
                row.second ^= bits;
            }
        }
        if (row.first) {
            basis.push_back(row);
            std::sort(basis.rbegin(), basis.rend());
        }
    }
    uint32_t needed = wanted ^ base, bits = 0;
    for (const auto& [effect, by] : basis) {
        if ((needed ^ effect) < needed) {
            needed ^= effect;
            bits ^= by;
        }
    }
    for (size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(bits >> (8 * i));
}

// The payload of entry `name` in `package`: where it starts and how long it is.
std::pair<size_t, size_t> PayloadOf(const std::string& package, const std::string& name)
{
    const std::string header = "<#_this_is_tag_#>name:" + name + " length:";
    const size_t at = package.find(header) + header.size();
    const size_t end = package.find("</#_this_is_tag_#>", at);
    return {end + 18, std::stoul(package.substr(at, end - at))};
}

// A running program's file can be renamed, and another put at its path: here the same
// first page of the package, another program further on, and a CRC-32 made to match the
// record. Only what was started, and elevated, may be installed.
TEST(ExtractionSafety, AnotherFileAtTheInstallersPathIsNeverInstalled)
{
    const std::wstring target = L"D:\\New\\Tessamo\\", installer = L"C:\\dl\\TessamoSetup.exe";
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/D=" + target));
    ASSERT_TRUE(setup.WaitForMainWindow());

    std::string file = ReadBytesFile(installer);
    const std::string package = SetupPackageOf(installer);
    const size_t packageAt = file.find(package.substr(0, 4096));
    ASSERT_NE(packageAt, std::string::npos);
    const auto [program, length] = PayloadOf(package, "\\Pinvora.exe");
    ASSERT_GT(program + length, 4096u + 64) << "the program reaches past the package's first page";
    ASSERT_LT(program + length, package.size() - 4) << "and the CRC's four bytes lie behind it";
    std::string forged = package;
    const std::string otherProgram = "MZ someone else's program";
    forged.replace(std::max<size_t>(program, 4096), otherProgram.size(), otherProgram);
    ForceCrc(forged, CrcOf(package));
    ASSERT_EQ(CrcOf(forged), CrcOf(package));
    file.replace(packageAt, forged.size(), forged);
    ASSERT_TRUE(::MoveFileW(installer.c_str(), L"C:\\dl\\renamed.exe"));
    ASSERT_TRUE(WriteBytesFile(installer, file));

    setup.Click(MainButton);
    ASSERT_TRUE(setup.WaitUntilVisible(StartButton)) << "the program that runs installs its own package";
    EXPECT_TRUE(ReadBytesFile(target + L"Pinvora.exe") == package.substr(program, length))
        << "the program installed is the one in the package that was started";
    ::PostMessageW(setup.main, WM_COMMAND, 2, 0);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

struct LinkCase {
    const char* name;
    std::wstring link; // made a link to C:\elsewhere before the installer starts
};

void PrintTo(const LinkCase& c, std::ostream* out)
{
    *out << c.name;
}

class LinkedExtractionFolder : public testing::TestWithParam<LinkCase> {};

// A junction planted beside the installer would take its elevated writes, and the
// clean-up's deletes, wherever it points.
TEST_P(LinkedExtractionFolder, IsRefusedAsAnUnpackFailureAndNothingLandsWhereItPoints)
{
    CreateFolders(L"C:\\elsewhere\\");
    CreateFolders(L"C:\\dl\\temp\\");
    ::RemoveDirectoryW(GetParam().link.c_str());
    ASSERT_TRUE(MakeFolderLink(GetParam().link, L"C:\\elsewhere"));
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet /log=C:\\dl\\link.log"));
    EXPECT_EQ(setup.WatchUntilExit().exitCode, 5u);
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(L"C:\\elsewhere\\*", &found);
    int entries = 0;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = ::FindNextFileW(search, &found))
        entries += found.cFileName[0] != L'.';
    ::FindClose(search);
    EXPECT_EQ(entries, 0) << "nothing written through the link";
    EXPECT_FALSE(FileExists(DefaultDir + L"Pinvora.exe"));
    ExpectLogHolds(ReadLog(L"C:\\dl\\link.log"),
                   {L"Message box: 安装失败,解压缩安装包失败:解压资源失败 [确定]", L"Exit code: 5"});
}

INSTANTIATE_TEST_SUITE_P(Links, LinkedExtractionFolder,
                         testing::Values(LinkCase{"TempItself", L"C:\\dl\\temp"},
                                         LinkCase{"AFolderInsideTemp", L"C:\\dl\\temp\\res"}),
                         [](const testing::TestParamInfo<LinkCase>& info) { return std::string(info.param.name); });

} // namespace
