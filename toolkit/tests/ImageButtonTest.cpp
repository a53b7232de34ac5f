#include <gtest/gtest.h>

#include "FramedTestWindow.h"
#include "ImageResources.h"
#include "TestSupport.h"
#include "ToolkitTestSupport.h"

namespace {

TEST(ImageButtonFade, AFadeTakesSixTicksEndingAtFullOpacity)
{
    std::vector<int> levels;
    for (int level = 0; level < 255;) {
        level = AdvanceFade(level);
        levels.push_back(level);
    }
    EXPECT_EQ(levels, (std::vector<int>{50, 100, 150, 200, 250, 255}));
}

class ImageButton : public testing::Test {
protected:
    void SetUp() override
    {
        MoveMouseTo(1200, 780);
        ASSERT_TRUE(w.Open());
        PumpMessages(50);
    }
    POINT Centre() const { return CentreOf(w.hoverButton.window); }
    bool FadeDone() const { return w.hoverButton.fadeLevel == 255 && !w.hoverButton.fadeFromImage; }

    FramedTestWindow w;
};

TEST_F(ImageButton, HoveringFadesTheHoverPictureInOverSixTicks)
{
    w.composedFadeLevels.clear();
    const POINT centre = Centre();
    MoveMouseTo(centre.x, centre.y);
    ASSERT_TRUE(PumpUntil([&] { return w.hoverButton.state == CImageButton::Hover && FadeDone(); }));
    EXPECT_EQ(w.composedFadeLevels, (std::vector<int>{0, 50, 100, 150, 200, 250, 255}));

    // Moving within the button does not start another fade.
    w.composedFadeLevels.clear();
    MoveMouseTo(centre.x + 3, centre.y + 2);
    PumpMessages(200);
    EXPECT_TRUE(w.composedFadeLevels.empty());
    EXPECT_EQ(w.hoverButton.state, CImageButton::Hover);

    // Leaving fades back to normal.
    MoveMouseTo(1200, 780);
    ASSERT_TRUE(PumpUntil([&] { return w.hoverButton.state == CImageButton::Normal && FadeDone(); }));
    EXPECT_EQ(w.composedFadeLevels, (std::vector<int>{0, 50, 100, 150, 200, 250, 255}));
    EXPECT_TRUE(w.commands.empty());
}

TEST_F(ImageButton, PressAndReleaseNotifyTheParentOnce)
{
    const POINT centre = Centre();
    MoveMouseTo(centre.x, centre.y);
    PumpMessages(50);
    PressMouse();
    ASSERT_TRUE(PumpUntil([&] { return w.hoverButton.state == CImageButton::Pressed; }));
    EXPECT_EQ(w.hoverButton.fadeLevel, 255) << "pressing shows the pressed picture at once";
    MoveMouseTo(centre.x + 4, centre.y + 4);
    PumpMessages(100);
    EXPECT_EQ(w.hoverButton.state, CImageButton::Pressed) << "moving while pressed keeps it";
    EXPECT_TRUE(w.commands.empty());
    ReleaseMouse();
    ASSERT_TRUE(PumpUntil([&] { return !w.commands.empty(); }));
    PumpMessages(100);
    EXPECT_EQ(w.commands, std::vector<UINT>{200});
    EXPECT_EQ(w.hoverButton.state, CImageButton::Hover);
    EXPECT_NE(::GetFocus(), w.hoverButton.window) << "pressing does not take the focus";
}

TEST_F(ImageButton, EnterOnTheFocusedButtonNotifiesLikeAClickAndEscapeDoesNothing)
{
    ::SetFocus(w.mainButton.window);
    ::PostMessageW(w.mainButton.window, WM_KEYDOWN, VK_ESCAPE, 0);
    PumpMessages(50);
    EXPECT_TRUE(w.commands.empty());
    ::PostMessageW(w.mainButton.window, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntil([&] { return !w.commands.empty(); }));
    EXPECT_EQ(w.commands, std::vector<UINT>{100});
}

TEST_F(ImageButton, AHiddenButtonIsNotDrawnAndAsksForNoRedraws)
{
    const RECT area{48, 68, 78, 98};  // the button in window coordinates
    w.hoverButton.SetVisible(false);
    w.ComposeAndUpdate();
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x)
            ASSERT_EQ(w.BackPixel(x, y), 0xFFF0F0F0u) << x << "," << y;
    }
    const int before = w.compositions;
    w.hoverButton.Invalidate();
    w.hoverButton.SetImages(IDP_BOX_SECOND, IDP_BOX_SECOND_HOVER, IDP_BOX_SECOND, 0);
    EXPECT_EQ(w.compositions, before);

    w.hoverButton.SetVisible(true);
    w.hoverButton.Invalidate();
    EXPECT_EQ(w.compositions, before + 1);
    int drawn = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x)
            drawn += w.BackPixel(x, y) != 0xFFF0F0F0u;
    }
    EXPECT_GT(drawn, 0);
}

TEST_F(ImageButton, AStretchedTextButtonFillsItsWholeRectangle)
{
    // The main button: 65 x 30 at (R - 85, B - 74) from a 30 x 30 picture split at 15:
    // corners at natural size, and between them a 35-pixel band stretched from the
    // picture's column 15. Nothing is stretched vertically.
    const RECT area{508 - 85, 408 - 74, 508 - 20, 408 - 44};
    HBITMAP picture = LoadPngBitmap(IDP_MAIN_NORMAL);
    const std::vector<uint32_t> pixels = BitmapPixels(picture);
    ::DeleteObject(picture);
    ASSERT_EQ(pixels.size(), 900u);
    auto sourceColumn = [](int x) { return x < 15 ? x : x >= 50 ? x - 35 : 15; };
    // The label covers the middle rows; these are clear of it.
    for (int y : {0, 1, 2, 3, 26, 27, 28, 29}) {
        for (int x = 0; x < area.right - area.left; ++x) {
            const uint32_t own = pixels[y * 30 + sourceColumn(x)];
            EXPECT_TRUE(NearPixel(w.BackPixel(area.left + x, area.top + y), Over(own, 0xFFF0F0F0)))
                << x << "," << y;
        }
    }
}

} // namespace
