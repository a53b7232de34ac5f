// What the installer unpacks beside itself, in a folder any program of the user can write,
// and later copies as an elevated program: the real installer in a fresh prefix.
#include <windows.h>
#include <gtest/gtest.h>

#include "SetupDriver.h"
#include "TestSupport.h"

namespace {

constexpr int MainButton = 100;

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
