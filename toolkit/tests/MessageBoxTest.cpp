#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "ImageResources.h"
#include "MessageBox.h"
#include "TestSupport.h"
#include "ToolkitTestSupport.h"
#include "WindowImpl.h"

namespace {

// Finds the box by its title (a dialog of this process) and waits for it.
HWND WaitForBox(const wchar_t* title)
{
    HWND box = nullptr;
    for (int i = 0; i < 500 && !box; ++i) {
        box = ::FindWindowW(L"#32770", title);
        if (!box)
            ::Sleep(10);
    }
    return box;
}

HWND ChildWithId(HWND box, int id)
{
    return ::GetDlgItem(box, id);
}

RECT ChildRect(HWND child)
{
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Presses Enter in whatever window of the box's thread has the focus.
void PressEnterInBox(HWND box)
{
    GUITHREADINFO info{sizeof info};
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(box, nullptr), &info);
    ::PostMessageW(info.hwndFocus, WM_KEYDOWN, VK_RETURN, 0);
}

void ClickChild(HWND child)
{
    const POINT centre = CentreOf(child);
    ClickAt(centre.x, centre.y);
}

class Owner : public CWindowImpl<Owner> {};

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

TEST(ShowMessageBox, OnTheMainThreadEnterChoosesTheFocusedFirstButton)
{
    MoveMouseTo(1200, 780);
    std::thread driver([] {
        HWND box = WaitForBox(L"主线程");
        ::Sleep(200);
        PressEnterInBox(box);
    });
    const int result = ShowMessageBox(L"安装路径无效，请重新选择。", nullptr, L"主线程", L"确定", L"");
    driver.join();
    EXPECT_EQ(result, 1);
}

struct BoxKeys {
    std::vector<std::pair<WORD, WORD>> keys; // key, modifier
    int answer;
};

class BoxKeyboard : public testing::TestWithParam<BoxKeys> {};

// The box runs on a worker thread, as the installation's questions do; the keys come
// through the system's queue.
TEST_P(BoxKeyboard, TabMovesBetweenTheButtonsAndEscapeAnswersAsTheCloseButton)
{
    MoveMouseTo(1200, 780);
    std::atomic<int> result{-1};
    std::thread worker([&] { result = ShowMessageBox(L"是否迁移数据？", nullptr, L"键盘", L"是", L"否"); });
    HWND box = WaitForBox(L"键盘");
    ASSERT_TRUE(box);
    ::Sleep(200);
    ::SetForegroundWindow(box);
    for (const auto& [key, modifier] : GetParam().keys) {
        SendKeyPress(key, modifier);
        ::Sleep(100);
    }
    const bool answered = PumpUntil([&] { return result != -1; }, 3000);
    if (!answered)
        ::PostMessageW(box, WM_COMMAND, 2, 0);
    worker.join();
    EXPECT_TRUE(answered);
    EXPECT_EQ(result, GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(Keys, BoxKeyboard,
                         testing::Values(BoxKeys{{{VK_ESCAPE, 0}}, 2},
                                         BoxKeys{{{VK_RETURN, 0}}, 1},
                                         BoxKeys{{{VK_TAB, 0}, {VK_RETURN, 0}}, 2},
                                         BoxKeys{{{VK_TAB, 0}, {VK_TAB, 0}, {VK_SPACE, 0}}, 1},
                                         BoxKeys{{{VK_TAB, VK_SHIFT}, {VK_SPACE, 0}}, 2}));

// Records the dialogs that announce themselves.
std::vector<HWND> dialogsStarted;
void CALLBACK RecordDialogStart(HWINEVENTHOOK, DWORD, HWND hwnd, LONG, LONG, DWORD, DWORD)
{
    dialogsStarted.push_back(hwnd);
}

// The reader runs on another thread, as it would in another process; the box on this one.
TEST(ShowMessageBox, AScreenReaderHearsTheBoxAsADialogDescribedByItsMessage)
{
    MoveMouseTo(1200, 780);
    dialogsStarted.clear();
    HWINEVENTHOOK hook = ::SetWinEventHook(EVENT_SYSTEM_DIALOGSTART, EVENT_SYSTEM_DIALOGSTART, nullptr,
                                           &RecordDialogStart, ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    HWND box = nullptr;
    AccessibleElement dialog;
    std::vector<AccessibleElement> children;
    HRESULT pressed = E_FAIL;
    std::thread reader([&] {
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        box = WaitForBox(L"读屏");
        ::Sleep(200);
        dialog = AccessibleElementOf(box);
        children = AccessibleChildrenOf(box);
        IAccessible* second = nullptr;
        if (SUCCEEDED(::AccessibleObjectFromWindow(ChildWithId(box, 2), OBJID_CLIENT, __uuidof(IAccessible),
                                                   reinterpret_cast<void**>(&second)))) {
            VARIANT self{};
            self.vt = VT_I4;
            pressed = second->accDoDefaultAction(self);
            second->Release();
        }
        ::Sleep(300);
        if (::IsWindow(box))
            ::PostMessageW(box, WM_COMMAND, 1, 0);
        ::CoUninitialize();
    });
    const int result = ShowMessageBox(L"是否迁移数据？", nullptr, L"读屏", L"是", L"否");
    reader.join();
    ::UnhookWinEvent(hook);

    EXPECT_EQ(dialogsStarted, std::vector<HWND>{box});
    EXPECT_EQ(dialog.role, ROLE_SYSTEM_DIALOG);
    EXPECT_EQ(dialog.name, L"读屏");
    EXPECT_EQ(dialog.description, L"是否迁移数据？");
    ASSERT_EQ(children.size(), 5u);
    EXPECT_EQ(children[0].role, ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(children[0].name, L"是否迁移数据？");
    EXPECT_EQ(children[1].name, L"是");
    EXPECT_NE(children[1].state & STATE_SYSTEM_FOCUSED, 0) << "the first button has the focus";
    EXPECT_EQ(children[2].name, L"否");
    EXPECT_EQ(children[2].role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(children[2].defaultAction, L"按下");
    EXPECT_EQ(children[3].name, L"关闭");
    EXPECT_NE(children[4].state & STATE_SYSTEM_INVISIBLE, 0) << "the hidden minimise button";
    EXPECT_EQ(pressed, S_OK);
    EXPECT_EQ(result, 2) << "the default action presses the button";
}

TEST(ShowMessageBox, OnTheMainThreadTheCloseButtonGivesTwo)
{
    MoveMouseTo(1200, 780);
    std::thread driver([] {
        HWND box = WaitForBox(L"关闭");
        ::Sleep(200);
        ClickChild(ChildWithId(box, 2));
    });
    const int result = ShowMessageBox(L"文字", nullptr, L"关闭", L"确定", L"");
    driver.join();
    EXPECT_EQ(result, 2);
}

TEST(ShowMessageBox, AWorkerThreadBoxDisablesTheMainThreadOwnerUntilAnswered)
{
    MoveMouseTo(1200, 780);
    Owner owner;
    ASSERT_TRUE(owner.Create(nullptr, RECT{100, 100, 700, 600}, L"owner", WS_POPUP | WS_VISIBLE));
    std::atomic<int> result{-1};
    std::thread worker([&] {
        result = ShowMessageBox(L"是否迁移数据？", owner.window, L"数据迁移", L"是", L"否");
    });
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = ::FindWindowW(L"#32770", L"数据迁移")) != nullptr; }));
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindowEnabled(owner.window); }));

    // Centred over the owner.
    RECT rect{};
    ::GetWindowRect(box, &rect);
    EXPECT_EQ(rect.left, 100 + (600 - (rect.right - rect.left)) / 2);
    EXPECT_EQ(rect.top, 100 + (500 - (rect.bottom - rect.top)) / 2);

    PumpMessages(200);
    ClickChild(ChildWithId(box, 2));
    ASSERT_TRUE(PumpUntil([&] { return result != -1; }));
    worker.join();
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(::IsWindowEnabled(owner.window));
}

