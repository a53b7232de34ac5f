// The real setup window in this process: layout read back from its back buffer, and a
// whole installation driven through its controls with the progress codes recorded.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "EarlierInstallation.h"
#include "DisplayScale.h"
#include "GdiObjects.h"
#include "ImageResources.h"
#include "MainDlg.h"
#include "ProgressCodes.h"
#include "ResourceIds.h"
#include "RunState.h"
#include "SetupLayout.h"
#include "TestSupport.h"
#include "ToolkitTestSupport.h"

namespace {

const wchar_t* const KelbrinKey = L"SOFTWARE\\Kelbrin";

constexpr uint32_t Opaque(COLORREF colour)
{
    return 0xFF000000u | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

RECT ChildRect(HWND parent, int id)
{
    RECT rect{};
    HWND child = ::GetDlgItem(parent, id);
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void ExpectRect(const RECT& actual, int left, int top, int right, int bottom)
{
    EXPECT_EQ(actual.left, left);
    EXPECT_EQ(actual.top, top);
    EXPECT_EQ(actual.right, right);
    EXPECT_EQ(actual.bottom, bottom);
}

// The object behind one of the window's controls.
template <class Control>
Control& ControlObject(HWND parent, int id)
{
    auto* object = reinterpret_cast<CWindowImplRoot*>(::GetWindowLongPtrW(::GetDlgItem(parent, id), GWLP_USERDATA));
    return dynamic_cast<Control&>(*object);
}

bool Overlap(const RECT& a, const RECT& b)
{
    RECT both{};
    return ::IntersectRect(&both, &a, &b) != FALSE;
}

// Waits on another thread for a box of this process with `title`; null after 10 seconds.
HWND WaitForBox(const wchar_t* title)
{
    HWND box = nullptr;
    for (int i = 0; i < 1000 && !(box = ::FindWindowW(L"#32770", title)); ++i)
        ::Sleep(10);
    return box;
}

// The status line each progress code sets, in the order a user sees them.
const std::pair<int, const wchar_t*> StatusLines[] = {
    {ProgressExtracting, L"安装进行中，正在解压文件..."},
    {ProgressCopying, L"安装进行中，正在拷贝文件到安装目录..."},
    {ProgressStartMenu, L"安装进行中，写开始菜单..."},
    {ProgressRegistering, L"安装进行中，正在注册启动项..."},
    {ProgressCleaningUp, L"安装进行中，正在删除临时文件..."},
    {ProgressSucceeded, L"恭喜你，软件成功安装，可以开始体验人性化的便签软件了！"},
    {ProgressFailed, L"安装失败！"},
};

std::wstring DesktopLink()
{
    wchar_t desktop[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOP, FALSE);
    return std::wstring(desktop) + L"\\Tessamo.lnk";
}

const wchar_t* const UninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelbrin";
const wchar_t* const RunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class MainDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        earlier = RecordEarlierInstallation(temp.Path());
        ForgetInstallation();
    }
    void TearDown() override
    {
        dialog.reset();
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, KelbrinKey, L"Location");
        ForgetInstallation();
    }

    // What an installation leaves outside its folder.
    static void ForgetInstallation()
    {
        ::RegDeleteKeyW(HKEY_CURRENT_USER, UninstallKey);
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, RunKey, L"Pinvora");
        ::DeleteFileW(DesktopLink().c_str());
    }

    // Dispatches messages and records each progress code with the status line it set.
    void PumpRecording(DWORD milliseconds, int until)
    {
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < milliseconds) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
                if (msg.message == WM_SETUP_PROGRESS) {
                    codes.push_back(static_cast<int>(msg.wParam));
                    lines.push_back(dialog->StatusText);
                    if (msg.wParam == ProgressCopying)
                        SaveBackBuffer(*dialog, L"setup-installing");
                    if (static_cast<int>(msg.wParam) == until || msg.wParam == ProgressFailed)
                        return;
                }
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    void Click(int id)
    {
        HWND control = ::GetDlgItem(dialog->window, id);
        ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }

    ScopedTempDir temp;
    std::wstring earlier;
    InstallLog log;
    std::unique_ptr<CMainDlg> dialog = std::make_unique<CMainDlg>(log);
    std::vector<int> codes;
    std::vector<std::wstring> lines;
};

