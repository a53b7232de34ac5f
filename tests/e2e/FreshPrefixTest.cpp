// Every end-to-end case starts in a fresh prefix laid out like a usual two-drive PC.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

TEST(FreshPrefix, HasFixedDrivesCAndDButNoHostRoot)
{
    EXPECT_EQ(::GetDriveTypeW(L"C:\\"), static_cast<UINT>(DRIVE_FIXED));
    EXPECT_EQ(::GetDriveTypeW(L"D:\\"), static_cast<UINT>(DRIVE_FIXED));
    EXPECT_EQ(::GetDriveTypeW(L"Z:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
}

TEST(FreshPrefix, StartsCleanAndKeepsItsWritesToItself)
{
    // A previous case's marker must not be visible here.
    const std::wstring marker = L"C:\\users\\Public\\fresh-prefix-marker.txt";
    EXPECT_FALSE(FileExists(marker));
    ASSERT_TRUE(WriteBytesFile(marker, "x"));

    wchar_t desktop[MAX_PATH];
    ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
    const std::wstring probe = std::wstring(desktop) + L"\\桌面测试.txt";
    ASSERT_TRUE(WriteBytesFile(probe, "x"));
    EXPECT_TRUE(FileExists(probe));
}

TEST(FreshPrefix, RunsWithCodePage936)
{
    EXPECT_EQ(::GetACP(), 936u);
}

} // namespace
