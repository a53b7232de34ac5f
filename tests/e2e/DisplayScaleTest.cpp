// The real installer in prefixes whose screen has another scale: the window, its controls,
// its pictures and its text are made for that scale.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "DisplayScale.h"
#include "ResourceIds.h"
#include "SetupDriver.h"
#include "SetupLayout.h"
#include "TestSupport.h"

namespace {

constexpr int MainButton = 100, ChangeDirButton = 101, StartButton = 1, PathField = 0, CloseButton = 2;

struct ScreenCase {
    UINT dpi;
    SIZE window;
};

class SetupOnAScaledScreen : public testing::TestWithParam<ScreenCase> {};

RECT ClientRectOf(HWND parent, HWND child)
{
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ExpectSameRect(const RECT& actual, const RECT& expected, const char* what)
{
    EXPECT_EQ(actual.left, expected.left) << what;
    EXPECT_EQ(actual.top, expected.top) << what;
    EXPECT_EQ(actual.right, expected.right) << what;
    EXPECT_EQ(actual.bottom, expected.bottom) << what;
}

TEST_P(SetupOnAScaledScreen, TheWindowItsControlsAndItsPicturesAreMadeForTheScale)
{
    const auto [dpi, size] = GetParam();
    UseDisplayDpi(dpi);
    SetupDriver setup;
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.WaitForMainWindow());
    RECT frame{};
    // Taller than this screen at 200 %: the window grows to its size right after creation.
    PumpUntil([&] { return ::GetWindowRect(setup.main, &frame) && frame.bottom - frame.top >= size.cy - 1; }, 5000);
    EXPECT_NEAR(frame.right - frame.left, size.cx, 1);
    EXPECT_NEAR(frame.bottom - frame.top, size.cy, 1);

    const SetupLayout layout = SetupLayoutAt(dpi);
    ExpectSameRect(ClientRectOf(setup.main, setup.Control(PathField)), layout.pathField, "path field");
    ExpectSameRect(ClientRectOf(setup.main, setup.Control(ChangeDirButton)), layout.changeDirButton, "更换目录");
    ExpectSameRect(ClientRectOf(setup.main, setup.Control(MainButton)), layout.mainButton, "main button");
    ExpectSameRect(ClientRectOf(setup.main, setup.Control(StartButton)), layout.startButton, "开始体验");
    const int width = frame.right - frame.left;
    ExpectSameRect(ClientRectOf(setup.main, setup.Control(CloseButton)),
                   RECT{width - ScaleLength(33, dpi), ScaleLength(14, dpi), width - ScaleLength(13, dpi),
                        ScaleLength(34, dpi)},
                   "close button");

    setup.SaveScreenshot(setup.main, L"ready-" + std::to_wstring(dpi) + L"-dpi");
    EXPECT_EQ(setup.PixelAt(setup.main, ScaleLength(300, dpi), ScaleLength(20, dpi)), 0xFFBA00u) << "caption";
    EXPECT_EQ(setup.PixelAt(setup.main, ScaleLength(12, dpi), ScaleLength(330, dpi)), 0xF0F0F0u) << "body";
    EXPECT_EQ(setup.PixelAt(setup.main, layout.pathBox.left, layout.pathBox.top + 3), 0xDDDDDDu) << "path box";

    // At 150 % and 200 % the banner on screen is the drawing for that scale, pixel for pixel.
    const int percent = static_cast<int>(dpi * 100 / DefaultDpi);
    if (percent == 150 || percent == 200) {
        SIZE drawnSize{};
        const std::vector<uint32_t> drawn = InstallerPicture(ScaledPictureId(IDP_BANNER, percent), drawnSize);
        EXPECT_EQ(drawnSize.cx, layout.banner.right - layout.banner.left);
        EXPECT_EQ(drawnSize.cy, layout.banner.bottom - layout.banner.top);
        const std::vector<uint32_t> shown = setup.PixelsOf(setup.main, layout.banner);
        ASSERT_EQ(shown.size(), drawn.size());
        size_t differing = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            differing += shown[i] != drawn[i];
        EXPECT_EQ(differing, 0u);
    }
    ::PostMessageW(setup.main, WM_COMMAND, CloseButton, 0);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Screens, SetupOnAScaledScreen,
                         testing::Values(ScreenCase{120, {645, 520}}, ScreenCase{144, {774, 624}},
                                         ScreenCase{192, {1032, 832}}));

} // namespace