TEST_F(MainDlgTest, FreshLayoutMatchesTheTable)
{
    ASSERT_TRUE(dialog->Show());
    HWND window = dialog->window;
    SaveBackBuffer(*dialog, L"setup-ready");
    EXPECT_EQ(dialog->BufferSize().cx, 516);
    EXPECT_EQ(dialog->BufferSize().cy, 416);
    EXPECT_EQ(dialog->title, L"安装Tessamo");

    ExpectRect(ChildRect(window, 0), 92, 334, 332, 364);   // path field
    ExpectRect(ChildRect(window, 101), 348, 334, 413, 364); // 更换目录
    ExpectRect(ChildRect(window, 100), 423, 334, 488, 364); // main button
    ExpectRect(ChildRect(window, 1), 158, 358, 358, 393);   // 开始体验, hidden
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(window, 1)));

    EXPECT_EQ(dialog->BackPixel(300, 20), Opaque(0x00BAFF)) << "caption";
    EXPECT_EQ(dialog->BackPixel(12, 404), Opaque(0xF0F0F0)) << "body";
    EXPECT_EQ(dialog->BackPixel(86, 335), Opaque(0xDDDDDD)) << "path box border";
    EXPECT_EQ(dialog->BackPixel(87, 336), Opaque(0xFFFFFF)) << "path box inside";
    EXPECT_EQ(dialog->BackPixel(8 + 499, 38 + 269) >> 24, 0xFFu) << "banner corner is opaque";
    EXPECT_NE(dialog->BackPixel(8 + 250, 38 + 135), Opaque(0xF0F0F0)) << "the banner is drawn";
    EXPECT_EQ(dialog->BackPixel(2, 200) >> 24, dialog->BackPixel(2, 201) >> 24) << "shadow margin";
    EXPECT_LT(dialog->BackPixel(2, 200) >> 24, 0xFFu);
}

// Rows of `area` in the back buffer that hold anything but the body colour.
int InkHeight(const CMainDlg& dialog, const RECT& area)
{
    int first = -1, last = -1;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (dialog.BackPixel(x, y) != Opaque(0xF0F0F0)) {
                first = first < 0 ? y : first;
                last = y;
                break;
            }
        }
    }
    return first < 0 ? 0 : last - first + 1;
}

struct DisplayScaleCase {
    UINT dpi;
    SIZE window;
};

class MainDlgAtScale : public MainDlgTest, public testing::WithParamInterface<DisplayScaleCase> {};