// Centred over a minimised owner the box would sit off-screen, over a disabled owner:
// nobody could answer it.
TEST(ShowMessageBox, AMinimisedOwnerIsRestoredAndTheBoxCentredOverIt)
{
    MoveMouseTo(1200, 780);
    Owner owner;
    ASSERT_TRUE(owner.Create(nullptr, RECT{100, 100, 700, 600}, L"owner", WS_POPUP | WS_VISIBLE | WS_MINIMIZEBOX));
    ::ShowWindow(owner.window, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return ::IsIconic(owner.window) != FALSE; }));
    std::atomic<int> result{-1};
    std::thread worker(
        [&] { result = ShowMessageBox(L"是否迁移数据？", owner.window, L"最小化", L"是", L"否"); });
    HWND box = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (box = ::FindWindowW(L"#32770", L"最小化")) != nullptr; }));
    PumpMessages(200);

    EXPECT_FALSE(::IsIconic(owner.window));
    RECT rect{};
    ::GetWindowRect(box, &rect);
    EXPECT_EQ(rect.left, 100 + (600 - (rect.right - rect.left)) / 2);
    EXPECT_EQ(rect.top, 100 + (500 - (rect.bottom - rect.top)) / 2);
    EXPECT_TRUE(::IsWindowVisible(box));

    ClickChild(ChildWithId(box, 1));
    const bool answered = PumpUntil([&] { return result != -1; });
    if (!answered)
        ::PostMessageW(box, WM_COMMAND, 2, 0);
    PumpUntil([&] { return result != -1; });
    worker.join();
    EXPECT_TRUE(answered) << "the user could answer with the mouse";
    EXPECT_EQ(result, 1);
}

