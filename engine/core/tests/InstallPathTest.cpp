#include <gtest/gtest.h>

#include "InstallPath.h"

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
                                         PathCase{L":\\x\\y", false}, PathCase{L"", false}));

TEST(DirectoryPart, KeepsEverythingUpToTheLastBackslash)
{
    EXPECT_EQ(DirectoryPart(L"C:\\Apps\\Tessamo\\Pinvora.exe"), L"C:\\Apps\\Tessamo\\");
    EXPECT_EQ(DirectoryPart(L"Pinvora.exe"), L"");
    EXPECT_EQ(DirectoryPart(L""), L"");
}

} // namespace