TEST_P(MainDlgAtScale, MovedToAScreenOfAnotherScaleTheWindowIsComposedAgainForIt)
{
    const auto [dpi, size] = GetParam();
    ASSERT_TRUE(dialog->Show());
    HWND window = dialog->window;
    const SetupLayout at100 = SetupLayoutAt(96);
    const int labelInkAt100 = InkHeight(*dialog, at100.label);
    RECT frame{};
    ::GetWindowRect(window, &frame);
    RECT suggested{frame.left + 10, frame.top + 20, frame.left + 10 + size.cx, frame.top + 20 + size.cy};
    ::SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));

    RECT now{};
    ::GetWindowRect(window, &now);
    EXPECT_TRUE(::EqualRect(&now, &suggested)) << "the window takes the suggested rectangle";
    EXPECT_EQ(dialog->BufferSize().cx, size.cx);
    EXPECT_EQ(dialog->BufferSize().cy, size.cy);

    const SetupLayout layout = SetupLayoutAt(dpi);
    const RECT& path = layout.pathField;
    ExpectRect(ChildRect(window, 0), path.left, path.top, path.right, path.bottom);
    const RECT& browse = layout.changeDirButton;
    ExpectRect(ChildRect(window, 101), browse.left, browse.top, browse.right, browse.bottom);
    const RECT& main = layout.mainButton;
    ExpectRect(ChildRect(window, 100), main.left, main.top, main.right, main.bottom);
    const RECT& start = layout.startButton;
    ExpectRect(ChildRect(window, 1), start.left, start.top, start.right, start.bottom);
    ExpectRect(ChildRect(window, 2), size.cx - ScaleLength(33, dpi), ScaleLength(14, dpi),
               size.cx - ScaleLength(13, dpi), ScaleLength(34, dpi));
    EXPECT_EQ(layout.label.right, layout.pathBox.left) << "the label and the path box still meet";

    const int s8 = ScaleLength(8, dpi);
    EXPECT_EQ(dialog->BackPixel(size.cx / 2, s8 + ScaleLength(29, dpi)), Opaque(0x00BAFF)) << "caption";
    EXPECT_EQ(layout.banner.top, s8 + ScaleLength(30, dpi)) << "the banner starts right below the caption";
    EXPECT_EQ(dialog->BackPixel(layout.pathBox.left, layout.pathBox.top + 2), Opaque(0xDDDDDD)) << "path box border";
    EXPECT_LT(dialog->BackPixel(s8 / 2, size.cy / 2) >> 24, 0xFFu) << "the shadow margin is translucent";
    EXPECT_EQ(dialog->BackPixel(s8, size.cy / 2) >> 24, 0xFFu) << "the body starts after the shadow margin";

    // The banner drawn for the scale (or scaled down from the next larger drawing), pixel for pixel.
    ScopedGdiObject<HBITMAP> banner(LoadPngBitmapAt(IDP_BANNER, dpi, 0));
    const std::vector<uint32_t> expected = BitmapPixels(banner.Get());
    const int bannerWidth = layout.banner.right - layout.banner.left;
    size_t differing = 0;
    for (int y = layout.banner.top; y < layout.banner.bottom; ++y) {
        for (int x = layout.banner.left; x < layout.banner.right; ++x) {
            const uint32_t want = expected[(y - layout.banner.top) * bannerWidth + (x - layout.banner.left)];
            differing += (dialog->BackPixel(x, y) & 0xFFFFFF) != (want & 0xFFFFFF);
        }
    }
    EXPECT_EQ(differing, 0u);

    // Text in the font made for the scale: the label's ink grows with it.
    const int labelInk = InkHeight(*dialog, layout.label);
    EXPECT_NEAR(labelInk, ScaleLength(labelInkAt100, dpi), 2) << labelInkAt100 << " pixels at 100 %";
    SaveBackBuffer(*dialog, L"setup-ready-" + std::to_wstring(dpi) + L"-dpi");
}

INSTANTIATE_TEST_SUITE_P(DisplayScales, MainDlgAtScale,
                         testing::Values(DisplayScaleCase{120, {645, 520}}, DisplayScaleCase{144, {774, 624}},
                                         DisplayScaleCase{168, {903, 728}}, DisplayScaleCase{192, {1032, 832}}));

TEST_F(MainDlgTest, UpgradeModeCentresTheWideMainButton)
{
    UpgradeMode = 1;
    ASSERT_TRUE(dialog->Show());
    EXPECT_EQ(dialog->title, L"Tessamo软件升级");
    ExpectRect(ChildRect(dialog->window, 100), 108, 338, 408, 378);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog->window, 0)));
    EXPECT_EQ(PreviousInstallDir, earlier);
}

TEST_F(MainDlgTest, AnInstallationShowsEveryStatusLineInOrder)
{
    ASSERT_TRUE(dialog->Show());
    Click(100);
    PumpRecording(120000, ProgressSucceeded);
    std::vector<int> expectedCodes;
    std::vector<std::wstring> expectedLines;
    for (const auto& [code, line] : StatusLines) {
        if (code != ProgressFailed) {
            expectedCodes.push_back(code);
            expectedLines.push_back(line);
        }
    }
    EXPECT_EQ(codes, expectedCodes);
    EXPECT_EQ(lines, expectedLines);
    EXPECT_EQ(dialog->InstallDir, earlier);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog->window, 1)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog->window, 0)));
    EXPECT_TRUE(FileExists(earlier + L"Pinvora.exe"));
}

