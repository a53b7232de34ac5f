#include <gtest/gtest.h>

#include "InstallPath.h"

#include <string>
#include <vector>

namespace {

std::string ToNarrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

struct PathCase {
    const wchar_t* entered;
    bool accepted;
};

class InstallPathRule : public testing::TestWithParam<PathCase> {};

TEST_P(InstallPathRule, NeedsAFolderBelowADriveRoot)
{
    EXPECT_EQ(IsAcceptedInstallPath(WithTrailingBackslash(GetParam().entered)), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(Paths, InstallPathRule,
                         testing::Values(PathCase{L"D:\\Tessamo", true}, PathCase{L"D:\\a\\b\\", true},
                                         PathCase{L"E:\\Apps", true}, PathCase{L"E:", false},
                                         PathCase{L"E:\\", false}, PathCase{L"Apps", false},
                                         PathCase{L"\\\\server\\share\\x", false},
                                         PathCase{L":\\x\\y", false}, PathCase{L"", false},
                                         // Pasted control characters and characters Windows
                                         // forbids in a path.
                                         PathCase{L"D:\\Program Files\\Tessamo\r\n", false},
                                         PathCase{L"D:\\Tes\tsamo", false}, PathCase{L"D:\\a\x01", false},
                                         PathCase{L"D:\\a<b", false}, PathCase{L"D:\\a>b", false},
                                         PathCase{L"D:\\\"a\"", false}, PathCase{L"D:\\a|b", false},
                                         PathCase{L"D:\\a?", false}, PathCase{L"D:\\*", false},
                                         PathCase{L"D:\\程序 (x86)\\Tessamo-1.6_a;b,c", true},
                                         // Roots in disguise, which an uninstall would empty.
                                         PathCase{L"C:\\\\", false}, PathCase{L"C:\\.\\", false},
                                         PathCase{L"C:\\/", false}, PathCase{L"C:\\a\\..\\", false},
                                         // No drive letter, a stream, device names, names
                                         // Windows strips.
                                         PathCase{L"abc:\\x\\", false}, PathCase{L"1:\\x\\", false},
                                         PathCase{L"C:\\a:b\\", false}, PathCase{L"C:\\CON\\", false},
                                         PathCase{L"C:\\Apps\\nul.txt\\", false}, PathCase{L"C:\\Apps.\\x", false},
                                         PathCase{L"C:\\Apps \\x", false}, PathCase{L"C:/Apps/Tessamo", false},
                                         PathCase{L"z:\\Apps", true}));

TEST(InstallPathRule, RefusesAPathThatWindowsCannotHold)
{
    const std::wstring longest = L"D:\\" + std::wstring(WindowsPathLimit - 5, L'a') + L"\\";
    EXPECT_TRUE(IsAcceptedInstallPath(longest));
    EXPECT_FALSE(IsAcceptedInstallPath(L"D:\\a" + longest.substr(3)));
}

TEST(CreatableNames, AreTheOnesWindowsCanCreate)
{
    for (const wchar_t* name : {L"Tessamo", L"a.b", L"使用说明.txt", L".hidden", L"CONSOLE", L"COM0", L"LPT10"})
        EXPECT_TRUE(IsCreatableName(name)) << ToNarrow(name);
    for (const wchar_t* name : {L"", L".", L"..", L"...", L"a.", L"a ", L"con", L"Nul.txt", L"COM1", L"lpt9 .log",
                                L"COM\u00b9", L"a:b", L"a/b", L"a\\b", L"a*", L"a\x1f"})
        EXPECT_FALSE(IsCreatableName(name)) << ToNarrow(name);
}

struct ChainCase {
    const wchar_t* folder;
    std::vector<std::wstring> chain;
};

class FolderChainOf : public testing::TestWithParam<ChainCase> {};

TEST_P(FolderChainOf, StartsBelowTheRootOfThePath)
{
    EXPECT_EQ(FolderChain(GetParam().folder), GetParam().chain);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, FolderChainOf,
    testing::Values(ChainCase{L"C:\\dl\\temp", {L"C:\\dl", L"C:\\dl\\temp"}},
                    ChainCase{L"C:\\temp", {L"C:\\temp"}},
                    ChainCase{L"C:\\dl\\temp\\res", {L"C:\\dl", L"C:\\dl\\temp", L"C:\\dl\\temp\\res"}},
                    // A network share: the server and the share cannot be created.
                    ChainCase{L"\\\\server\\share\\dl\\temp",
                              {L"\\\\server\\share\\dl", L"\\\\server\\share\\dl\\temp"}},
                    ChainCase{L"\\\\server\\share\\temp", {L"\\\\server\\share\\temp"}},
                    // Long-path forms.
                    ChainCase{L"\\\\?\\C:\\dl\\temp", {L"\\\\?\\C:\\dl", L"\\\\?\\C:\\dl\\temp"}},
                    ChainCase{L"\\\\?\\UNC\\server\\share\\dl\\temp",
                              {L"\\\\?\\UNC\\server\\share\\dl", L"\\\\?\\UNC\\server\\share\\dl\\temp"}}));

TEST(DirectoryPart, KeepsEverythingUpToTheLastBackslash)
{
    EXPECT_EQ(DirectoryPart(L"C:\\Apps\\Tessamo\\Pinvora.exe"), L"C:\\Apps\\Tessamo\\");
    EXPECT_EQ(DirectoryPart(L"Pinvora.exe"), L"");
    EXPECT_EQ(DirectoryPart(L""), L"");
}

} // namespace
