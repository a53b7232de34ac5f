// The real setup window in this process: layout read back from its back buffer, and a
// whole installation driven through its controls with the progress codes recorded.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "MainDlg.h"
#include "ProgressCodes.h"
#include "RunState.h"
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

class MainDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        UpgradeMode = AutoMode = PreviousInstallFound = 0;
        PreviousInstallDir.clear();
        earlier = temp.Path() + L"Tessamo\\";
        ::CreateDirectoryW(earlier.c_str(), nullptr);
        ::RegSetKeyValueW(HKEY_CURRENT_USER, KelbrinKey, L"Location", REG_SZ, earlier.c_str(),
                          static_cast<DWORD>((earlier.size() + 1) * sizeof(wchar_t)));
    }
    void TearDown() override
    {
        dialog.reset();
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, KelbrinKey, L"Location");
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
    std::unique_ptr<CMainDlg> dialog = std::make_unique<CMainDlg>();
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
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 7, 3, 9, 5}));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], L"安装进行中，正在解压文件...");
    EXPECT_EQ(lines[5], L"恭喜你，软件成功安装，可以开始体验人性化的便签软件了！");
    EXPECT_EQ(dialog->InstallDir, earlier);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog->window, 1)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog->window, 0)));
    EXPECT_TRUE(FileExists(earlier + L"Pinvora.exe"));
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelbrin");
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"Pinvora");
}

TEST_F(MainDlgTest, ClosingDuringTheInstallationWaitsForAWholeFile)
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
    MSG quit;
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

} // namespace