TEST_F(MainDlgTest, TheLogFollowsTheWindowFromTheProposalToTheResult)
{
    const std::wstring logPath = temp.Path() + L"setup.log";
    ASSERT_TRUE(log.Open(logPath, L"C:\\"));
    ASSERT_TRUE(dialog->Show());
    Click(100);
    PumpRecording(120000, ProgressSucceeded);
    dialog.reset(); // the worker writes the result after its last code
    const std::string text = ReadBytesFile(logPath);
    for (const std::wstring& line :
         {L"Earlier installation: " + earlier,
          L"Proposed folder: " + earlier + L" (from the Location value under HKCU\\SOFTWARE\\Kelbrin)",
          L"Install folder: " + earlier + L", autostart on", std::wstring(L"Progress 1: 安装进行中，正在解压文件..."),
          std::wstring(L" matches the recorded value"), std::wstring(L"Program files: Pinvora.exe copied"),
          std::wstring(L"Progress 5: "), std::wstring(L"Result: installed")})
        EXPECT_NE(text.find(ToUtf8(line)), std::string::npos) << ToUtf8(line);
}

TEST_F(MainDlgTest, EachCodeSetsItsStatusLineAndARejectedPathKeepsIt)
{
    ASSERT_TRUE(dialog->Show());
    for (const auto& [code, line] : StatusLines) {
        ::SendMessageW(dialog->window, WM_SETUP_PROGRESS, code, 0);
        EXPECT_EQ(dialog->StatusText, line) << code;
    }
    ::SendMessageW(dialog->window, WM_SETUP_PROGRESS, ProgressPathRejected, 0);
    EXPECT_EQ(dialog->StatusText, L"安装失败！") << "a rejected path leaves the line as it was";
}

struct MainButtonCase {
    std::function<void(const std::wstring& earlier)> arrange;
    const wchar_t* text;
};

class MainButtonText : public MainDlgTest, public testing::WithParamInterface<MainButtonCase> {};

