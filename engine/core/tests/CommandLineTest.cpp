#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "CommandLine.h"

namespace {

struct LogCase {
    const wchar_t* tail;
    std::optional<std::wstring> file;
};

class LogSwitch : public testing::TestWithParam<LogCase> {};

TEST_P(LogSwitch, ReadsTheFileAsScriptsAndPeopleQuoteIt)
{
    EXPECT_EQ(LogSwitchValue(GetParam().tail), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(
    Tails, LogSwitch,
    testing::Values(LogCase{L"", std::nullopt}, LogCase{L"/quiet", std::nullopt}, LogCase{L"/log=", std::nullopt},
                    LogCase{L"/log= /quiet", std::nullopt}, LogCase{L"/LOG=a.log", std::nullopt},
                    LogCase{L"/log=C:\\logs\\setup.log", L"C:\\logs\\setup.log"},
                    LogCase{L"/log=\"C:\\my logs\\setup.log\" /quiet", L"C:\\my logs\\setup.log"},
                    // Quoted whole, as PowerShell and Python pass an argument with a space.
                    LogCase{L"/quiet \"/log=C:\\my logs\\setup.log\" /s", L"C:\\my logs\\setup.log"},
                    LogCase{L"\"/log=a b.log\"", L"a b.log"},
                    // Unquoted, it ends where the next switch starts.
                    LogCase{L"/log=C:\\my logs\\setup.log /quiet", L"C:\\my logs\\setup.log"},
                    LogCase{L"/log=C:\\dl\\setup.log \"/D=D:\\My Apps\\Tessamo\"", L"C:\\dl\\setup.log"},
                    LogCase{L"/log=a.log update=true", L"a.log"}, LogCase{L"/log=a.log  \t", L"a.log"},
                    LogCase{L"/log=a.log /D=E:\\Apps /quiet", L"a.log"},
                    LogCase{L"/log=C:\\a/b.log", L"C:\\a/b.log"}));

struct FolderCase {
    const wchar_t* tail;
    std::optional<std::wstring> folder;
    std::optional<std::wstring> misplaced;
};

class FolderSwitchOf : public testing::TestWithParam<FolderCase> {};

TEST_P(FolderSwitchOf, TakesTheRestOfTheLineAndNamesASwitchInsideIt)
{
    const std::optional<FolderSwitch> found = FolderSwitchValue(GetParam().tail);
    ASSERT_EQ(found.has_value(), GetParam().folder.has_value());
    if (!found)
        return;
    EXPECT_EQ(found->folder, *GetParam().folder);
    EXPECT_EQ(found->misplaced, GetParam().misplaced);
}

INSTANTIATE_TEST_SUITE_P(
    Tails, FolderSwitchOf,
    testing::Values(FolderCase{L"/quiet", std::nullopt, std::nullopt}, FolderCase{L"/d=E:\\Apps", std::nullopt, std::nullopt},
                    FolderCase{L"/D=", L"", std::nullopt}, FolderCase{L"/D= E:\\Apps \t", L"E:\\Apps", std::nullopt},
                    FolderCase{L"/quiet /D=C:\\Program Files\\My Apps\\Tessamo", L"C:\\Program Files\\My Apps\\Tessamo",
                               std::nullopt},
                    FolderCase{L"/D=\"E:\\A B\\\"  ", L"E:\\A B\\", std::nullopt},
                    // Quoted whole: the quote before /D= pairs with the one at the end.
                    FolderCase{L"/quiet /log=C:\\dl\\setup.log \"/D=D:\\My Apps\\Tessamo\"", L"D:\\My Apps\\Tessamo",
                               std::nullopt},
                    FolderCase{L"\"/D=D:\\My Apps\\Tessamo\"", L"D:\\My Apps\\Tessamo", std::nullopt},
                    // /D= did not come last.
                    FolderCase{L"/log=a.log /D=E:\\Apps /quiet", L"E:\\Apps /quiet", L"/quiet"},
                    FolderCase{L"/D=E:\\Apps /log=C:\\x.log", L"E:\\Apps /log=C:\\x.log", L"/log="},
                    FolderCase{L"/D=E:\\My Apps /s", L"E:\\My Apps /s", L"/s"},
                    FolderCase{L"/D=E:\\My Apps update=true", L"E:\\My Apps update=true", L"update=true"},
                    FolderCase{L"\"/D=E:\\My Apps\" /quiet", L"E:\\My Apps\" /quiet", L"/quiet"},
                    // Not switches: no blank before them.
                    FolderCase{L"/D=E:\\a/s\\update=true", L"E:\\a/s\\update=true", std::nullopt},
                    FolderCase{L"/D=E:\\Apps /", L"E:\\Apps /", std::nullopt}));

} // namespace
