#include "MainDlg.h"

#include "AppModule.h"
#include "ImageResources.h"
#include "InstallDirectory.h"
#include "InstallPath.h"
#include "InstallReport.h"
#include "MessageBox.h"
#include "ProgressCodes.h"
#include "ProgressText.h"
#include "ResourceIds.h"
#include "RunState.h"
#include "RunningApplication.h"

namespace {

constexpr DWORD TransparentBlackArgb = 0x00000000;
constexpr int ContentWidth = 500;
constexpr int ContentHeight = 400;
constexpr int BannerHeight = 270;
constexpr int MainButtonId = 100;
constexpr int ChangeDirButtonId = 101;
constexpr int StartButtonId = 1;
constexpr UINT CenteredSingleLine = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr int MaxPathLength = 260;
constexpr UINT SingleLineVerticallyCentred = 0x24;
constexpr int SuccessLineRise = 50;

RECT Rect(int left, int top, int right, int bottom)
{
    return RECT{left, top, right, bottom};
}

// The main button beside the path field, and centred and wide in upgrade mode.
RECT MainButtonRect(const RECT& c)
{
    return Rect(c.right - 85, c.bottom - 74, c.right - 20, c.bottom - 44);
}

RECT WideMainButtonRect(const RECT& c)
{
    return Rect(c.left + 100, c.bottom - 70, c.right - 100, c.bottom - 30);
}

void CreateAt(CQCtrlBase& control, HWND parent, const RECT& r, UINT id)
{
    control.CreateControl(parent, r.left, r.top, r.right, r.bottom, id);
}

} // namespace

CMainDlg::CMainDlg(InstallLog& installLog, std::optional<std::wstring> requested)
    : log(installLog), requestedDir(std::move(requested))
{
}

CMainDlg::~CMainDlg()
{
    // The worker may still be running if the window never closed normally.
    worker.reset();
    DestroyAlphaWindow();
    if (background)
        ::DeleteObject(background);
    if (bigIcon)
        ::DestroyIcon(bigIcon);
    if (smallIcon)
        ::DestroyIcon(smallIcon);
}

bool CMainDlg::Show()
{
    if (window) {
        ::SetForegroundWindow(window);
        return true;
    }
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - ContentWidth) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - ContentHeight) / 2;
    if (!CreateAlphaWindow(left, top, ContentWidth, ContentHeight, nullptr, true, true))
        return false;
    ::InvalidateRect(window, nullptr, FALSE);
    return true;
}

void CMainDlg::CloseSetupWindow(int exitCode)
{
    // Closing during an installation stops the worker at the next point between two
    // files; the process waits for that before it ends (see RunSetup).
    if (worker)
        worker->RequestStop();
    if (window)
        ::DestroyWindow(window);
    FreeBuffers();
    ::PostQuitMessage(exitCode);
}

bool CMainDlg::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                             DWORD mapId)
{
    if (CWndFrameBase<CMainDlg>::HandleMessage(hwnd, message, wParam, lParam, result, mapId))
        return true;
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return false;
    case WM_DESTROY:
        if (CMessageLoop* loop = AppModule.GetMessageLoop())
            loop->RemoveIdleHandler(this);
        return false;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return true;
    case WM_CLOSE:
        // Closing from the taskbar ends the program like the close button.
        CloseSetupWindow(0);
        return true;
    case WM_SETUP_PROGRESS:
        OnProgress(static_cast<int>(wParam));
        return true;
    default:
        return false;
    }
}

void CMainDlg::OnCreate()
{
    suspendRedraw = true;
    SetTitle(L"安装Tessamo");
    minimizeButton.SetVisible(true);
    CenterOnWorkArea();
    MainWindow = this;
    LoadIcons();

    PreviousInstallFound = 1;
    const ProposedInstallDir proposal = FindDefaultInstallDir();
    LogProposedFolder(log, proposal, requestedDir);
    if (UpgradeMode || AutoMode)
        SetTitle(L"Tessamo软件升级");

    if (auto picture = LoadPngResource(IDP_BANNER))
        background = ToPremultipliedBitmap(picture.get(), TransparentBlackArgb);
    // A folder given on the command line did not come from the application.
    CreateControls(ContentRect(), requestedDir.value_or(proposal.directory),
                   !requestedDir && proposal.fromApplication);

    if (CMessageLoop* loop = AppModule.GetMessageLoop())
        loop->AddIdleHandler(this);
    UIAddChildWindowContainer(window);

    if (suspendRedraw) {
        suspendRedraw = false;
        ComposeAndUpdate();
    }
    if (UpgradeMode || AutoMode) {
        pathField.SetVisible(false);
        changeDirButton.SetVisible(false);
        autostartBox.SetVisible(false);
        mainButton.SetText(L"开始升级");
        ComposeAndUpdate();
    }
    if (AutoMode)
        CheckRunningApplication();
}

