// The setup window without a mouse: real keys through the system's queue, and what a
// screen reader reads and hears of it.
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "EarlierInstallation.h"
#include "MainDlg.h"
#include "ProgressCodes.h"
#include "RunState.h"
#include "TestSupport.h"
#include "ToolkitTestSupport.h"

namespace {

const wchar_t* const KelbrinKey = L"SOFTWARE\\Kelbrin";
const wchar_t* const SucceededLine = L"恭喜你，软件成功安装，可以开始体验人性化的便签软件了！";

constexpr uint32_t Opaque(COLORREF colour)
{
    return 0xFF000000u | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

// The name a screen reader gives the control that has the keyboard focus.
std::wstring FocusedName()
{
    const HWND focus = ::GetFocus();
    return focus ? AccessibleElementOf(focus).name : L"<none>";
}

void Key(WORD key, WORD modifier = 0)
{
    SendKeyPress(key, modifier);
    PumpMessages(80);
}

// Name and value changes of the window's own elements, as a screen reader hears them.
class Announcements {
public:
    explicit Announcements(HWND watched) : window(watched)
    {
        current = this;
        hook = ::SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, &Record,
                                 ::GetCurrentProcessId(), ::GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
    }
    ~Announcements()
    {
        ::UnhookWinEvent(hook);
        current = nullptr;
    }
    std::vector<std::wstring> names;
    std::vector<std::wstring> values;
    std::vector<HWND> stateChanges;

private:
    static void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD)
    {
        if (!current || object != OBJID_CLIENT)
            return;
        if (event == EVENT_OBJECT_STATECHANGE)
            current->stateChanges.push_back(hwnd);
        if (hwnd != current->window)
            return;
        const AccessibleElement element = AccessibleElementOf(hwnd, child);
        if (event == EVENT_OBJECT_NAMECHANGE)
            current->names.push_back(element.name);
        else if (event == EVENT_OBJECT_VALUECHANGE)
            current->values.push_back(element.value);
    }
    static inline Announcements* current = nullptr;
    HWND window;
    HWINEVENTHOOK hook = nullptr;
};

class MainDlgAccessTest : public testing::Test {
protected:
    void SetUp() override
    {
        earlier = RecordEarlierInstallation(temp.Path());
        MoveMouseTo(1200, 780);
    }
    void TearDown() override
    {
        dialog.reset();
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, KelbrinKey, L"Location");
        ::RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelbrin");
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"Pinvora");
    }
    void Open()
    {
        ASSERT_TRUE(dialog->Show());
        ::SetForegroundWindow(dialog->window);
        PumpMessages(100);
    }
    bool WaitForStatus(const std::wstring& line, DWORD milliseconds = 120000)
    {
        return PumpUntil([&] { return dialog->StatusText == line || dialog->StatusText == L"安装失败！"; },
                         milliseconds) &&
               dialog->StatusText == line;
    }

    ScopedTempDir temp;
    std::wstring earlier;
    InstallLog log;
    std::unique_ptr<CMainDlg> dialog = std::make_unique<CMainDlg>(log);
};

struct KeyStep {
    WORD modifier;
    const wchar_t* focused;
};

struct KeyCase {
    std::function<void()> arrange;
    std::vector<KeyStep> steps;
};

class TabOrder : public MainDlgAccessTest, public testing::WithParamInterface<KeyCase> {};

TEST_P(TabOrder, TabAndShiftTabVisitTheVisibleControlsInOrderAndWrap)
{
    GetParam().arrange();
    Open();
    int step = 0;
    for (const KeyStep& key : GetParam().steps) {
        Key(VK_TAB, key.modifier);
        EXPECT_EQ(FocusedName(), key.focused) << "after key " << step;
        ++step;
    }
}

