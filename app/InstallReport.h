#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "InstallDirectory.h"
#include "InstallLog.h"
#include "InstallSteps.h"
#include "RunState.h"

// What the install log says, in one place: how the run started, where the install folder
// came from, each message box with its answer, what each step did, and how it ended.

// Writes everything an installation reports to `log` and passes it on to `inner`.
class LoggedObserver : public InstallObserver {
public:
    LoggedObserver(InstallObserver& inner, InstallLog& log) : inner(inner), log(log) {}

    void Progress(int code) override;
    int ShowMessage(const std::wstring& text, HWND owner, const std::wstring& title,
                    const std::wstring& firstButton, const std::wstring& secondButton) override;
    bool StopRequested() override { return inner.StopRequested(); }
    void Record(const std::wstring& line) override;

private:
    InstallObserver& inner;
    InstallLog& log;
};

// Shows a message box with `show` and logs it: its text before, the button chosen after.
int ShowLogged(InstallLog& log, const std::wstring& text, const std::wstring& title,
               const std::wstring& firstButton, const std::wstring& secondButton, const std::function<int()>& show);

// The answer an unattended run gives to a question: the second button ("否", "取消"),
// or the only one of a message.
int UnattendedAnswer(const std::wstring& secondButton);

// The version, the command line and the mode.
void LogRunStart(InstallLog& log, const RunSwitches& switches);
// The earlier installation, the folder the search proposes and why, and the one /D= asks for.
void LogProposedFolder(InstallLog& log, const ProposedInstallDir& proposal,
                       const std::optional<std::wstring>& requestedDir);
// The folder the installation starts with.
void LogChosenFolder(InstallLog& log, const std::wstring& folder, bool autostart);
void LogResult(InstallLog& log, InstallResult result);
void LogExitCode(InstallLog& log, int exitCode);
