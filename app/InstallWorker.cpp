#include "InstallWorker.h"

#include "InstallReport.h"
#include "Installation.h"
#include "MessageBox.h"
#include "Package.h"
#include "ProgressCodes.h"

namespace {

BOOL CALLBACK AnswerSecondButton(HWND box, LPARAM)
{
    ::PostMessageW(box, WM_COMMAND, 2, 0);
    return TRUE;
}

} // namespace

InstallWorker::InstallWorker(InstallInputs installInputs, std::wstring& installDirOut, InstallLog& installLog,
                             bool askUserFirst)
    : inputs(std::move(installInputs)), installDir(installDirOut), log(installLog), askUser(askUserFirst)
{
}

InstallWorker::~InstallWorker()
{
    RequestStop();
    WaitUntilFinished();
}

bool InstallWorker::Start()
{
    if (thread)
        return false;
    thread = ::CreateThread(nullptr, 0, &InstallWorker::ThreadProc, this, 0, &threadId);
    return thread != nullptr;
}

bool InstallWorker::IsRunning() const
{
    return thread && ::WaitForSingleObject(thread, 0) == WAIT_TIMEOUT;
}

void InstallWorker::RequestStop()
{
    stopRequested = true;
    if (IsRunning())
        ::EnumThreadWindows(threadId, &AnswerSecondButton, 0);
}

void InstallWorker::WaitUntilFinished()
{
    if (!thread)
        return;
    // A box may open between the stop request and the wait: answer it as well.
    while (::WaitForSingleObject(thread, 100) == WAIT_TIMEOUT) {
        if (stopRequested)
            ::EnumThreadWindows(threadId, &AnswerSecondButton, 0);
    }
    ::CloseHandle(thread);
    thread = nullptr;
}

void InstallWorker::Progress(int code)
{
    if (!stopRequested)
        ::PostMessageW(inputs.window, WM_SETUP_PROGRESS, static_cast<WPARAM>(code), 0);
}

int InstallWorker::ShowMessage(const std::wstring& text, HWND owner, const std::wstring& title,
                               const std::wstring& firstButton, const std::wstring& secondButton)
{
    if (stopRequested)
        return 2;
    if (!askUser)
        return UnattendedAnswer(secondButton);
    return ShowMessageBox(text, owner, title, firstButton, secondButton);
}

DWORD WINAPI InstallWorker::ThreadProc(void* self)
{
    static_cast<InstallWorker*>(self)->Run();
    return 1;
}

void InstallWorker::Run()
{
    LoggedObserver logged(*this, log);
    result = RunInstallation(SetupPackageId, ExtractionDirectory(), inputs, logged, installDir);
    LogResult(log, result);
}