void CMainDlg::CreateControls(const RECT& c, const std::wstring& proposedDir, bool fromApplication)
{
    labelRect = Rect(c.left + 10, c.bottom - 68, c.left + 78, c.bottom - 48);
    pathRect = Rect(c.left + 78, c.bottom - 74, c.right - 166, c.bottom - 44);
    statusRect = Rect(c.left + 40, c.bottom - 100, c.right - 40, c.bottom);

    pathField.SetTextColour(0);
    pathField.SetText(proposedDir);
    CreateAt(pathField, window, Rect(c.left + 84, c.bottom - 74, c.right - 176, c.bottom - 44), 0);
    pathField.SetMaxLength(MaxPathLength);
    pathField.SetLayoutFlags(SingleLineVerticallyCentred);
    AddControl(&pathField);

    SetupTextButton(changeDirButton, IDP_BROWSE_NORMAL, IDP_BROWSE_HOVER, L"更换目录");
    CreateAt(changeDirButton, window, Rect(c.right - 160, c.bottom - 74, c.right - 95, c.bottom - 44),
           ChangeDirButtonId);
    AddControl(&changeDirButton);

    SetupTextButton(mainButton, IDP_MAIN_NORMAL, IDP_MAIN_HOVER, fromApplication ? L"开始升级" : L"开始安装");
    CreateAt(mainButton, window, UpgradeMode ? WideMainButtonRect(c) : MainButtonRect(c), MainButtonId);
    AddControl(&mainButton);

    const RECT checkRect = UpgradeMode ? Rect(c.left + 132, c.bottom - 25, c.right - 132, c.bottom - 10)
                                       : Rect(c.left + 172, c.bottom - 30, c.right - 132, c.bottom - 15);
    CreateAt(autostartBox, window, checkRect, 0);
    autostartBox.SetCheckImages(IDP_CHECK_ON, IDP_CHECK_OFF);
    autostartBox.SetText(L"开机时启动Tessamo");
    autostartBox.SetTextColor(0x555555);
    autostartBox.SetChecked(true);
    AutostartChecked = 1;
    AddControl(&autostartBox);

    SetupTextButton(startButton, IDP_MAIN_NORMAL, IDP_MAIN_HOVER, L"开始体验");
    CreateAt(startButton, window, Rect(c.left + 150, c.bottom - 50, c.right - 150, c.bottom - 15), StartButtonId);
    startButton.SetVisible(false);
    AddControl(&startButton);
}

void CMainDlg::SetupTextButton(CTextButton& button, int normal, int hover, const wchar_t* text)
{
    button.SetImages(normal, hover, normal, 0);
    button.SetTextColors(0);
    button.SetStretch(true);
    button.SetText(text);
    button.SetTextFormat(CenteredSingleLine);
}