TEST(ShowMessageBox, AWorkerThreadWithoutOwnerGetsOneForTheFirstButton)
{
    MoveMouseTo(1200, 780);
    std::atomic<int> result{-1};
    std::thread worker([&] { result = ShowMessageBox(L"安装失败", nullptr, L"", L"确定", L""); });
    HWND box = WaitForBox(L"");
    ASSERT_TRUE(box);
    PumpMessages(200);
    ClickChild(ChildWithId(box, 1));
    ASSERT_TRUE(PumpUntil([&] { return result != -1; }));
    worker.join();
    EXPECT_EQ(result, 1);

    // A second box on the same thread is not ended by anything the first one left.
    std::atomic<int> second{-1};
    std::thread again([&] {
        second = ShowMessageBox(L"再次", nullptr, L"再次", L"确定", L"");
    });
    HWND next = WaitForBox(L"再次");
    ASSERT_TRUE(next);
    PumpMessages(300);
    EXPECT_EQ(second, -1) << "the box waits for the user";
    PressEnterInBox(next);
    ASSERT_TRUE(PumpUntil([&] { return second != -1; }));
    again.join();
    EXPECT_EQ(second, 1);
}

// Counts the WM_APP messages it receives.
class Receiver : public CWindowImpl<Receiver> {
public:
    int received = 0;
    bool HandleMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT&, DWORD) override
    {
        received += message == WM_APP;
        return false;
    }
};

TEST(ShowMessageBox, AMessagePostedRightAfterTheAnswerStillReachesItsWindow)
{
    Receiver receiver;
    ASSERT_TRUE(receiver.Create(nullptr, RECT{0, 0, 50, 50}, L"receiver", WS_POPUP));
    HWND target = receiver.window;
    std::thread driver([target] {
        HWND box = WaitForBox(L"顺序");
        ::Sleep(200);
        // The answer and then, next in the queue, a message for another window.
        ::PostMessageW(box, WM_COMMAND, 1, 0);
        ::PostMessageW(target, WM_APP, 0, 0);
    });
    EXPECT_EQ(ShowMessageBox(L"文字", nullptr, L"顺序", L"确定", L""), 1);
    driver.join();
    PumpMessages(100);
    EXPECT_EQ(receiver.received, 1);
}