INSTANTIATE_TEST_SUITE_P(
    States, TabOrder,
    testing::Values(KeyCase{[] {},
                            {{0, L"安装目录"},
                             {0, L"更换目录"},
                             {0, L"开始安装"},
                             {0, L"开机时启动Tessamo"},
                             {0, L"安装目录"},
                             {VK_SHIFT, L"开机时启动Tessamo"},
                             {VK_SHIFT, L"开始安装"}}},
                    KeyCase{[] { UpgradeMode = 1; }, {{0, L"开始升级"}, {0, L"开始升级"}, {VK_SHIFT, L"开始升级"}}},
                    KeyCase{[] {}, {{VK_SHIFT, L"开机时启动Tessamo"}, {VK_SHIFT, L"开始安装"}}}));

TEST_F(MainDlgAccessTest, SpaceAndTheDefaultActionToggleTheCheckBoxAndAnnounceIt)
{
    Open();
    Announcements heard(dialog->window);
    Key(VK_TAB, VK_SHIFT);
    ASSERT_EQ(FocusedName(), L"开机时启动Tessamo");
    const HWND box = ::GetFocus();
    Key(VK_SPACE);
    EXPECT_EQ(AccessibleElementOf(box).state & STATE_SYSTEM_CHECKED, 0) << "unchecked";
    EXPECT_EQ(AccessibleElementOf(box).defaultAction, L"选中");

    IAccessible* object = nullptr;
    ASSERT_EQ(::AccessibleObjectFromWindow(box, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object)),
              S_OK);
    VARIANT self{};
    self.vt = VT_I4;
    EXPECT_EQ(object->accDoDefaultAction(self), S_OK);
    object->Release();
    PumpMessages(100);
    EXPECT_NE(AccessibleElementOf(box).state & STATE_SYSTEM_CHECKED, 0) << "checked again";
    EXPECT_EQ(heard.stateChanges, (std::vector<HWND>{box, box}));
}

// A whole installation from the keyboard: Tab to the main button, Enter; what a screen
// reader hears on the way; and at the end Tab reaches "开始体验".
TEST_F(MainDlgAccessTest, EnterOnTheMainButtonInstallsAndEveryStatusLineIsAnnounced)
{
    Open();
    Announcements heard(dialog->window);
    for (int i = 0; i < 3; ++i)
        Key(VK_TAB);
    ASSERT_EQ(FocusedName(), L"开始安装");
    Key(VK_RETURN);
    ASSERT_TRUE(WaitForStatus(SucceededLine));
    PumpMessages(100);

    EXPECT_EQ(heard.names, (std::vector<std::wstring>{L"安装进行中，正在解压文件...",
                                                      L"安装进行中，正在拷贝文件到安装目录...",
                                                      L"安装进行中，写开始菜单...", L"安装进行中，正在注册启动项...",
                                                      L"安装进行中，正在删除临时文件...", SucceededLine}));
    EXPECT_EQ(heard.values,
              (std::vector<std::wstring>{L"17%", L"33%", L"50%", L"67%", L"83%", L"安装完成"}));
    Key(VK_TAB);
    EXPECT_EQ(FocusedName(), L"开始体验");
    Key(VK_TAB);
    EXPECT_EQ(FocusedName(), L"开始体验") << "the only control left";
}

TEST_F(MainDlgAccessTest, EnterInThePathFieldStartsTheInstallation)
{
    Open();
    Key(VK_TAB);
    ASSERT_EQ(FocusedName(), L"安装目录");
    Key(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return !dialog->StatusText.empty(); }, 20000));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog->window, 0))) << "the input controls gave way";
}

TEST_F(MainDlgAccessTest, AltF4DuringTheInstallationDoesWhatTheCloseButtonDoes)
{
    Open();
    Key(VK_TAB, VK_SHIFT);
    Key(VK_TAB, VK_SHIFT);
    ASSERT_EQ(FocusedName(), L"开始安装");
    Key(VK_RETURN);
    ASSERT_TRUE(WaitForStatus(L"安装进行中，正在拷贝文件到安装目录...", 60000));
    const HWND window = dialog->window;
    ::SetForegroundWindow(window);
    SendKeyPress(VK_F4, VK_MENU);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(window); }, 10000)) << "the window closes";
    EXPECT_NE(dialog->StatusText, SucceededLine) << "the installation stopped";
    dialog.reset(); // waits for the worker, stopped between two files
}