void CMainDlg::DrawContent(HDC dc, const RECT& c)
{
    if (background) {
        HDC source = ::CreateCompatibleDC(dc);
        HGDIOBJ previous = ::SelectObject(source, background);
        ::BitBlt(dc, c.left, c.top + CaptionHeight, c.right - c.left, BannerHeight, source, 0, 0, SRCCOPY);
        ::SelectObject(source, previous);
        ::DeleteDC(source);
    }
    const COLORREF previousColor = ::GetTextColor(dc);
    if (pathField.visible) {
        ::SetTextColor(dc, 0);
        RECT label = labelRect;
        ::DrawTextW(dc, L"安装目录：", -1, &label, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        HBRUSH white = ::CreateSolidBrush(0xFFFFFF);
        ::FillRect(dc, &pathRect, white);
        ::DeleteObject(white);
        HBRUSH border = ::CreateSolidBrush(0xDDDDDD);
        ::FrameRect(dc, &pathRect, border);
        ::DeleteObject(border);
    } else {
        ::SetTextColor(dc, 0x333333);
        RECT status = statusRect;
        ::DrawTextW(dc, StatusText.c_str(), -1, &status, CenteredSingleLine);
    }
    ::SetTextColor(dc, previousColor);
}

void CMainDlg::OnCommand(int id)
{
    switch (id) {
    case StartButtonId:
        StartApplication();
        break;
    case CloseCommandId:
        CloseSetupWindow(0);
        break;
    case MainButtonId:
        CheckRunningApplication();
        break;
    case ChangeDirButtonId:
        BrowseInstallDir();
        break;
    default:
        break;
    }
}

void CMainDlg::OnProgress(int code)
{
    if (const wchar_t* text = StatusTextFor(code))
        StatusText = text;
    if (code == ProgressSucceeded) {
        statusRect.bottom -= SuccessLineRise;
        startButton.SetVisible(true);
        if (AutoMode) {
            StartApplication();
            return;
        }
    } else if (code == ProgressPathRejected) {
        ShowInputControls(true);
    }
    ::InvalidateRect(window, nullptr, TRUE);
}

void CMainDlg::CheckRunningApplication()
{
    if (AskApplicationToClose())
        ::Sleep(500);
    while (IsApplicationRunning()) {
        AskApplicationToClose();
        // Only "重试" asks again: a box that could not be shown, or that went with its
        // owner when the window was closed from outside, answers 0 at once, for ever.
        if (ShowLoggedBox(ApplicationRunningText, window, ApplicationRunningTitle, L"重试", L"取消") != 1)
            return;
    }
    StartInstall();
}

void CMainDlg::StartInstall()
{
    InstallPath = pathField.GetText();
    AutostartChecked = autostartBox.IsChecked() ? 1 : 0;
    LogChosenFolder(log, InstallPath, AutostartChecked != 0);
    ShowInputControls(false);
    autostartBox.SetVisible(false);
    ComposeAndUpdate();
    ValidateAndLaunchWorker();
}

void CMainDlg::ValidateAndLaunchWorker()
{
    if (IsAcceptedInstallPath(WithTrailingBackslash(InstallPath))) {
        InstallInputs inputs;
        inputs.installPath = InstallPath;
        inputs.autostart = AutostartChecked != 0;
        inputs.window = window;
        inputs.previousInstallFound = PreviousInstallFound != 0;
        inputs.previousInstallDir = PreviousInstallDir;
        worker = std::make_unique<InstallWorker>(std::move(inputs), InstallDir, log);
        worker->Start();
        return;
    }
    ::PostMessageW(window, WM_SETUP_PROGRESS, ProgressPathRejected, 0);
    ShowLoggedBox(InvalidInstallPathText, ::GetActiveWindow(), L"", L"确定", L"");
}

void CMainDlg::BrowseInstallDir()
{
    const std::wstring chosen = BrowseForInstallDir();
    if (chosen.empty())
        return;
    pathField.SetText(chosen);
    ComposeAndUpdate();
}

void CMainDlg::StartApplication()
{
    ::ShellExecuteW(nullptr, L"open", (InstallDir + L"Pinvora.exe").c_str(), nullptr, nullptr, SW_SHOW);
    CloseSetupWindow(0);
}

void CMainDlg::ShowInputControls(bool show)
{
    pathField.SetVisible(show);
    mainButton.SetVisible(show);
    changeDirButton.SetVisible(show);
    // With the path field back, the main button goes beside it, also where upgrade mode
    // had widened it over the field.
    if (show) {
        const RECT beside = MainButtonRect(ContentRect());
        ::SetWindowPos(mainButton.window, nullptr, beside.left, beside.top, beside.right - beside.left,
                       beside.bottom - beside.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CMainDlg::SetTitle(const wchar_t* text)
{
    title = text;
    if (window && ::IsWindow(window))
        ::SetWindowTextW(window, text);
}

void CMainDlg::CenterOnWorkArea()
{
    MONITORINFO monitor{sizeof monitor};
    if (!::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    RECT frame;
    ::GetWindowRect(window, &frame);
    const RECT& work = monitor.rcWork;
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int left = work.left + (work.right - work.left - width) / 2;
    int top = work.top + (work.bottom - work.top - height) / 2;
    left = std::max(std::min(left, static_cast<int>(work.right) - width), static_cast<int>(work.left));
    top = std::max(std::min(top, static_cast<int>(work.bottom) - height), static_cast<int>(work.top));
    ::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainDlg::LoadIcons()
{
    HINSTANCE instance = AppModule.Instance();
    bigIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_SETUP), IMAGE_ICON,
                                              ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0));
    smallIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_SETUP), IMAGE_ICON,
                                                ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    ::SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
}

int CMainDlg::ShowLoggedBox(const std::wstring& text, HWND owner, const std::wstring& title,
                            const std::wstring& firstButton, const std::wstring& secondButton)
{
    return ShowLogged(log, text, title, firstButton, secondButton,
                      [&] { return ShowMessageBox(text, owner, title, firstButton, secondButton); });
}
