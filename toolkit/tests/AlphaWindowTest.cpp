#include <gtest/gtest.h>

#include <functional>

#include "AlphaWindow.h"
#include "FramedTestWindow.h"
#include "ImageResources.h"
#include "ResourceIds.h"
#include "TestSupport.h"
#include "ToolkitMessages.h"
#include "ToolkitTestSupport.h"

namespace {

// A layered window whose drawing each test supplies.
class PlainWindow : public CAlphaWndBase<PlainWindow> {
public:
    std::function<void(HDC, const RECT&)> draw;
    int frameDraws = 0;

    void DrawFrame(HDC dc, const RECT& content) override
    {
        ++frameDraws;
        if (draw)
            draw(dc, content);
        CAlphaWndBase<PlainWindow>::DrawFrame(dc, content);
    }
};

uint32_t* BitsOf(HDC dc)
{
    DIBSECTION section{};
    ::GetObjectW(::GetCurrentObject(dc, OBJ_BITMAP), sizeof section, &section);
    return static_cast<uint32_t*>(section.dsBm.bmBits);
}

void FillRect(HDC dc, const RECT& rect, COLORREF color)
{
    ::SetBkColor(dc, color);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, L"", 0, nullptr);
}

TEST(AlphaWindow, AShadowedWindowGrowsByTheShadowAndInsetsItsContent)
{
    PlainWindow w;
    ASSERT_TRUE(w.CreateAlphaWindow(100, 80, 500, 400, nullptr, true, true));
    RECT rect{};
    ::GetWindowRect(w.window, &rect);
    EXPECT_EQ(rect.right - rect.left, 516);
    EXPECT_EQ(rect.bottom - rect.top, 416);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 80);
    RECT client{};
    ::GetClientRect(w.window, &client);
    EXPECT_EQ(client.right, 516) << "the caption is removed";
    EXPECT_EQ(client.bottom, 416);
    const RECT content = w.ContentRect();
    EXPECT_EQ(content.left, 8);
    EXPECT_EQ(content.top, 8);
    EXPECT_EQ(content.right, 508);
    EXPECT_EQ(content.bottom, 408);
    EXPECT_EQ(w.BufferSize().cx, 516);
    EXPECT_EQ(w.BufferSize().cy, 416);
    const LONG_PTR exStyle = ::GetWindowLongPtrW(w.window, GWL_EXSTYLE);
    EXPECT_EQ(exStyle & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_APPWINDOW),
              WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_APPWINDOW);
    EXPECT_FALSE(w.suspendRedraw) << "the first WM_SIZE ends the creation batch";
}

TEST(AlphaWindow, AWindowWithoutShadowKeepsItsSizeAndHasNoTaskbarButton)
{
    PlainWindow w;
    ASSERT_TRUE(w.CreateAlphaWindow(10, 10, 200, 100, nullptr, false, false));
    RECT rect{};
    ::GetWindowRect(w.window, &rect);
    EXPECT_EQ(rect.right - rect.left, 200);
    EXPECT_EQ(rect.bottom - rect.top, 100);
    EXPECT_EQ(w.ContentRect().left, 0);
    EXPECT_EQ(::GetWindowLongPtrW(w.window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
}

TEST(AlphaWindow, TheShadowMarginKeepsThePicturesOwnAlpha)
{
    PlainWindow w;
    w.draw = [](HDC dc, const RECT& content) { FillRect(dc, content, 0xF0F0F0); };
    ASSERT_TRUE(w.CreateAlphaWindow(0, 0, 500, 400, nullptr, true, false));
    w.ComposeAndUpdate();

    HBITMAP shadow = LoadPngBitmap(IDP_SHADOW);
    ASSERT_TRUE(shadow);
    const std::vector<uint32_t> picture = BitmapPixels(shadow);
    ::DeleteObject(shadow);
    const auto at = [&](int x, int y) { return picture[y * 40 + x]; };

    struct Case {
        int x, y;
        uint32_t expected;
    } cases[] = {
        {0, 0, at(0, 0)},        {7, 7, at(7, 7)},           // top-left corner
        {515, 0, at(39, 0)},     {510, 5, at(34, 5)},        // top-right corner
        {0, 415, at(0, 39)},     {515, 415, at(39, 39)},     // bottom corners
        {250, 3, at(20, 3)},     {250, 412, at(20, 36)},     // top and bottom bands
        {2, 200, at(2, 20)},     {513, 200, at(37, 20)},     // left and right bands
    };
    for (const Case& c : cases)
        EXPECT_EQ(w.BackPixel(c.x, c.y), c.expected) << c.x << "," << c.y;
    EXPECT_EQ(w.BackPixel(8, 8), 0xFFF0F0F0u) << "the drawn body is opaque";
    EXPECT_EQ(w.BackPixel(507, 407), 0xFFF0F0F0u);
}

TEST(AlphaWindow, GdiTextBecomesOpaqueWhereItsBackgroundIsTransparent)
{
    PlainWindow w;
    RECT textArea{};
    w.draw = [&](HDC dc, const RECT& content) {
        const std::wstring text = L"Tessamo 便签";
        ::TextOutW(dc, content.left + 20, content.top + 20, text.c_str(), static_cast<int>(text.size()));
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        textArea = RECT{content.left + 20, content.top + 20, content.left + 20 + extent.cx,
                        content.top + 20 + extent.cy};
    };
    ASSERT_TRUE(w.CreateAlphaWindow(0, 0, 300, 100, nullptr, false, false));
    w.ComposeAndUpdate();
    ASSERT_FALSE(::IsRectEmpty(&textArea));

    int opaque = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 300; ++x) {
            const uint32_t pixel = w.BackPixel(x, y);
            const POINT point{x, y};
            if (!::PtInRect(&textArea, point)) {
                EXPECT_EQ(pixel, 0u) << "untouched pixels stay transparent at " << x << "," << y;
                continue;
            }
            if (Alpha(pixel) == 0xFF)
                ++opaque;
            else
                EXPECT_EQ(pixel, 0u) << x << "," << y;
        }
    }
    EXPECT_GT(opaque, 20) << "the glyphs are opaque";
}

