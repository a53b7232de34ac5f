#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "InstallLog.h"
#include "InstallWorker.h"
#include "MessageLoop.h"
#include "QCheckBox.h"
#include "QEdit.h"
#include "RunState.h"
#include "SetupLayout.h"
#include "TextButton.h"
#include "UpdateUI.h"
#include "WindowFrame.h"

// The setup window: the banner, the install path with "更换目录", the autostart
// option and the main button; after the start a status line, at the end "开始体验".
class CMainDlg : public CWndFrameBase<CMainDlg>, public CUpdateUI<CMainDlg>, public CIdleHandler {
public:
    // Written by the install steps before the success code; read on that code.
    std::wstring InstallDir;
    std::wstring StatusText;
    // Captured from the controls when the installation starts.
    std::wstring InstallPath;
    int AutostartChecked = 1;

    // `log` receives what the window and the installation do; `requestedDir`, from /D=,
    // replaces the proposed directory. A `passive` window (/passive) installs at once,
    // shows no box, takes the unattended answers, does not start the application and
    // closes itself with the result as the exit code.
    explicit CMainDlg(InstallLog& log, std::optional<std::wstring> requestedDir = std::nullopt,
                      bool passive = false);
    ~CMainDlg() override;

    // Brings an existing window to the front, otherwise creates it centred on the
    // primary screen; false when the window cannot be created.
    bool Show();
    void CloseSetupWindow(int exitCode);

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override;
    void DrawContent(HDC dc, const RECT& content) override;
    BOOL OnIdle() override { return FALSE; }

    // To assistive technology: child 1 is the status line, child 2 the progress; the
    // controls follow in Tab order (MainDlgAccess.cpp).
    AccessibleFacts DescribeAccessible(long child) const override;
    long SimpleChildCount() const override { return 2; }

    // The running-application check behind the main button (and automatic mode).
    void CheckRunningApplication();

private:
    void OnCreate();
    bool StartsByItself() const { return AutoMode || passive; }
    // Closes a passive window before any installation, with `result` as the exit code.
    void EndPassively(InstallResult result);
    void CreateControls(const std::wstring& proposedDir, bool fromApplication);
    void SetupTextButton(CTextButton& button, const wchar_t* text);
    // The banner and the controls' pictures for the window's scale.
    void LoadPictures();
    void LayoutForDpi(SIZE windowSize) override;
    RECT MainButtonRect() const;
    RECT CheckBoxRect() const;
    void OnCommand(int id);
    void OnProgress(int code);
    void StartInstall();
    void ValidateAndLaunchWorker();
    void BrowseInstallDir();
    void StartApplication();
    void ShowInputControls(bool show);
    // Tab order, default button and names for the controls.
    void SetUpKeyboard();
    // Tells assistive technology of a new status line and progress.
    void AnnounceProgress(int code);
    bool StatusLineShown() const;
    void SetTitle(const wchar_t* text);
    void CenterOnWorkArea();
    void LoadIcons();
    int ShowLoggedBox(const std::wstring& text, HWND owner, const std::wstring& title, const std::wstring& firstButton,
                      const std::wstring& secondButton);

    InstallLog& log;
    const std::optional<std::wstring> requestedDir;
    const bool passive;
    HBITMAP background = nullptr;
    // Every place in the window, at its scale.
    SetupLayout layout{};
    // The status line rises above "开始体验" once the installation succeeded.
    bool statusRaised = false;
    const RECT& StatusRect() const { return statusRaised ? layout.raisedStatus : layout.status; }
    // Upgrade mode's wide main button, until the path field comes back.
    bool mainButtonWide = false;
    CTextButton mainButton;
    CTextButton changeDirButton;
    CTextButton startButton;
    CQEdit pathField;
    CQCheckBox autostartBox;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    std::unique_ptr<InstallWorker> worker;
    // How far the installation is, for assistive technology; empty before it starts.
    std::wstring progressValue;
};
