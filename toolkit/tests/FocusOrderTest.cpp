#include <gtest/gtest.h>

#include "FocusOrder.h"

namespace {

struct FocusStep {
    std::vector<bool> focusable;
    int current;
    bool backward;
    int expected;
};

class FocusOrder : public testing::TestWithParam<FocusStep> {};

TEST_P(FocusOrder, TabGoesToTheNextControlThatCanTakeTheFocusAndWraps)
{
    const FocusStep& step = GetParam();
    EXPECT_EQ(NextFocusIndex(step.focusable, step.current, step.backward), step.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, FocusOrder,
    testing::Values(FocusStep{{true, true, true, true}, -1, false, 0},  // nothing focused: the first
                    FocusStep{{true, true, true, true}, -1, true, 3},   // Shift+Tab: the last
                    FocusStep{{true, true, true, true}, 1, false, 2},
                    FocusStep{{true, true, true, true}, 3, false, 0},   // wraps forward
                    FocusStep{{true, true, true, true}, 0, true, 3},    // wraps backward
                    FocusStep{{true, false, false, true}, 0, false, 3}, // hidden ones skipped
                    FocusStep{{true, false, false, true}, 3, true, 0},
                    FocusStep{{false, true, false, false}, 1, false, 1}, // the only one stays
                    FocusStep{{false, false, true, false}, -1, true, 2},
                    FocusStep{{false, false}, -1, false, -1},          // nothing can take it
                    FocusStep{{}, -1, false, -1},
                    FocusStep{{true, true, false}, 2, false, 0}));       // from a control now hidden

} // namespace
