#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "FramedTestWindow.h"
#include "ImageResources.h"
#include "TestSupport.h"
#include "ToolkitTestSupport.h"

namespace {

constexpr uint32_t CaptionPixel = 0xFFFFBA00;  // COLORREF 0x00BAFF, opaque
constexpr uint32_t BodyPixel = 0xFFF0F0F0;

RECT ClientRectOf(HWND child)
{
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ExpectRect(const RECT& rect, LONG left, LONG top, LONG right, LONG bottom)
{
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right, right);
    EXPECT_EQ(rect.bottom, bottom);
}

class WindowFrame : public testing::Test {
protected:
    void SetUp() override { MoveMouseTo(1200, 780); }
    FramedTestWindow w;
};

TEST_F(WindowFrame, TheCaptionBarAndTitleButtonsSitWhereTheLayoutPutsThem)
{
    ASSERT_TRUE(w.Open());
    ExpectRect(w.captionRect, 8, 8, 508, 38);
    ExpectRect(ClientRectOf(w.closeButton.window), 483, 14, 503, 34);
    ExpectRect(ClientRectOf(w.minimizeButton.window), 458, 14, 478, 34);
    EXPECT_EQ(w.closeButton.id, 2u);
    EXPECT_EQ(w.minimizeButton.id, 3000u);
    ASSERT_EQ(w.controls.size(), 7u);
    EXPECT_EQ(w.controls[0], &w.closeButton) << "the title buttons come first";
    EXPECT_EQ(w.controls[1], &w.minimizeButton);
    wchar_t text[32] = {};
    ::GetWindowTextW(w.window, text, 32);
    EXPECT_STREQ(text, L"安装Tessamo");
}

TEST_F(WindowFrame, CaptionAndBodyAreOpaqueInTheirColoursAndTheMarginTranslucent)
{
    ASSERT_TRUE(w.Open());
    SaveBackBuffer(w, L"framed-window");
    const struct {
        int x, y;
        uint32_t expected;
    } cases[] = {
        {8, 8, CaptionPixel},   {300, 8, CaptionPixel}, {507, 37, CaptionPixel}, {200, 30, CaptionPixel},
        {8, 38, BodyPixel},     {300, 200, BodyPixel},  {507, 407, BodyPixel},  {8, 407, BodyPixel},
    };
    for (const auto& c : cases)
        EXPECT_EQ(w.BackPixel(c.x, c.y), c.expected) << c.x << "," << c.y;
    for (int x : {0, 4, 7, 508, 515})
        EXPECT_LT(Alpha(w.BackPixel(x, 200)), 0xFFu) << "shadow margin at x " << x;
}

TEST_F(WindowFrame, TheTitleIsBlackTenPixelsIntoTheCaption)
{
    ASSERT_TRUE(w.Open());
    int ink = 0;
    int black = 0;
    for (int y = 8; y < 38; ++y) {
        for (int x = 8; x < 150; ++x) {
            const uint32_t pixel = w.BackPixel(x, y);
            ASSERT_EQ(Alpha(pixel), 0xFFu);
            if (pixel == CaptionPixel)
                continue;
            ++ink;
            black += pixel == 0xFF000000;
            EXPECT_GE(x, 18) << "no ink left of the title origin";
            EXPECT_GE(y, 18) << "no ink above the title origin";
        }
    }
    EXPECT_GT(ink, 30);
    EXPECT_GT(black, 0);
}

TEST_F(WindowFrame, TitleButtonsShowTheirPicturesOverTheCaption)
{
    ASSERT_TRUE(w.Open());
    const struct {
        int id, left;
    } buttons[] = {{IDP_CLOSE_NORMAL, 483}, {IDP_MINIMIZE_NORMAL, 458}};
    for (const auto& button : buttons) {
        HBITMAP picture = LoadPngBitmap(button.id);
        const std::vector<uint32_t> pixels = BitmapPixels(picture);
        ::DeleteObject(picture);
        ASSERT_EQ(pixels.size(), 400u);
        for (int i = 0; i < 400; ++i) {
            const uint32_t drawn = w.BackPixel(button.left + i % 20, 14 + i / 20);
            EXPECT_TRUE(NearPixel(drawn, Over(pixels[i], CaptionPixel)))
                << button.id << " at " << i % 20 << "," << i / 20 << ": " << std::hex << drawn;
        }
    }
}

TEST_F(WindowFrame, TheMinimiseButtonMinimisesTheWindow)
{
    ASSERT_TRUE(w.Open());
    const POINT button = CentreOf(w.minimizeButton.window);
    ClickAt(button.x, button.y);
    EXPECT_TRUE(PumpUntil([&] { return ::IsIconic(w.window) != FALSE; }));
    EXPECT_TRUE(w.commands.empty()) << "the frame handles the minimise command itself";
}

TEST_F(WindowFrame, TheCloseButtonSendsCommandTwoToTheWindow)
{
    ASSERT_TRUE(w.Open());
    const POINT button = CentreOf(w.closeButton.window);
    ClickAt(button.x, button.y);
    EXPECT_TRUE(PumpUntil([&] { return !w.commands.empty(); }));
    EXPECT_EQ(w.commands, std::vector<UINT>{2});
}

TEST_F(WindowFrame, DraggingTheCaptionMovesTheWindow)
{
    ASSERT_TRUE(w.Open(100, 100));
    PumpMessages(100);
    // The system's move loop runs inside the press, so the rest of the drag comes
    // from another thread.
    std::thread driver([] {
        ::Sleep(300);
        for (int step = 1; step <= 10; ++step) {
            MoveMouseTo(300 + step * 5, 120 + step * 3);
            ::Sleep(30);
        }
        ReleaseMouse();
    });
    MoveMouseTo(300, 120);
    PressMouse();
    PumpUntil([] { return false; }, 1200);
    driver.join();
    PumpMessages(100);
    RECT rect{};
    ::GetWindowRect(w.window, &rect);
    EXPECT_EQ(rect.left, 150);
    EXPECT_EQ(rect.top, 130);
}

TEST_F(WindowFrame, APressOnATitleButtonDoesNotStartADrag)
{
    ASSERT_TRUE(w.Open(100, 100));
    const POINT button = CentreOf(w.closeButton.window);
    MoveMouseTo(button.x, button.y);
    PressMouse();
    MoveMouseTo(button.x + 40, button.y + 40);
    ReleaseMouse();
    PumpMessages(300);
    RECT rect{};
    ::GetWindowRect(w.window, &rect);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 100);
}

} // namespace
