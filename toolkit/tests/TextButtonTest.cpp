#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "FramedTestWindow.h"
#include "TestSupport.h"
#include "ToolkitTestSupport.h"

namespace {

class TextButton : public testing::Test {
protected:
    void SetUp() override
    {
        MoveMouseTo(1200, 780);
        ASSERT_TRUE(w.Open());
        PumpMessages(50);
    }
    // Pixels of the main button, (R - 85, B - 74)-(R - 20, B - 44), in one colour.
    int CountInButton(COLORREF color) const
    {
        int count = 0;
        for (int y = 408 - 74; y < 408 - 44; ++y) {
            for (int x = 508 - 85; x < 508 - 20; ++x)
                count += w.BackPixel(x, y) == OpaquePixel(color);
        }
        return count;
    }

    FramedTestWindow w;
};

TEST_F(TextButton, TheLabelTakesTheColourOfTheButtonsState)
{
    // Slots: normal, pressed, hover, selected.
    const COLORREF colors[4] = {RGB(200, 0, 0), RGB(0, 150, 0), RGB(0, 0, 220), RGB(200, 0, 200)};
    std::copy(std::begin(colors), std::end(colors), w.mainButton.textColors);
    struct Case {
        const char* look;
        int state;
        bool selected;
        int slot;
    };
    const Case cases[] = {
        {"normal", CImageButton::Normal, false, 0},
        {"pressed", CImageButton::Pressed, false, 1},
        {"hover", CImageButton::Hover, false, 2},
        {"selected", CImageButton::Hover, true, 3},
    };
    for (const Case& c : cases) {
        w.mainButton.state = c.state;
        w.mainButton.selected = c.selected;
        w.ComposeAndUpdate();
        for (int slot = 0; slot < 4; ++slot) {
            if (slot == c.slot) {
                EXPECT_GT(CountInButton(colors[slot]), 0) << c.look;
            } else {
                EXPECT_EQ(CountInButton(colors[slot]), 0) << c.look << ": colour of slot " << slot;
            }
        }
    }
}

} // namespace