TEST(AlphaWindow, APixelLeftAtTheProbeValueStaysTransparent)
{
    PlainWindow w;
    w.draw = [&w](HDC dc, const RECT&) {
        ::GdiFlush();
        uint32_t* bits = BitsOf(dc);
        const int width = w.BufferSize().cx;
        const int height = w.BufferSize().cy;
        // Row 10 from the top is row 9 from the bottom.
        uint32_t* row = bits + static_cast<size_t>(height - 1 - 10) * width;
        row[5] = ProbeFill;
        row[6] = 0x01010100;
        row[7] = 0x00123456;
    };
    ASSERT_TRUE(w.CreateAlphaWindow(0, 0, 200, 50, nullptr, false, false));
    w.ComposeAndUpdate();
    EXPECT_EQ(w.BackPixel(5, 10), ProbeFill) << "counted as untouched: colour kept, alpha not raised";
    EXPECT_EQ(w.BackPixel(6, 10), 0xFF010100u);
    EXPECT_EQ(w.BackPixel(7, 10), 0xFF123456u);
    EXPECT_EQ(w.BackPixel(8, 10), 0u);
}

TEST(AlphaWindow, ACompositionRequestedWhileSuspendedIsDropped)
{
    PlainWindow w;
    COLORREF color = 0x0000FF;
    w.draw = [&](HDC dc, const RECT& content) { FillRect(dc, content, color); };
    ASSERT_TRUE(w.CreateAlphaWindow(0, 0, 50, 50, nullptr, false, false));
    ASSERT_EQ(w.BackPixel(10, 10), 0xFFFF0000u);

    w.suspendRedraw = true;
    color = 0x00FF00;
    const int drawsBefore = w.frameDraws;
    w.ComposeAndUpdate();
    ::SendMessageW(w.window, WM_ALPHA_REDRAW, 0, 0);
    EXPECT_EQ(w.frameDraws, drawsBefore);
    EXPECT_EQ(w.BackPixel(10, 10), 0xFFFF0000u);

    w.suspendRedraw = false;
    EXPECT_EQ(w.frameDraws, drawsBefore) << "nothing was queued";
    ::SendMessageW(w.window, WM_ALPHA_REDRAW, 0, 0);
    EXPECT_EQ(w.frameDraws, drawsBefore + 2) << "probe and back buffer";
    EXPECT_EQ(w.BackPixel(10, 10), 0xFF00FF00u);
}

