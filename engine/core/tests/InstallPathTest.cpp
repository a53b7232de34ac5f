#include <gtest/gtest.h>

#include "InstallPath.h"

#include <string>
#include <vector>

namespace {

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
                                         PathCase{L"D:\\程序 (x86)\\Tessamo-1.6_a;b,c", true}));

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
