#pragma once
#include <windows.h>
#include <atomic>
#include <string>

#include "InstallLog.h"
#include "InstallSteps.h"

// One installation on its own thread. It reaches the setup window only by posting
// WM_SETUP_PROGRESS and shows its messages in boxes of its own thread. Closing the
// window asks it to stop at the next point between two files; the process waits for
// that so that no file is left half-written.
class InstallWorker : public InstallObserver {
public:
    // `installDir` receives the install folder before the success code is posted; `log`
    // receives what the installation reports. Without `askUser` no box is shown: each
    // question takes the unattended answer.
    InstallWorker(InstallInputs inputs, std::wstring& installDir, InstallLog& log, bool askUser = true);
    ~InstallWorker() override;
    InstallWorker(const InstallWorker&) = delete;
    InstallWorker& operator=(const InstallWorker&) = delete;

    bool Start();
    bool IsRunning() const;
    // Asks the worker to stop and answers its open message box with the second button.
    void RequestStop();
    void WaitUntilFinished();
    // How the installation ended; meaningful once the worker has finished.
    InstallResult Result() const { return result; }

    void Progress(int code) override;
    int ShowMessage(const std::wstring& text, HWND owner, const std::wstring& title,
                    const std::wstring& firstButton, const std::wstring& secondButton) override;
    bool StopRequested() override { return stopRequested; }

private:
    static DWORD WINAPI ThreadProc(void* self);
    void Run();

    InstallInputs inputs;
    std::wstring& installDir;
    InstallLog& log;
    const bool askUser;
    std::atomic<InstallResult> result{InstallResult::Stopped};
    HANDLE thread = nullptr;
    DWORD threadId = 0;
    std::atomic<bool> stopRequested{false};
};
