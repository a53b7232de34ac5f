#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogImpl.h"
#include "WindowImpl.h"

namespace {

class BaseWindow : public CWindowImpl<BaseWindow> {
public:
    std::vector<UINT> seenByBase;
    HWND goneWindow = nullptr;

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override
    {
        seenByBase.push_back(message);
        if (message == WM_APP) {
            result = 11;
            return true;
        }
        return false;
    }

    void OnWindowGone(HWND gone) override { goneWindow = gone; }
};

class DerivedWindow : public BaseWindow {
public:
    std::vector<UINT> seenByDerived;

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override
    {
        if (BaseWindow::HandleMessage(hwnd, message, wParam, lParam, result, mapId))
            return true;
        seenByDerived.push_back(message);
        if (message == WM_APP + 1) {
            result = 22;
            return true;
        }
        return false;
    }
};

bool Contains(const std::vector<UINT>& list, UINT message)
{
    return std::find(list.begin(), list.end(), message) != list.end();
}

std::wstring ClassNameOf(HWND hwnd)
{
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

TEST(WindowImpl, MessagesRunThroughTheHandlerChainBaseFirst)
{
    DerivedWindow w;
    ASSERT_TRUE(w.Create(nullptr, RECT{0, 0, 50, 50}, L"chain", WS_POPUP));

    EXPECT_EQ(::SendMessageW(w.window, WM_APP, 0, 0), 11);
    EXPECT_FALSE(Contains(w.seenByDerived, WM_APP)) << "handled by the base, so the derived level is skipped";
    EXPECT_EQ(::SendMessageW(w.window, WM_APP + 1, 0, 0), 22);
    EXPECT_TRUE(Contains(w.seenByBase, WM_APP + 1));
    EXPECT_TRUE(Contains(w.seenByBase, WM_CREATE));

    // Nobody handles WM_SETTEXT, so the default processing stores the text.
    ::SetWindowTextW(w.window, L"默认处理");
    wchar_t text[32] = {};
    ::GetWindowTextW(w.window, text, 32);
    EXPECT_STREQ(text, L"默认处理");
}

TEST(WindowImpl, TheObjectLearnsWhenItsWindowIsGone)
{
    BaseWindow w;
    HWND hwnd = w.Create(nullptr, RECT{0, 0, 50, 50}, L"gone", WS_POPUP);
    ASSERT_TRUE(hwnd);
    ::DestroyWindow(hwnd);
    EXPECT_EQ(w.goneWindow, hwnd);
    EXPECT_EQ(w.window, nullptr);
    EXPECT_TRUE(Contains(w.seenByBase, WM_NCDESTROY));
}

TEST(WindowImpl, OneAutomaticallyNamedClassPerFinalClass)
{
    BaseWindow a, b;
    DerivedWindow c;
    ASSERT_TRUE(a.Create(nullptr, RECT{0, 0, 10, 10}, L"a", WS_POPUP));
    ASSERT_TRUE(b.Create(nullptr, RECT{0, 0, 10, 10}, L"b", WS_POPUP));
    ASSERT_TRUE(c.Create(nullptr, RECT{0, 0, 10, 10}, L"c", WS_POPUP));

    EXPECT_EQ(ClassNameOf(a.window).rfind(L"ATL:", 0), 0u);
    EXPECT_EQ(ClassNameOf(a.window), ClassNameOf(b.window));
    EXPECT_EQ(::GetClassLongW(a.window, GCL_STYLE), CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
    // DerivedWindow inherits CWindowImpl<BaseWindow>, so it shares the base's class.
    EXPECT_EQ(ClassNameOf(a.window), ClassNameOf(c.window));
}

TEST(WindowImpl, DestroyingTheObjectDestroysItsWindow)
{
    HWND hwnd;
    {
        BaseWindow w;
        hwnd = w.Create(nullptr, RECT{0, 0, 10, 10}, L"scoped", WS_POPUP);
        ASSERT_TRUE(hwnd);
    }
    EXPECT_FALSE(::IsWindow(hwnd));
}

class TestDialog : public CDialogImpl<TestDialog> {
public:
    enum { IDD = 100 };
    bool initialised = false;
    HWND goneWindow = nullptr;

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override
    {
        switch (message) {
        case WM_INITDIALOG:
            initialised = true;
            return false;
        case WM_APP:
            result = 33;
            return true;
        default:
            return false;
        }
    }

    void OnWindowGone(HWND gone) override { goneWindow = gone; }
};

TEST(DialogImpl, ModelessDialogFromTemplateRoutesMessagesAndReportsItsEnd)
{
    TestDialog dialog;
    HWND hwnd = dialog.Create(nullptr);
    ASSERT_TRUE(hwnd);
    EXPECT_TRUE(dialog.initialised);
    EXPECT_EQ(dialog.window, hwnd);
    EXPECT_EQ(::SendMessageW(hwnd, WM_APP, 0, 0), 33);
    ::DestroyWindow(hwnd);
    EXPECT_EQ(dialog.goneWindow, hwnd);
    EXPECT_EQ(dialog.window, nullptr);
}

} // namespace