// The dotted outline of the focused control, 2 pixels inside it.
uint32_t CuePixel(const CMainDlg& dialog, int id)
{
    RECT rect{};
    ::GetWindowRect(::GetDlgItem(dialog.window, id), &rect);
    ::MapWindowPoints(nullptr, dialog.window, reinterpret_cast<POINT*>(&rect), 2);
    return dialog.BackPixel(rect.left + 2, rect.top + 2);
}

TEST_F(MainDlgAccessTest, TheFocusCueShowsAfterTabAndNotAfterAClick)
{
    Open();
    const uint32_t beforeMain = CuePixel(*dialog, 100);
    const uint32_t beforePath = CuePixel(*dialog, 0);
    Key(VK_TAB, VK_SHIFT);
    Key(VK_TAB, VK_SHIFT);
    ASSERT_EQ(FocusedName(), L"开始安装");
    EXPECT_EQ(CuePixel(*dialog, 100), Opaque(0)) << "the cue after Tab";
    EXPECT_NE(beforeMain, Opaque(0));

    const POINT path = CentreOf(::GetDlgItem(dialog->window, 0));
    ClickAt(path.x, path.y);
    PumpMessages(100);
    ASSERT_EQ(FocusedName(), L"安装目录");
    EXPECT_EQ(CuePixel(*dialog, 100), beforeMain) << "the cue left with the focus";
    EXPECT_EQ(CuePixel(*dialog, 0), beforePath) << "no cue after a click";
    Key(VK_TAB, VK_SHIFT);
    Key(VK_TAB);
    EXPECT_EQ(CuePixel(*dialog, 0), Opaque(0)) << "a key brings the cue back";
    Key(VK_TAB);
    Key(VK_TAB);
    EXPECT_EQ(CuePixel(*dialog, 100), Opaque(0)) << "the cue follows the focus";
    EXPECT_EQ(CuePixel(*dialog, 0), beforePath);
}

TEST_F(MainDlgAccessTest, AScreenReaderFindsEveryControlNamedAndNoPicture)
{
    Open();
    const std::vector<AccessibleElement> children = AccessibleChildrenOf(dialog->window);
    ASSERT_EQ(children.size(), 9u);
    struct Expected {
        const wchar_t* name;
        long role;
        bool shown;
        const wchar_t* action;
    };
    const Expected expected[] = {
        {L"", ROLE_SYSTEM_STATICTEXT, false, L""},           {L"安装进度", ROLE_SYSTEM_PROGRESSBAR, false, L""},
        {L"安装目录", ROLE_SYSTEM_TEXT, true, L""},           {L"更换目录", ROLE_SYSTEM_PUSHBUTTON, true, L"按下"},
        {L"开始安装", ROLE_SYSTEM_PUSHBUTTON, true, L"按下"}, {L"开机时启动Tessamo", ROLE_SYSTEM_CHECKBUTTON, true, L"取消选中"},
        {L"开始体验", ROLE_SYSTEM_PUSHBUTTON, false, L"按下"}, {L"关闭", ROLE_SYSTEM_PUSHBUTTON, true, L"按下"},
        {L"最小化", ROLE_SYSTEM_PUSHBUTTON, true, L"按下"},
    };
    for (size_t i = 0; i < children.size(); ++i) {
        const AccessibleElement& child = children[i];
        EXPECT_EQ(child.name, expected[i].name) << i;
        EXPECT_EQ(child.role, expected[i].role) << i;
        EXPECT_EQ((child.state & STATE_SYSTEM_INVISIBLE) == 0, expected[i].shown) << i;
        EXPECT_EQ(child.defaultAction, expected[i].action) << i;
        EXPECT_NE(child.role, ROLE_SYSTEM_GRAPHIC) << "no picture is announced";
    }
    EXPECT_EQ(children[2].value, earlier) << "the path is the field's value";
    EXPECT_NE(children[2].state & STATE_SYSTEM_FOCUSABLE, 0);
    EXPECT_NE(children[5].state & STATE_SYSTEM_CHECKED, 0);
    EXPECT_EQ(children[7].state & STATE_SYSTEM_FOCUSABLE, 0) << "the title buttons are no tab stops";
    EXPECT_EQ(AccessibleElementOf(dialog->window).name, L"安装Tessamo");

    Key(VK_TAB);
    EXPECT_NE(AccessibleChildrenOf(dialog->window)[2].state & STATE_SYSTEM_FOCUSED, 0);
}

