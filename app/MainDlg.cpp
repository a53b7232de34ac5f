#include "MainDlg.h"

#include "AppModule.h"
#include "HighContrast.h"
#include "ImageResources.h"
#include "InstallDirectory.h"
#include "InstallFolder.h"
#include "InstallPath.h"
#include "InstallReport.h"
#include "MessageBox.h"
#include "ProgressCodes.h"
#include "ProgressText.h"
#include "ResourceIds.h"
#include "RunState.h"
#include "RunningApplication.h"
#include "SetupLayout.h"

namespace {

constexpr DWORD TransparentBlackArgb = 0x00000000;
constexpr int MainButtonId = 100;
constexpr int ChangeDirButtonId = 101;
constexpr int StartButtonId = 1;
constexpr UINT CenteredSingleLine = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr int MaxPathLength = 260;
constexpr UINT SingleLineVerticallyCentred = 0x24;
constexpr int PathBoxBorder = 1;

void CreateAt(CQCtrlBase& control, HWND parent, const RECT& r, UINT id)
{
    control.CreateControl(parent, r.left, r.top, r.right, r.bottom, id);
}

void MoveTo(CQCtrlBase& control, const RECT& r)
{
    ::SetWindowPos(control.window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

// A border `width` pixels wide inside `rect`.
void FrameInside(HDC dc, const RECT& rect, COLORREF color, int width)
{
    HBRUSH brush = ::CreateSolidBrush(color);
    const RECT sides[] = {{rect.left, rect.top, rect.right, rect.top + width},
                          {rect.left, rect.bottom - width, rect.right, rect.bottom},
                          {rect.left, rect.top + width, rect.left + width, rect.bottom - width},
                          {rect.right - width, rect.top + width, rect.right, rect.bottom - width}};
    for (const RECT& side : sides)
        ::FillRect(dc, &side, brush);
    ::DeleteObject(brush);
}

} // namespace

CMainDlg::CMainDlg(InstallLog& installLog, std::optional<std::wstring> requested, bool passiveRun)
    : log(installLog), requestedDir(std::move(requested)), passive(passiveRun)
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
    // The window opens at the scale of the system; WM_DPICHANGED brings any other.
    const int width = Scaled(SetupContentWidth), height = Scaled(SetupContentHeight);
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    if (!CreateAlphaWindow(left, top, width, height, nullptr, true, true))
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
        // Closing from the taskbar or with Alt+F4 does what the close button does.
        OnCommand(CloseCommandId);
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
    if (UpgradeMode || StartsByItself())
        SetTitle(L"Tessamo软件升级");

    layout = SetupLayoutAt(dpi);
    LoadPictures();
    // A folder given on the command line did not come from the application.
    CreateControls(requestedDir.value_or(proposal.directory), !requestedDir && proposal.fromApplication);
    SetUpKeyboard();

    if (CMessageLoop* loop = AppModule.GetMessageLoop())
        loop->AddIdleHandler(this);
    UIAddChildWindowContainer(window);

    if (suspendRedraw) {
        suspendRedraw = false;
        ComposeAndUpdate();
    }
    if (UpgradeMode || StartsByItself()) {
        pathField.SetVisible(false);
        changeDirButton.SetVisible(false);
        autostartBox.SetVisible(false);
        mainButton.SetText(L"开始升级");
        ComposeAndUpdate();
    }
    // A passive window starts once it is on screen: it never shows a box, and may end at
    // once.
    if (passive)
        ::PostMessageW(window, WM_COMMAND, MainButtonId, 0);
    else if (AutoMode)
        CheckRunningApplication();
}

void CMainDlg::CreateControls(const std::wstring& proposedDir, bool fromApplication)
{
    mainButtonWide = UpgradeMode != 0;

    pathField.SetTextColour(0);
    pathField.SetText(proposedDir);
    CreateAt(pathField, window, layout.pathField, 0);
    pathField.SetMaxLength(MaxPathLength);
    pathField.SetLayoutFlags(SingleLineVerticallyCentred);
    AddControl(&pathField);

    SetupTextButton(changeDirButton, L"更换目录");
    CreateAt(changeDirButton, window, layout.changeDirButton, ChangeDirButtonId);
    AddControl(&changeDirButton);

    SetupTextButton(mainButton, fromApplication ? L"开始升级" : L"开始安装");
    CreateAt(mainButton, window, MainButtonRect(), MainButtonId);
    AddControl(&mainButton);

    CreateAt(autostartBox, window, CheckBoxRect(), 0);
    autostartBox.SetText(L"开机时启动Tessamo");
    autostartBox.SetTextColor(0x555555);
    autostartBox.SetChecked(true);
    AutostartChecked = 1;
    AddControl(&autostartBox);

    SetupTextButton(startButton, L"开始体验");
    CreateAt(startButton, window, layout.startButton, StartButtonId);
    startButton.SetVisible(false);
    AddControl(&startButton);
}

RECT CMainDlg::MainButtonRect() const
{
    return mainButtonWide ? layout.wideMainButton : layout.mainButton;
}

RECT CMainDlg::CheckBoxRect() const
{
    return UpgradeMode ? layout.upgradeCheckBox : layout.checkBox;
}

void CMainDlg::LoadPictures()
{
    if (background)
        ::DeleteObject(background);
    background = LoadPngBitmapAt(IDP_BANNER, dpi, TransparentBlackArgb);
    changeDirButton.SetImages(IDP_BROWSE_NORMAL, IDP_BROWSE_HOVER, IDP_BROWSE_NORMAL, 0, dpi);
    mainButton.SetImages(IDP_MAIN_NORMAL, IDP_MAIN_HOVER, IDP_MAIN_NORMAL, 0, dpi);
    startButton.SetImages(IDP_MAIN_NORMAL, IDP_MAIN_HOVER, IDP_MAIN_NORMAL, 0, dpi);
    autostartBox.SetCheckImages(IDP_CHECK_ON, IDP_CHECK_OFF, dpi);
}

void CMainDlg::LayoutForDpi(SIZE)
{
    layout = SetupLayoutAt(dpi);
    LoadPictures();
    pathField.SetDpi(dpi);
    MoveTo(pathField, layout.pathField);
    MoveTo(changeDirButton, layout.changeDirButton);
    MoveTo(mainButton, MainButtonRect());
    MoveTo(autostartBox, CheckBoxRect());
    MoveTo(startButton, layout.startButton);
}

void CMainDlg::SetupTextButton(CTextButton& button, const wchar_t* text)
{
    button.SetTextColors(0);
    button.SetStretch(true);
    button.SetText(text);
    button.SetTextFormat(CenteredSingleLine);
}

void CMainDlg::DrawContent(HDC dc, const RECT& c)
{
    if (background) {
        const RECT& banner = layout.banner;
        HDC source = ::CreateCompatibleDC(dc);
        HGDIOBJ previous = ::SelectObject(source, background);
        ::BitBlt(dc, banner.left, banner.top, banner.right - banner.left, banner.bottom - banner.top, source, 0,
                 0, SRCCOPY);
        ::SelectObject(source, previous);
        ::DeleteDC(source);
    }
    const COLORREF previousColor = ::GetTextColor(dc);
    if (pathField.visible) {
        ::SetTextColor(dc, ContrastColour(0, COLOR_WINDOWTEXT));
        RECT label = layout.label;
        ::DrawTextW(dc, L"安装目录：", -1, &label, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        HBRUSH white = ::CreateSolidBrush(ContrastColour(0xFFFFFF, COLOR_WINDOW));
        ::FillRect(dc, &layout.pathBox, white);
        ::DeleteObject(white);
        FrameInside(dc, layout.pathBox, ContrastColour(0xDDDDDD, COLOR_WINDOWTEXT), Scaled(PathBoxBorder));
    } else {
        ::SetTextColor(dc, ContrastColour(0x333333, COLOR_WINDOWTEXT));
        RECT status = StatusRect();
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
        // A caller waiting for a passive run learns that it did not finish.
        CloseSetupWindow(passive && worker && worker->IsRunning() ? static_cast<int>(InstallResult::Stopped) : 0);
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
    AnnounceProgress(code);
    if (passive && (code == ProgressSucceeded || code == ProgressFailed)) {
        worker->WaitUntilFinished();
        CloseSetupWindow(static_cast<int>(worker->Result()));
        return;
    }
    if (code == ProgressSucceeded) {
        statusRaised = true;
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
    // Like /quiet: the user's application is neither closed nor waited for.
    if (passive && IsApplicationRunning()) {
        ShowLoggedBox(ApplicationRunningText, window, ApplicationRunningTitle, L"重试", L"取消");
        EndPassively(InstallResult::ApplicationRunning);
        return;
    }
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
    if (const std::optional<std::wstring> folder = NormalisedInstallPath(InstallPath)) {
        InstallInputs inputs;
        inputs.installPath = *folder;
        inputs.autostart = AutostartChecked != 0;
        inputs.window = window;
        inputs.previousInstallFound = PreviousInstallFound != 0;
        inputs.previousInstallDir = PreviousInstallDir;
        worker = std::make_unique<InstallWorker>(std::move(inputs), InstallDir, log, !passive);
        worker->Start();
        return;
    }
    if (passive) {
        ShowLoggedBox(InvalidInstallPathText, window, L"", L"确定", L"");
        EndPassively(InstallResult::InvalidFolder);
        return;
    }
    ::PostMessageW(window, WM_SETUP_PROGRESS, ProgressPathRejected, 0);
    ShowLoggedBox(InvalidInstallPathText, ::GetActiveWindow(), L"", L"确定", L"");
}

void CMainDlg::EndPassively(InstallResult result)
{
    LogResult(log, result);
    CloseSetupWindow(static_cast<int>(result));
}

void CMainDlg::BrowseInstallDir()
{
    const std::wstring chosen = BrowseForInstallDir();
    if (chosen.empty())
        return;
    pathField.SetText(chosen);
    ComposeAndUpdate();
    ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, pathField.window, OBJID_CLIENT, CHILDID_SELF);
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
        mainButtonWide = false;
        MoveTo(mainButton, MainButtonRect());
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
    return ShowLogged(log, text, title, firstButton, secondButton, [&] {
        return passive ? UnattendedAnswer(secondButton)
                       : ShowMessageBox(text, owner, title, firstButton, secondButton);
    });
}
