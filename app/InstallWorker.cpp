#include "InstallWorker.h"

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

InstallWorker::InstallWorker(InstallInputs installInputs, std::wstring& installDirOut)
    : inputs(std::move(installInputs)), installDir(installDirOut)
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
    return ShowMessageBox(text, owner, title, firstButton, secondButton);
}

DWORD WINAPI InstallWorker::ThreadProc(void* self)
{
    static_cast<InstallWorker*>(self)->Run();
    return 1;
}

void InstallWorker::Run()
{
    Progress(ProgressExtracting);
    std::wstring reason;
    ExtractionRecord extracted;
    if (!ExtractSetupPackage(SetupPackageId, reason, extracted)) {
        Progress(ProgressFailed);
        ShowMessage(reason.empty() ? L"安装失败,解压缩安装包失败" : L"安装失败,解压缩安装包失败:" + reason,
                    ::GetActiveWindow(), L"", L"确定", L"");
        return;
    }
    Progress(ProgressCopying);
    inputs.removeExtractedFiles = [&extracted] { extracted.RemoveRecorded(); };
    RunInstallSteps(inputs, *this, installDir);
}
