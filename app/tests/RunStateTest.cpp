#include <gtest/gtest.h>

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
                                         SwitchCase{L"x update=truey", true, false}));

} // namespace