TEST(ShowMessageBox, AQuitRequestEndsTheBoxAndReachesTheOuterLoop)
{
    Owner owner;
    ASSERT_TRUE(owner.Create(nullptr, RECT{100, 100, 700, 600}, L"owner", WS_POPUP | WS_VISIBLE));
    const DWORD mainThread = ::GetCurrentThreadId();
    std::thread driver([mainThread] {
        WaitForBox(L"退出");
        ::Sleep(200);
        ::PostThreadMessageW(mainThread, WM_QUIT, 7, 0);
    });
    EXPECT_EQ(ShowMessageBox(L"文字", owner.window, L"退出", L"确定", L""), 0);
    driver.join();
    EXPECT_TRUE(::IsWindowEnabled(owner.window));
    EXPECT_EQ(::FindWindowW(L"#32770", L"退出"), nullptr);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

// Layout of a box, read while it is up.
class BoxLayout : public testing::Test {
protected:
    // Shows a box with the given texts, runs `check` on it, then closes it.
    void WithBox(const std::wstring& second, const std::function<void(CMessageBox&)>& check,
                 const std::wstring& message = L"检测到Tessamo正在运行，请关闭后重试。这一行足够长，需要换行显示在消息框里。")
    {
        CMessageBox box;
        box.SetTitle(L"程序正在运行");
        box.SetMessageText(message);
        box.SetButtonTexts(L"重试", second);
        std::thread driver([] {
            HWND hwnd = WaitForBox(L"程序正在运行");
            ::Sleep(300);
            ::PostMessageW(hwnd, WM_APP, 0, 0);
        });
        // The check runs inside the box's own loop.
        checkBox = &box;
        checker = check;
        SetCheckHook(box);
        box.RunModal(nullptr);
        driver.join();
        ASSERT_TRUE(checked);
    }

    void SetCheckHook(CMessageBox&)
    {
        // WM_APP arrives at the box: check and close with the close button's command.
        instance = this;
        hook = ::SetWindowsHookExW(WH_GETMESSAGE, &BoxLayout::GetMessageHook, nullptr, ::GetCurrentThreadId());
    }
    void TearDown() override
    {
        if (hook)
            ::UnhookWindowsHookEx(hook);
        instance = nullptr;
    }
    HHOOK hook = nullptr;

    static LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
    {
        MSG* msg = reinterpret_cast<MSG*>(lParam);
        if (code >= 0 && msg->message == WM_APP && instance && !instance->checked) {
            instance->checked = true;
            instance->checker(*instance->checkBox);
            ::PostMessageW(msg->hwnd, WM_COMMAND, 2, 0);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static BoxLayout* instance;
    CMessageBox* checkBox = nullptr;
    std::function<void(CMessageBox&)> checker;
    bool checked = false;
};

BoxLayout* BoxLayout::instance = nullptr;

constexpr uint32_t BodyPixel = 0xFFF0F0F0;

// Whether a window pixel of the box lies on one of its visible controls.
bool OnAControl(const CMessageBox& box, int x, int y)
{
    for (const CQCtrlBase* control : box.controls) {
        const RECT rect = ChildRect(control->window);
        if (control->visible && x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom)
            return true;
    }
    return false;
}

// Rows of the body, within the columns of the text rectangle and off the controls, that
// hold ink (anything but the body colour).
std::vector<int> InkRows(const CMessageBox& box, int fromY, int toY)
{
    std::vector<int> rows;
    const RECT bounds = box.textLayout.bounds;
    for (int y = fromY; y < toY; ++y) {
        for (int x = bounds.left; x < bounds.right; ++x) {
            if (box.BackPixel(x, y) != BodyPixel && !OnAControl(box, x, y)) {
                rows.push_back(y);
                break;
            }
        }
    }
    return rows;
}

TEST_F(BoxLayout, OneButtonSpansTheBodyLessSeventyPixelsOnEachSide)
{
    WithBox(L"", [](CMessageBox& box) {
        const RECT content = box.ContentRect();
        const RECT first = ChildRect(box.firstButton.window);
        EXPECT_EQ(first.left, content.left + 70);
        EXPECT_EQ(first.right, content.right - 70);
        EXPECT_EQ(first.top, content.top + 138);
        EXPECT_EQ(first.bottom, content.top + 168);
        EXPECT_EQ(box.secondButton.window, nullptr);
        EXPECT_FALSE(box.minimizeButton.visible) << "the box's minimise button is hidden";
        EXPECT_EQ(::GetFocus(), box.firstButton.window);
        const RECT bounds = box.textLayout.bounds;
        EXPECT_EQ(bounds.left, content.left + 30);
        EXPECT_EQ(bounds.top, content.top + 30);
        EXPECT_EQ(bounds.right, content.right - 30);
        EXPECT_EQ(bounds.bottom, content.bottom - 40);
        EXPECT_GT(box.textLayout.lines.size(), 1u) << "the long message wraps";
        EXPECT_LT(box.textLayout.lines.size(), 5u);
        for (const MessageTextLayout::Cell& cell : box.textLayout.cells) {
            EXPECT_GE(cell.x, bounds.left);
            EXPECT_LT(cell.x + cell.width, bounds.right) << "no cell touches the right edge";
        }
        EXPECT_GT(box.textLayout.lines[0].last, 10u) << "a line holds many characters";
        EXPECT_EQ(box.BackPixel(content.left + 1, content.top + 1), 0xFFFFBA00u);
        SaveBackBuffer(box, L"message-box-one-button");
    });
}

TEST_F(BoxLayout, TwoButtonsAreAHundredPixelsWideFortyFiveFromTheEdges)
{
    WithBox(L"取消", [](CMessageBox& box) {
        const RECT content = box.ContentRect();
        const RECT first = ChildRect(box.firstButton.window);
        const RECT second = ChildRect(box.secondButton.window);
        EXPECT_EQ(first.left, content.left + 45);
        EXPECT_EQ(first.right, content.left + 145);
        EXPECT_EQ(second.left, content.right - 145);
        EXPECT_EQ(second.right, content.right - 45);
        EXPECT_EQ(second.top, content.top + 138);
        EXPECT_EQ(box.controls.size(), 4u) << "close, minimise, second, first";
        EXPECT_EQ(box.controls[2], &box.secondButton);
        SaveBackBuffer(box, L"message-box-two-buttons");
    });
}

TEST_F(BoxLayout, AOneLineMessageIsDrawnInTheMiddleOfTheTextRectangle)
{
    WithBox(L"", [](CMessageBox& box) {
        const MessageTextLayout& text = box.textLayout;
        ASSERT_EQ(text.lines.size(), 1u);
        ASSERT_GT(text.verticalOffset, 0) << "a short message is centred vertically";
        const int lineTop = text.lines[0].top + text.verticalOffset;
        const int lineBottom = lineTop + text.cachedTextHeight;
        const std::vector<int> rows = InkRows(box, text.bounds.top, text.bounds.bottom);
        ASSERT_FALSE(rows.empty()) << "the message is drawn";
        EXPECT_GE(rows.front(), lineTop);
        EXPECT_LT(rows.back(), lineBottom);
        EXPECT_GT(rows.size(), static_cast<size_t>(text.cachedTextHeight / 2));
        SaveBackBuffer(box, L"message-box-one-line");
    }, L"安装路径无效，请重新选择。");
}

TEST_F(BoxLayout, ALongPathStopsAtTheTextRectangle)
{
    std::wstring path = L"D:\\";
    for (int i = 0; i < 12; ++i)
        path += L"很长的文件夹名称" + std::to_wstring(i) + L"\\";
    WithBox(L"", [](CMessageBox& box) {
        const MessageTextLayout& text = box.textLayout;
        const RECT content = box.ContentRect();
        EXPECT_TRUE(InkRows(box, text.bounds.bottom, content.bottom).empty())
            << "no text below the text rectangle";
        // The last line that fits ends with the ellipsis, in ink.
        ASSERT_TRUE(text.ellipsisShown);
        const MessageTextLayout::Cell& ellipsis = text.ellipsis;
        const int top = ellipsis.y + text.verticalOffset;
        EXPECT_LE(top + ellipsis.height, text.bounds.bottom);
        int ink = 0;
        for (int y = top; y < top + ellipsis.height; ++y) {
            for (int x = ellipsis.x; x < ellipsis.x + ellipsis.width; ++x)
                ink += box.BackPixel(x, y) != BodyPixel;
        }
        EXPECT_GT(ink, 0);
        SaveBackBuffer(box, L"message-box-long-path");
    }, L"创建文件夹\"" + path + L"\"失败！");
}

TEST_F(BoxLayout, TheBoxTakesItsSizeFromTheDialogTemplate)
{
    // The template's size with its caption and frame, as the platform makes it.
    HWND plain = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MESSAGE_BOX),
                                      nullptr, &PlainDialogProc, 0);
    ASSERT_TRUE(plain);
    RECT expected{};
    ::GetWindowRect(plain, &expected);
    ::DestroyWindow(plain);
    WithBox(L"", [&](CMessageBox& box) {
        RECT rect{};
        ::GetWindowRect(box.window, &rect);
        EXPECT_EQ(rect.right - rect.left, expected.right - expected.left);
        EXPECT_EQ(rect.bottom - rect.top, expected.bottom - expected.top);
        const LONG_PTR style = ::GetWindowLongPtrW(box.window, GWL_STYLE);
        EXPECT_EQ(style & WS_CAPTION, 0);
        EXPECT_EQ(::GetWindowLongPtrW(box.window, GWL_EXSTYLE), 0x000C0080);
        RECT client{};
        ::GetClientRect(box.window, &client);
        EXPECT_EQ(client.right, rect.right - rect.left) << "no frame is left";
        std::printf("message box: %ld x %ld\n", rect.right - rect.left, rect.bottom - rect.top);
    });
}

// The installer's longest question and a short message.
const wchar_t* const ScaledMessages[] = {
    L"检测到您之前已经安装了Tessamo且此次安装更换了安装目录，是否需要进行数据迁移？",
    L"无效的安装路径，请输入正确的安装路径！",
};

class BoxAtScale : public BoxLayout, public testing::WithParamInterface<UINT> {};

TEST_P(BoxAtScale, MovedToAScreenOfAnotherScaleTheWholeMessageStillShows)
{
    const UINT dpi = GetParam();
    for (const wchar_t* message : ScaledMessages) {
        checked = false;
        WithBox(L"取消", [&](CMessageBox& box) {
            RECT frame{};
            ::GetWindowRect(box.window, &frame);
            const int heightAt100 = box.textLayout.cachedTextHeight;
            RECT suggested{frame.left, frame.top, frame.left + ScaleLength(frame.right - frame.left, dpi),
                           frame.top + ScaleLength(frame.bottom - frame.top, dpi)};
            ::SendMessageW(box.window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
            RECT now{};
            ::GetWindowRect(box.window, &now);
            EXPECT_TRUE(::EqualRect(&now, &suggested)) << "the box takes the suggested rectangle";
            const RECT content = box.ContentRect();
            EXPECT_EQ(content.left, ScaleLength(8, dpi));
            const MessageTextLayout& text = box.textLayout;
            EXPECT_EQ(text.bounds.left, content.left + ScaleLength(30, dpi));
            EXPECT_EQ(text.bounds.bottom, content.bottom - ScaleLength(40, dpi));
            EXPECT_GT(text.cachedTextHeight, heightAt100) << "the text is measured in the scaled font";
            EXPECT_FALSE(text.ellipsisShown) << "the message is not cut";
            EXPECT_EQ(text.drawnCells, text.cells.size());
            EXPECT_LE(text.lines.back().bottom - text.lineGap + text.verticalOffset, text.bounds.bottom);
            EXPECT_TRUE(InkRows(box, text.bounds.bottom, ChildRect(box.firstButton.window).top).empty()) << "no text below its rectangle";
            const RECT first = ChildRect(box.firstButton.window);
            EXPECT_EQ(first.left, content.left + ScaleLength(45, dpi));
            EXPECT_EQ(first.bottom, content.top + ScaleLength(168, dpi));
            EXPECT_EQ(BitmapSize(box.firstButton.images[0]).cx, ScaleLength(30, dpi)) << "pictures for the scale";
            SaveBackBuffer(box, L"message-box-" + std::to_wstring(dpi) + L"-dpi");
        }, message);
    }
}

INSTANTIATE_TEST_SUITE_P(DisplayScales, BoxAtScale, testing::Values(120u, 144u, 168u, 192u));

LRESULT CALLBACK RefuseWindowCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND)
        return 1;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(ShowMessageBox, ABoxThatCannotBeCreatedReturnsZeroAndLeavesTheOwnerEnabled)
{
    Owner owner;
    ASSERT_TRUE(owner.Create(nullptr, RECT{0, 0, 100, 100}, L"owner", WS_POPUP));
    HWND gone = owner.window;
    ::DestroyWindow(gone);
    // An invalid owner makes the dialog creation fail.
    EXPECT_EQ(ShowMessageBox(L"x", gone, L"x", L"确定", L""), 0);

    // A live owner, and the dialog's creation refused by the system.
    Owner live;
    ASSERT_TRUE(live.Create(nullptr, RECT{0, 0, 100, 100}, L"live", WS_POPUP));
    HHOOK refuse = ::SetWindowsHookExW(WH_CBT, &RefuseWindowCreation, nullptr, ::GetCurrentThreadId());
    ASSERT_TRUE(refuse);
    CMessageBox box;
    box.SetMessageText(L"x");
    const int result = box.RunModal(live.window);
    ::UnhookWindowsHookEx(refuse);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(box.window, nullptr);
    EXPECT_TRUE(::IsWindowEnabled(live.window));
}

} // namespace