TEST(AlphaWindow, PaintingAndResizingRecomposeTheWholeWindow)
{
    PlainWindow w;
    w.draw = [](HDC dc, const RECT& content) { FillRect(dc, content, 0x336699); };
    ASSERT_TRUE(w.CreateAlphaWindow(0, 0, 200, 150, nullptr, true, false));
    int before = w.frameDraws;
    ::InvalidateRect(w.window, nullptr, FALSE);
    ::UpdateWindow(w.window);
    EXPECT_EQ(w.frameDraws, before + 2) << "WM_PAINT composes";

    ::SetWindowPos(w.window, nullptr, 0, 0, 316, 216, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(w.BufferSize().cx, 316);
    EXPECT_EQ(w.BufferSize().cy, 216);
    EXPECT_EQ(w.BackPixel(307, 207), 0xFF996633u) << "the new content corner is drawn";
    EXPECT_LT(Alpha(w.BackPixel(310, 210)), 0xFFu) << "the shadow follows the new size";
}

TEST(AlphaWindow, ThePrivateMessagesAnswerInClientCoordinates)
{
    PlainWindow w;
    ASSERT_TRUE(w.CreateAlphaWindow(120, 60, 500, 400, nullptr, true, false));
    POINT point{130, 75};
    EXPECT_EQ(::SendMessageW(w.window, WM_ALPHA_TO_CLIENT, reinterpret_cast<WPARAM>(w.window),
                             reinterpret_cast<LPARAM>(&point)), 0);
    EXPECT_EQ(point.x, 10);
    EXPECT_EQ(point.y, 15);
    POINT untouched{130, 75};
    ::SendMessageW(w.window, WM_ALPHA_TO_CLIENT, 0, reinterpret_cast<LPARAM>(&untouched));
    EXPECT_EQ(untouched.x, 130) << "no asking child, no conversion";

    RECT visible{};
    ::SendMessageW(w.window, WM_ALPHA_VISIBLE_RECT, 0, reinterpret_cast<LPARAM>(&visible));
    EXPECT_EQ(visible.right, 516);
    EXPECT_EQ(visible.bottom, 416);
    EXPECT_EQ(::SendMessageW(w.window, WM_ALPHA_VISIBLE_RECT, 0, 0), 0);
}

TEST(AlphaWindow, EveryPixelTheDrawingChangedBecomesOpaque)
{
    const uint32_t probe[] = {ProbeFill, 0x00F0F0F0, 0x01010100, ProbeFill, 0};
    uint32_t back[] = {0x40102030, 0x00F0F0F0, 0x00000000, 0x00000000, 0x80808080};
    MakeTouchedOpaque(probe, back, 5);
    EXPECT_EQ(back[0], 0x40102030u) << "the shadow keeps its alpha";
    EXPECT_EQ(back[1], 0xFFF0F0F0u);
    EXPECT_EQ(back[2], 0xFF000000u);
    EXPECT_EQ(back[3], 0u);
    EXPECT_EQ(back[4], 0xFF808080u);
}

// A control's change recomposes only its part of the framed window; what the back buffer
// and the screen then show must be what a whole composition of the same state shows.
class PartialComposition : public testing::Test {
protected:
    struct Picture {
        std::vector<uint32_t> back;
        std::vector<uint32_t> screen;
    };

    void SetUp() override
    {
        MoveMouseTo(1200, 780);
        ASSERT_TRUE(w.Open());
        PumpMessages(50);
        w.composedAreas.clear();
    }

    RECT ControlRect(const CQCtrlBase& control) const
    {
        RECT rect{};
        ::GetWindowRect(control.window, &rect);
        ::MapWindowPoints(nullptr, w.window, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    Picture Shown() const
    {
        const SIZE size = w.BufferSize();
        RECT onScreen{};
        ::GetWindowRect(w.window, &onScreen);
        return {std::vector<uint32_t>(w.backBits, w.backBits + static_cast<size_t>(size.cx) * size.cy),
                ScreenPixels(onScreen)};
    }

    static void ExpectSamePixels(const std::vector<uint32_t>& partial, const std::vector<uint32_t>& whole,
                                 const char* where)
    {
        ASSERT_EQ(partial.size(), whole.size()) << where;
        size_t differing = 0;
        size_t first = 0;
        for (size_t i = partial.size(); i-- > 0;) {
            if (partial[i] != whole[i])
                ++differing, first = i;
        }
        EXPECT_EQ(differing, 0u) << where << ": first at index " << first << ", " << std::hex
                                 << partial[first] << " instead of " << whole[first];
    }

    // Every composition since the last check rendered `area` only.
    void ExpectComposedOnly(const RECT& area)
    {
        ASSERT_FALSE(w.composedAreas.empty());
        for (const RECT& composed : w.composedAreas)
            EXPECT_TRUE(::EqualRect(&composed, &area))
                << "composed (" << composed.left << "," << composed.top << ")-(" << composed.right << ","
                << composed.bottom << ")";
        w.composedAreas.clear();
    }

    // The picture the partial compositions left, against a whole composition of it.
    void ExpectSameAsWholeComposition()
    {
        const Picture partial = Shown();
        w.ComposeAndUpdate();
        const Picture whole = Shown();
        ExpectSamePixels(partial.back, whole.back, "back buffer");
        ExpectSamePixels(partial.screen, whole.screen, "screen");
    }

    // The first tick of a fade from the normal picture to the hover picture.
    static void FadeTick(CImageButton& button)
    {
        button.fadeFromImage = button.images[CImageButton::NormalImage];
        button.fadeLevel = 0;
        button.state = CImageButton::Hover;
        ::SendMessageW(button.window, WM_TIMER, FadeTimerId, 0);
    }

    FramedTestWindow w;
};

TEST_F(PartialComposition, AHoverFadeRecomposesOnlyTheButton)
{
    const POINT centre = CentreOf(w.hoverButton.window);
    MoveMouseTo(centre.x, centre.y);
    ASSERT_TRUE(PumpUntil([&] {
        const CImageButton& button = w.hoverButton;
        return button.state == CImageButton::Hover && button.fadeLevel == 255 && !button.fadeFromImage;
    }));
    EXPECT_EQ(w.composedAreas.size(), 7u) << "the start and six ticks";
    ExpectComposedOnly(ControlRect(w.hoverButton));
    ExpectSameAsWholeComposition();
}

TEST_F(PartialComposition, HalfwayThroughAFadeBothPicturesBlendAsInAWholeComposition)
{
    for (CImageButton* button : {static_cast<CImageButton*>(&w.hoverButton), static_cast<CImageButton*>(&w.mainButton)}) {
        SCOPED_TRACE(button == &w.mainButton ? "stretched text button" : "picture button");
        FadeTick(*button);
        ASSERT_EQ(button->fadeLevel, 50);
        ExpectComposedOnly(ControlRect(*button));
        ExpectSameAsWholeComposition();
        w.composedAreas.clear();
    }
}

TEST_F(PartialComposition, ToggledCheckBoxRecomposesOnlyItself)
{
    const bool before = w.autostart.IsChecked();
    const POINT centre = CentreOf(w.autostart.window);
    ClickAt(centre.x, centre.y);
    ASSERT_TRUE(PumpUntil([&] { return w.autostart.IsChecked() != before; }));
    PumpMessages(50);
    ExpectComposedOnly(ControlRect(w.autostart));
    ExpectSameAsWholeComposition();
}

TEST_F(PartialComposition, AMovedControlLeavesNothingBehindAtItsOldPlace)
{
    const RECT before = ControlRect(w.startButton);
    ::MoveWindow(w.startButton.window, before.left + 40, before.top + 25, before.right - before.left,
                 before.bottom - before.top, FALSE);
    w.startButton.Invalidate();
    RECT both = ControlRect(w.startButton);
    ::UnionRect(&both, &both, &before);
    ExpectComposedOnly(both);
    ExpectSameAsWholeComposition();
}

TEST_F(PartialComposition, AHiddenControlsAreaRecomposedShowsWhatLiesUnderIt)
{
    const RECT area = ControlRect(w.hoverButton);
    w.hoverButton.SetVisible(false);
    w.ComposeArea(area);
    ExpectComposedOnly(area);
    ExpectSameAsWholeComposition();
}

TEST_F(PartialComposition, AfterAResizeTheShadowAndControlsMatchAWholeComposition)
{
    ::SetWindowPos(w.window, nullptr, 0, 0, 616, 466, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_EQ(w.BufferSize().cx, 616);
    w.composedAreas.clear();
    // The right margin with the edge of the body, and a fade tick.
    const RECT margin{590, 0, 616, 466};
    w.ComposeArea(margin);
    ExpectComposedOnly(margin);
    FadeTick(w.hoverButton);
    ExpectComposedOnly(ControlRect(w.hoverButton));
    ExpectSameAsWholeComposition();
}

TEST_F(PartialComposition, ARequestDroppedWhileSuspendedMakesTheNextCompositionWhole)
{
    w.suspendRedraw = true;
    w.title = L"Tessamo软件升级";
    FadeTick(w.hoverButton);
    w.suspendRedraw = false;
    EXPECT_TRUE(w.composedAreas.empty()) << "nothing composed while suspended";

    FadeTick(w.mainButton);
    ExpectComposedOnly(RECT{0, 0, 516, 416});
    ExpectSameAsWholeComposition();
}

} // namespace
