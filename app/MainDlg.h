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
    // replaces the proposed directory.
    explicit CMainDlg(InstallLog& log, std::optional<std::wstring> requestedDir = std::nullopt);
    ~CMainDlg() override;

    // Brings an existing window to the front, otherwise creates it centred on the
    // primary screen; false when the window cannot be created.
    bool Show();
    void CloseSetupWindow(int exitCode);

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override;
    void DrawContent(HDC dc, const RECT& content) override;
    BOOL OnIdle() override { return FALSE; }

    // The running-application check behind the main button (and automatic mode).
    void CheckRunningApplication();

private:
    void OnCreate();
    void CreateControls(const RECT& content, const std::wstring& proposedDir, bool fromApplication);
    void SetupTextButton(CTextButton& button, int normal, int hover, const wchar_t* text);
    void OnCommand(int id);
    void OnProgress(int code);
    void StartInstall();
    void ValidateAndLaunchWorker();
    void BrowseInstallDir();
    void StartApplication();
    void ShowInputControls(bool show);
    void SetTitle(const wchar_t* text);
    void CenterOnWorkArea();
    void LoadIcons();
    int ShowLoggedBox(const std::wstring& text, HWND owner, const std::wstring& title, const std::wstring& firstButton,
                      const std::wstring& secondButton);

    InstallLog& log;
    const std::optional<std::wstring> requestedDir;
    HBITMAP background = nullptr;
    RECT labelRect{};
    RECT pathRect{};
    RECT statusRect{};
    CTextButton mainButton;
    CTextButton changeDirButton;
    CTextButton startButton;
    CQEdit pathField;
    CQCheckBox autostartBox;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    std::unique_ptr<InstallWorker> worker;
};