TEST_P(MainButtonText, SaysWhereTheDirectoryCameFrom)
{
    GetParam().arrange(earlier);
    ASSERT_TRUE(dialog->Show());
    EXPECT_EQ(ControlObject<CTextButton>(dialog->window, 100).text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, MainButtonText,
    testing::Values(
        MainButtonCase{[](const std::wstring&) { ::RegDeleteKeyValueW(HKEY_CURRENT_USER, KelbrinKey, L"Location"); },
                       L"开始安装"},
        MainButtonCase{[](const std::wstring&) {}, L"开始安装"}, // an earlier installation found by "Location"
        MainButtonCase{[](const std::wstring& earlier) {
                           const std::wstring command = L"\"" + earlier + L"Pinvora.exe\"";
                           ::RegSetKeyValueW(HKEY_CURRENT_USER, RunKey, L"Pinvora", REG_SZ, command.c_str(),
                                             static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
                       },
                       L"开始升级"},
        MainButtonCase{[](const std::wstring&) { UpgradeMode = 1; }, L"开始升级"}));

TEST_F(MainDlgTest, ClosingDuringTheInstallationWaitsForAWholeFileAndStops)
{
    ASSERT_TRUE(dialog->Show());
    Click(100);
    PumpRecording(60000, ProgressCopying);
    ::SendMessageW(dialog->window, WM_COMMAND, 2, 0);
    dialog.reset(); // returns once the worker has stopped between two files
    const std::string installed = ReadBytesFile(earlier + L"Pinvora.exe");
    const std::string packaged = ReadBytesFile(L"C:\\bin\\Pinvora.exe");
    if (!installed.empty()) {
        EXPECT_EQ(installed.size(), packaged.size()) << "never half-written";
    }
    EXPECT_FALSE(FileExists(DesktopLink())) << "no shortcut after the close";
    EXPECT_NE(::RegGetValueW(HKEY_CURRENT_USER, UninstallKey, L"DisplayIcon", RRF_RT_ANY, nullptr, nullptr,
                             nullptr),
              ERROR_SUCCESS)
        << "no uninstall entry after the close";
    EXPECT_NE(::RegGetValueW(HKEY_CURRENT_USER, RunKey, L"Pinvora", RRF_RT_ANY, nullptr, nullptr, nullptr),
              ERROR_SUCCESS)
        << "no autostart value after the close";
    // The quit message passes any filter.
    bool quit = false;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_SETUP_PROGRESS, WM_SETUP_PROGRESS, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            quit = true;
        else
            EXPECT_NE(msg.wParam, static_cast<WPARAM>(ProgressSucceeded)) << "no success after the close";
    }
    EXPECT_TRUE(quit);
}

// Closing the window from outside (the taskbar) while the retry question is up takes the
// question with it; the check must end instead of asking again and again.
TEST_F(MainDlgTest, ClosingTheWindowAtTheRetryQuestionEndsTheCheck)
{
    HANDLE live = ::CreateEventW(nullptr, TRUE, FALSE, L"Global\\PinvoraLiveEvent");
    ASSERT_TRUE(live);
    ASSERT_TRUE(dialog->Show());
    const HWND window = dialog->window;
    std::atomic<bool> checkEnded{false};
    std::atomic<bool> spun{false};
    std::thread outside([&] {
        if (WaitForBox(L"程序正在运行"))
            ::PostMessageW(window, WM_CLOSE, 0, 0);
        for (int i = 0; i < 500 && !checkEnded; ++i)
            ::Sleep(10);
        if (!checkEnded) {
            spun = true;
            ::CloseHandle(live); // lets the check end, so that the test does
        }
    });
    Click(100);
    checkEnded = true;
    outside.join();
    if (!spun)
        ::CloseHandle(live);

    EXPECT_FALSE(spun) << "the check kept asking after the window was gone";
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(FileExists(earlier + L"Pinvora.exe")) << "no installation started";
    MSG quit;
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

void PutOnClipboard(HWND owner, const std::wstring& text)
{
    ASSERT_TRUE(::OpenClipboard(owner));
    ::EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(::GlobalLock(memory), text.c_str(), bytes);
    ::GlobalUnlock(memory);
    ::SetClipboardData(CF_UNICODETEXT, memory);
    ::CloseClipboard();
}

TEST_F(MainDlgTest, APastedLineBreakInThePathIsRejectedWithTheUsualBox)
{
    ASSERT_TRUE(dialog->Show());
    CQEdit& field = ControlObject<CQEdit>(dialog->window, 0);
    PutOnClipboard(dialog->window, earlier + L"\r\n");
    field.SelectRange(0, -1);
    field.Paste();
    ASSERT_EQ(field.GetText(), earlier + L"\r\n");

    std::atomic<bool> boxShown{false};
    std::thread user([&] {
        if (HWND box = WaitForBox(L"")) {
            boxShown = true;
            ::PostMessageW(box, WM_COMMAND, 1, 0);
        }
    });
    Click(100);
    user.join();
    PumpRecording(500, ProgressExtracting);
    EXPECT_TRUE(boxShown);
    EXPECT_TRUE(codes.empty()) << "no installation started";
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog->window, 0))) << "the path can be corrected";
}

// An earlier installation at the root of C: is proposed in upgrade mode and rejected;
// the input controls come back, and the main button leaves its wide place for them.
TEST_F(MainDlgTest, UpgradeModeAfterARejectedPathShowsTheFreshLayout)
{
    const std::wstring rootInstall = L"C:\\Pinvora.exe";
    ::RegSetKeyValueW(HKEY_CURRENT_USER, KelbrinKey, L"Location", REG_SZ, rootInstall.c_str(),
                      static_cast<DWORD>((rootInstall.size() + 1) * sizeof(wchar_t)));
    UpgradeMode = 1;
    ASSERT_TRUE(dialog->Show());
    ASSERT_EQ(dialog->title, L"Tessamo软件升级");
    std::thread user([] {
        if (HWND box = WaitForBox(L""))
            ::PostMessageW(box, WM_COMMAND, 1, 0);
    });
    Click(100);
    user.join();
    PumpMessages(200);
    SaveBackBuffer(*dialog, L"setup-upgrade-path-rejected");

    HWND window = dialog->window;
    for (int id : {0, 100, 101})
        EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(window, id))) << id;
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(window, 1)));
    ExpectRect(ChildRect(window, 100), 423, 334, 488, 364);
    EXPECT_FALSE(Overlap(ChildRect(window, 100), ChildRect(window, 0)));
    EXPECT_FALSE(Overlap(ChildRect(window, 100), ChildRect(window, 101)));
    EXPECT_EQ(ControlObject<CTextButton>(window, 100).text, L"开始升级");
}

} // namespace
