#include <gtest/gtest.h>

#include "AlphaWindow.h"
#include "QCtrlBase.h"
#include "TestSupport.h"
#include "ToolkitMessages.h"
#include "ToolkitTestSupport.h"

namespace {

// Fills its whole client area with one colour.
class SolidControl : public CQCtrlBase {
public:
    COLORREF color = 0x0000FF;
    void DrawSelf(HDC dc, HDC) override
    {
        RECT client{};
        ::GetClientRect(window, &client);
        ::SetBkColor(dc, color);
        ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, L"", 0, nullptr);
    }
};

class Host : public CAlphaWndBase<Host> {
public:
    SolidControl outer;
    SolidControl inner;
    int compositions = 0;

    ~Host() override { DestroyAlphaWindow(); }

    void DrawFrame(HDC dc, const RECT& content) override
    {
        if (dc == backDC)
            ++compositions;
        CAlphaWndBase<Host>::DrawFrame(dc, content);
    }
};

class QCtrlBase : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(host.CreateAlphaWindow(50, 50, 300, 200, nullptr, false, false));
        host.outer.color = 0x00FF00;
        host.outer.CreateControl(host.window, 100, 100, 150, 150, 7);
        host.inner.CreateControl(host.outer.window, 30, 30, 80, 80, 8);
        // The inner control is a sub-control of the outer one, drawn after it.
        host.outer.controls.push_back(&host.inner);
        host.AddControl(&host.outer);
        host.AddControl(&host.outer);
        host.ComposeAndUpdate();
    }
    Host host;
};

TEST_F(QCtrlBase, ControlsDrawAtTheirPlaceInTheWindowsBuffer)
{
    EXPECT_EQ(host.controls.size(), 1u) << "a control is added once";
    EXPECT_EQ(host.BackPixel(100, 100), 0xFF00FF00u);
    EXPECT_EQ(host.BackPixel(129, 129), 0xFF00FF00u);
    EXPECT_EQ(host.BackPixel(99, 99), 0u);
    EXPECT_EQ(host.BackPixel(150, 150), 0u);
}

TEST_F(QCtrlBase, ASubControlIsClippedToItsParentsVisibleRectangle)
{
    // The inner control spans (130, 130)-(180, 180) but its parent ends at 150.
    EXPECT_EQ(host.BackPixel(130, 130), 0xFFFF0000u);
    EXPECT_EQ(host.BackPixel(149, 149), 0xFFFF0000u);
    EXPECT_EQ(host.BackPixel(150, 140), 0u);
    EXPECT_EQ(host.BackPixel(160, 160), 0u);
    const RECT visible = host.inner.VisibleRect();
    EXPECT_EQ(visible.left, 130);
    EXPECT_EQ(visible.top, 130);
    EXPECT_EQ(visible.right, 150);
    EXPECT_EQ(visible.bottom, 150);
}

TEST_F(QCtrlBase, RedrawRequestsTravelUpToTheLayeredWindow)
{
    const int before = host.compositions;
    host.inner.Invalidate();
    EXPECT_EQ(host.compositions, before + 1) << "inner asks outer, which forwards to the window";
    const POINT point = host.inner.ScreenToTopLevel(POINT{60, 70});
    EXPECT_EQ(point.x, 10);
    EXPECT_EQ(point.y, 20);
}

TEST_F(QCtrlBase, AHiddenControlAndItsSubControlsAreNotDrawn)
{
    host.outer.SetVisible(false);
    EXPECT_FALSE(::IsWindowVisible(host.outer.window));
    const int before = host.compositions;
    host.outer.Invalidate();
    EXPECT_EQ(host.compositions, before);
    host.ComposeAndUpdate();
    EXPECT_EQ(host.BackPixel(120, 120), 0u);
    EXPECT_EQ(host.BackPixel(140, 140), 0u);
}

} // namespace
