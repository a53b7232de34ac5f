#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "RunState.h"

namespace {

struct SwitchCase {
    const wchar_t* tail;
    bool upgrade;
    bool automatic;
};

class Switches : public testing::TestWithParam<SwitchCase> {};

TEST_P(Switches, AreCaseSensitiveSubstringsOfTheTail)
{
    RunSwitches switches = ParseRunSwitches(GetParam().tail);
    EXPECT_EQ(switches.upgrade, GetParam().upgrade);
    EXPECT_EQ(switches.automatic, GetParam().automatic);
}

INSTANTIATE_TEST_SUITE_P(Tails, Switches,
                         testing::Values(SwitchCase{nullptr, false, false},
                                         SwitchCase{L"", false, false},
                                         SwitchCase{L"update=true", true, false},
                                         SwitchCase{L"/s", false, true},
                                         SwitchCase{L"/silent", false, true},
                                         SwitchCase{L"/S", false, false},
                                         SwitchCase{L"UPDATE=TRUE", false, false},
                                         SwitchCase{L"update=true /s", true, true},
                                         SwitchCase{L"/s update=true", true, true},
                                         SwitchCase{L"x update=truey", true, false},
                                         SwitchCase{L"/quiet /log=C:\\x.log /D=C:\\A B", false, false},
                                         SwitchCase{L"/s /D=C:\\A B", false, true}));

struct AdminCase {
    const wchar_t* tail;
    bool quiet;
    std::optional<std::wstring> logFile;
    std::optional<std::wstring> installDir;
    std::optional<std::wstring> misplaced;
};

class AdministratorSwitches : public testing::TestWithParam<AdminCase> {};

TEST_P(AdministratorSwitches, AreFoundInTheTailAndTheFolderTakesTheRest)
{
    const RunSwitches switches = ParseRunSwitches(GetParam().tail);
    EXPECT_EQ(switches.quiet, GetParam().quiet);
    EXPECT_EQ(switches.logFile, GetParam().logFile);
    EXPECT_EQ(switches.installDir, GetParam().installDir);
    EXPECT_EQ(switches.misplacedSwitch, GetParam().misplaced);
}

INSTANTIATE_TEST_SUITE_P(
    Tails, AdministratorSwitches,
    testing::Values(AdminCase{nullptr, false, std::nullopt, std::nullopt},
                    AdminCase{L"/s update=true", false, std::nullopt, std::nullopt},
                    AdminCase{L"/quiet", true, std::nullopt, std::nullopt},
                    AdminCase{L"/QUIET", false, std::nullopt, std::nullopt},
                    AdminCase{L"/quiet /log=C:\\logs\\setup.log", true, L"C:\\logs\\setup.log", std::nullopt},
                    AdminCase{L"/log=\"C:\\my logs\\setup.log\" /quiet", true, L"C:\\my logs\\setup.log", std::nullopt},
                    AdminCase{L"/log=", false, std::nullopt, std::nullopt},
                    AdminCase{L"/quiet /D=C:\\Program Files\\My Apps\\Tessamo", true, std::nullopt,
                              L"C:\\Program Files\\My Apps\\Tessamo"},
                    AdminCase{L"/D=\"E:\\A B\\\"  ", false, std::nullopt, L"E:\\A B\\"},
                    AdminCase{L"/D= E:\\Apps \t", false, std::nullopt, L"E:\\Apps"},
                    AdminCase{L"/D=", false, std::nullopt, L""},
                    AdminCase{L"/d=E:\\Apps", false, std::nullopt, std::nullopt},
                    // As a script passes them: each argument with a space quoted whole.
                    AdminCase{L"/quiet /log=C:\\dl\\setup.log \"/D=D:\\My Apps\\Tessamo\"", true, L"C:\\dl\\setup.log",
                              L"D:\\My Apps\\Tessamo"},
                    AdminCase{L"\"/log=C:\\my logs\\setup.log\" /quiet", true, L"C:\\my logs\\setup.log", std::nullopt},
                    // /D= must be last: a switch after it is named, and the folder refused.
                    AdminCase{L"/log=a.log /D=E:\\Apps /quiet", true, L"a.log", L"E:\\Apps /quiet", L"/quiet"}));

// "/passive" contains no "/s", so it never turns the automatic mode on by itself.
TEST(PassiveSwitch, IsACaseSensitiveSubstringOfItsOwn)
{
    const struct {
        const wchar_t* tail;
        bool passive;
        bool automatic;
    } cases[] = {{L"/passive", true, false},
                 {L"/passive /s", true, true},
                 {L"/quiet /passive", true, false},
                 {L"/PASSIVE", false, false},
                 {L"/pass", false, false}};
    for (const auto& c : cases) {
        const RunSwitches switches = ParseRunSwitches(c.tail);
        EXPECT_EQ(switches.passive, c.passive) << testing::PrintToString(std::wstring(c.tail));
        EXPECT_EQ(switches.automatic, c.automatic) << testing::PrintToString(std::wstring(c.tail));
    }
}

} // namespace
