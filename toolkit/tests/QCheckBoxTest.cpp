#include <gtest/gtest.h>

#include "FramedTestWindow.h"
#include "ImageResources.h"
#include "TestSupport.h"
#include "ToolkitTestSupport.h"

namespace {

class QCheckBox : public testing::Test {
protected:
    void SetUp() override
    {
        MoveMouseTo(1200, 780);
        ASSERT_TRUE(w.Open());
        w.autostart.listener = &listener;
        PumpMessages(50);
    }
    POINT Box() const
    {
        RECT rect{};
        ::GetWindowRect(w.autostart.window, &rect);
        return POINT{rect.left + 6, (rect.top + rect.bottom) / 2};
    }
    // The picture's top-left pixel in the window: (L + 172, B - 30 + (15 - 12) / 2).
    std::vector<uint32_t> DrawnPicture() const
    {
        std::vector<uint32_t> out;
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 12; ++x)
                out.push_back(w.BackPixel(180 + x, 378 + 1 + y));
        }
        return out;
    }

    // The picture blended over the body colour.
    void ExpectShows(int pictureId) const
    {
        HBITMAP picture = LoadPngBitmap(pictureId);
        const std::vector<uint32_t> own = BitmapPixels(picture);
        ::DeleteObject(picture);
        const std::vector<uint32_t> drawn = DrawnPicture();
        ASSERT_EQ(own.size(), drawn.size());
        for (size_t i = 0; i < own.size(); ++i)
            EXPECT_TRUE(NearPixel(drawn[i], Over(own[i], 0xFFF0F0F0))) << pictureId << " pixel " << i;
    }

    FramedTestWindow w;
    CountingCheckListener listener;
};

TEST_F(QCheckBox, AClickTogglesTheBoxAndItsPicture)
{
    EXPECT_FALSE(w.autostart.IsChecked());
    ExpectShows(IDP_CHECK_OFF);
    const POINT box = Box();
    ClickAt(box.x, box.y);
    ASSERT_TRUE(PumpUntil([&] { return w.autostart.IsChecked(); }));
    EXPECT_EQ(listener.calls, 1);
    ExpectShows(IDP_CHECK_ON);
}

TEST_F(QCheckBox, TheLabelIsDrawnInTheTextColourRightOfThePicture)
{
    constexpr COLORREF Label = RGB(20, 40, 200);
    w.autostart.SetTextColor(Label);
    w.ComposeAndUpdate();
    // The box spans (180, 378)-(376, 393); the label starts 6 pixels after the picture.
    int inLabelColour = 0;
    for (int y = 378; y < 393; ++y) {
        for (int x = 180; x < 376; ++x) {
            const uint32_t pixel = w.BackPixel(x, y);
            if (pixel != OpaquePixel(Label))
                continue;
            ++inLabelColour;
            EXPECT_GE(x, 180 + 12 + 6) << "label colour at " << x << "," << y;
        }
    }
    EXPECT_GT(inLabelColour, 10);
}

TEST_F(QCheckBox, SettingTheStateRedrawsWithoutTellingTheListener)
{
    const int before = w.compositions;
    w.autostart.SetChecked(true);
    EXPECT_EQ(w.compositions, before + 1);
    EXPECT_TRUE(w.autostart.IsChecked());
    EXPECT_EQ(listener.calls, 0);
}

} // namespace
