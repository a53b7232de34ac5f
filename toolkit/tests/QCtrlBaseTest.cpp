#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "AlphaWindow.h"
#include "FramedTestWindow.h"
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

// The click rule every clicking control shares, tried on the setup window's kinds: a
// picture button, a text button ("开始安装") and the check box.
struct ClickingControl {
    const char* name;
    CQCtrlBase& (*of)(FramedTestWindow&);
    // A button's clicks are its commands, the check box's its toggles.
    UINT command;
    bool toggles;
};

void PrintTo(const ClickingControl& value, std::ostream* out)
{
    *out << value.name;
}

class ClickRule : public testing::TestWithParam<ClickingControl> {
protected:
    void SetUp() override
    {
        MoveMouseTo(1200, 780);
        ASSERT_TRUE(w.Open());
        w.autostart.listener = &toggles;
        PumpMessages(50);
    }
    HWND Control() { return GetParam().of(w).window; }
    int Clicks() const
    {
        if (GetParam().toggles)
            return toggles.calls;
        return static_cast<int>(std::count(w.commands.begin(), w.commands.end(), GetParam().command));
    }
    // Screen points: the control's centre, and the window body clear of every control.
    POINT On() { return CentreOf(Control()); }
    POINT Beside()
    {
        POINT body{250, 250};
        ::ClientToScreen(w.window, &body);
        return body;
    }
    void Step(const std::function<void()>& input)
    {
        input();
        PumpMessages(40);
    }

    FramedTestWindow w;
    CountingCheckListener toggles;
};

TEST_P(ClickRule, OnlyAPressAndAReleaseBothOnTheControlAreAClick)
{
    struct Gesture {
        const char* description;
        bool pressOnControl;
        // Where the mouse goes while the button is down, last the place of the release.
        std::vector<bool> movesOnControl;
        int clicks;
    };
    const Gesture gestures[] = {
        {"a click", true, {true}, 1},
        {"a press on the window body, released over the control", false, {true}, 0},
        {"a press on the control, released beside it", true, {false}, 0},
        {"a press that leaves the control and comes back", true, {false, true}, 1},
    };
    for (const Gesture& g : gestures) {
        const int before = Clicks();
        const POINT start = g.pressOnControl ? On() : Beside();
        Step([&] { MoveMouseTo(start.x, start.y); });
        Step(PressMouse);
        if (g.pressOnControl) {
            EXPECT_EQ(::GetCapture(), Control()) << g.description << ": the pressed control holds the mouse";
        }
        for (bool onControl : g.movesOnControl) {
            const POINT to = onControl ? On() : Beside();
            Step([&] { MoveMouseTo(to.x, to.y); });
        }
        Step(ReleaseMouse);
        PumpMessages(100);
        EXPECT_EQ(Clicks() - before, g.clicks) << g.description;
        EXPECT_EQ(::GetCapture(), nullptr) << g.description;
        // Apart by more than the double-click time, so that no gesture joins the next.
        MoveMouseTo(1200, 780);
        PumpMessages(::GetDoubleClickTime() + 100);
    }
}

TEST_P(ClickRule, ADoubleClickIsOneClick)
{
    const POINT on = On();
    Step([&] { MoveMouseTo(on.x, on.y); });
    for (int click = 0; click < 2; ++click) {
        Step(PressMouse);
        Step(ReleaseMouse);
    }
    PumpMessages(200);
    EXPECT_EQ(Clicks(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, ClickRule,
    testing::Values(
        ClickingControl{"PictureButton", [](FramedTestWindow& w) -> CQCtrlBase& { return w.hoverButton; }, 200, false},
        ClickingControl{"TextButton", [](FramedTestWindow& w) -> CQCtrlBase& { return w.mainButton; }, 100, false},
        ClickingControl{"CheckBox", [](FramedTestWindow& w) -> CQCtrlBase& { return w.autostart; }, 0, true}),
    [](const testing::TestParamInfo<ClickingControl>& info) { return std::string(info.param.name); });

} // namespace
