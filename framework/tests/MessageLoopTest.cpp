#include <gtest/gtest.h>

#include "MessageLoop.h"
#include "WindowImpl.h"

namespace {

struct IdleRuleCase {
    UINT message;
    bool idle;
};

class IdleRule : public testing::TestWithParam<IdleRuleCase> {};

TEST_P(IdleRule, OnlyInputNoiseLeavesIdleProcessingOff)
{
    MSG msg{};
    msg.message = GetParam().message;
    EXPECT_EQ(CMessageLoop::IsIdleMessage(msg), GetParam().idle);
}

INSTANTIATE_TEST_SUITE_P(Messages, IdleRule,
                         testing::Values(IdleRuleCase{WM_MOUSEMOVE, false},
                                         IdleRuleCase{WM_NCMOUSEMOVE, false},
                                         IdleRuleCase{WM_PAINT, false},
                                         IdleRuleCase{0x0118, false},
                                         IdleRuleCase{WM_TIMER, true},
                                         IdleRuleCase{WM_KEYDOWN, true},
                                         IdleRuleCase{WM_APP, true}));

// Records how often idle processing ran when each message arrived.
class ProbeWindow : public CWindowImpl<ProbeWindow>, public CIdleHandler, public CMessageFilter {
public:
    int idleCalls = 0;
    int idleCallsAtTimer = -1;
    bool swallowedReached = false;

    BOOL OnIdle() override
    {
        ++idleCalls;
        if (idleCalls == 1) {
            ::PostMessageW(window, WM_MOUSEMOVE, 0, 0);
            // Arrives after the queue has run dry behind the mouse move.
            ::SetTimer(window, 1, 100, nullptr);
        } else if (idleCalls == 2) {
            ::PostQuitMessage(7);
        }
        return FALSE;
    }

    BOOL PreTranslateMessage(MSG* msg) override { return msg->message == WM_APP + 5; }

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override
    {
        switch (message) {
        case WM_TIMER:
            ::KillTimer(hwnd, 1);
            idleCallsAtTimer = idleCalls;
            ::PostMessageW(hwnd, WM_APP + 5, 0, 0);
            return true;
        case WM_APP + 5:
            swallowedReached = true;
            return true;
        default:
            return false;
        }
    }
};

TEST(MessageLoop, IdleRunsOncePerQueueDrainAndNotAfterMouseMoves)
{
    ProbeWindow probe;
    ASSERT_TRUE(probe.Create(HWND_MESSAGE, RECT{}, L"probe", 0));
    CMessageLoop loop;
    loop.AddIdleHandler(&probe);
    loop.AddMessageFilter(&probe);

    EXPECT_EQ(loop.Run(), 7);
    EXPECT_EQ(probe.idleCallsAtTimer, 1) << "the mouse move must not make idle processing pending";
    EXPECT_EQ(probe.idleCalls, 2);
    EXPECT_FALSE(probe.swallowedReached) << "a filter that consumes a message stops its dispatch";
}

TEST(MessageLoop, HandlersAreKeptOnceAndRemovable)
{
    ProbeWindow probe;
    CMessageLoop loop;
    EXPECT_TRUE(loop.AddIdleHandler(&probe));
    EXPECT_FALSE(loop.AddIdleHandler(&probe));
    EXPECT_TRUE(loop.RemoveIdleHandler(&probe));
    EXPECT_FALSE(loop.RemoveIdleHandler(&probe));
    EXPECT_FALSE(loop.AddMessageFilter(nullptr));
}

} // namespace
