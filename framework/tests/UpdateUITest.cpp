#include <gtest/gtest.h>

#include "UpdateUI.h"

TEST(UpdateUI, PendingStatesReachTheChildWindowsOnce)
{
    HWND container = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr,
                                       nullptr, nullptr, nullptr);
    HWND child = ::CreateWindowExW(0, L"BUTTON", L"old", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 50, 20,
                                   container, reinterpret_cast<HMENU>(5), nullptr, nullptr);
    ASSERT_TRUE(child);

    CUpdateUI<int> ui;
    EXPECT_TRUE(ui.UIAddChildWindowContainer(container));
    EXPECT_FALSE(ui.UIAddChildWindowContainer(container));
    EXPECT_EQ(ui.UIUpdateChildWindows(), 0) << "an empty map changes nothing";

    ui.UIEnable(5, false);
    ui.UISetCheck(5, BST_CHECKED);
    ui.UISetText(5, L"新的");
    EXPECT_EQ(ui.UIUpdateChildWindows(), 1);

    EXPECT_FALSE(::IsWindowEnabled(child));
    EXPECT_EQ(::SendMessageW(child, BM_GETCHECK, 0, 0), BST_CHECKED);
    wchar_t text[16] = {};
    ::GetWindowTextW(child, text, 16);
    EXPECT_STREQ(text, L"新的");
    EXPECT_EQ(ui.UIUpdateChildWindows(), 0);
    ::DestroyWindow(container);
}