TEST_F(MainDlgAccessTest, InUpgradeModeOnlyTheMainButtonIsShown)
{
    UpgradeMode = 1;
    Open();
    const std::vector<AccessibleElement> children = AccessibleChildrenOf(dialog->window);
    ASSERT_EQ(children.size(), 9u);
    for (size_t i : {2, 3, 5})
        EXPECT_NE(children[i].state & STATE_SYSTEM_INVISIBLE, 0) << children[i].name;
    EXPECT_EQ(children[4].name, L"开始升级");
    EXPECT_EQ(children[4].state & STATE_SYSTEM_INVISIBLE, 0);
}

TEST_F(MainDlgAccessTest, HighContrastDrawsTextAndThePathFieldInTheSystemColours)
{
    Open();
    constexpr COLORREF Window = RGB(0, 0, 0), WindowText = RGB(255, 255, 0), ButtonFace = RGB(0, 0, 96),
                       ButtonText = RGB(0, 255, 0), Caption = RGB(128, 0, 128), CaptionText = RGB(255, 255, 255),
                       Highlight = RGB(0, 128, 255);
    {
        ScopedHighContrast contrast(
            {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_ACTIVECAPTION, COLOR_CAPTIONTEXT,
             COLOR_HIGHLIGHT},
            {Window, WindowText, ButtonFace, ButtonText, Caption, CaptionText, Highlight});
        ::SendMessageW(dialog->window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
        SaveBackBuffer(*dialog, L"setup-high-contrast");
        EXPECT_EQ(dialog->BackPixel(12, 404), Opaque(Window)) << "body";
        EXPECT_EQ(dialog->BackPixel(300, 20), Opaque(Caption)) << "caption";
        EXPECT_EQ(dialog->BackPixel(86, 335), Opaque(WindowText)) << "path box border";
        EXPECT_EQ(dialog->BackPixel(87, 336), Opaque(Window)) << "path box inside";
        EXPECT_EQ(dialog->BackPixel(423, 334), Opaque(ButtonText)) << "main button border";
        EXPECT_EQ(dialog->BackPixel(425, 336), Opaque(ButtonFace)) << "main button face";
        auto count = [&](COLORREF colour, int left, int top, int right, int bottom) {
            int found = 0;
            for (int y = top; y < bottom; ++y)
                for (int x = left; x < right; ++x)
                    found += dialog->BackPixel(x, y) == Opaque(colour);
            return found;
        };
        EXPECT_GT(count(WindowText, 18, 340, 86, 360), 10) << "the label";
        EXPECT_GT(count(WindowText, 92, 334, 332, 364), 10) << "the path";
        EXPECT_GT(count(ButtonText, 423, 336, 488, 362), 10) << "the main button's label";
        EXPECT_GT(count(WindowText, 198, 378, 376, 393), 10) << "the check box's label";
        EXPECT_GT(count(CaptionText, 18, 18, 100, 36), 10) << "the title";
        Key(VK_TAB, VK_SHIFT);
        Key(VK_TAB, VK_SHIFT);
        EXPECT_EQ(CuePixel(*dialog, 100), Opaque(Highlight)) << "the focus cue";
    }
    ::SendMessageW(dialog->window, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    EXPECT_EQ(dialog->BackPixel(12, 404), Opaque(0xF0F0F0)) << "back to the usual look";
}

} // namespace
