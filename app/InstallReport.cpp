#include "InstallReport.h"

#include "Package.h"
#include "ProgressText.h"
#include "SystemIntegration.h"

namespace {

const wchar_t* DescribeSource(InstallDirSource source)
{
    switch (source) {
    case InstallDirSource::SharedPath:
        return L"the path the running Tessamo publishes";
    case InstallDirSource::AutostartCommand:
        return L"the autostart value";
    case InstallDirSource::Location:
        return L"the Location value under HKCU\\SOFTWARE\\Kelbrin";
    case InstallDirSource::ProgramFiles:
        return L"an existing Program Files folder";
    case InstallDirSource::Default:
        return L"the default for a fresh installation";
    }
    return L"";
}

std::wstring Mode(const RunSwitches& switches)
{
    if (switches.quiet)
        return L"quiet: no window, no message box";
    if (switches.passive)
        return L"passive: the window with progress, no question, no message box";
    std::wstring mode = L"window";
    if (switches.automatic)
        mode += L", automatic (/s)";
    if (switches.upgrade)
        mode += L", upgrade (update=true)";
    return mode;
}

} // namespace

void LoggedObserver::Progress(int code)
{
    const wchar_t* status = StatusTextFor(code);
    log.Write(L"Progress " + std::to_wstring(code) + (status ? L": " + std::wstring(status) : L""));
    inner.Progress(code);
}

int LoggedObserver::ShowMessage(const std::wstring& text, HWND owner, const std::wstring& title,
                                const std::wstring& firstButton, const std::wstring& secondButton)
{
    return ShowLogged(log, text, title, firstButton, secondButton,
                      [&] { return inner.ShowMessage(text, owner, title, firstButton, secondButton); });
}

void LoggedObserver::Record(const std::wstring& line)
{
    log.Write(line);
    inner.Record(line);
}

int ShowLogged(InstallLog& log, const std::wstring& text, const std::wstring& title,
               const std::wstring& firstButton, const std::wstring& secondButton, const std::function<int()>& show)
{
    const std::wstring buttons = secondButton.empty() ? firstButton : firstButton + L"/" + secondButton;
    log.Write(L"Message box" + (title.empty() ? L"" : L" \"" + title + L"\"") + L": " + text + L" [" + buttons +
              L"]");
    const int answer = show();
    if (!secondButton.empty())
        log.Write(L"Answer: " + (answer == 1 ? firstButton : answer == 2 ? secondButton : L"none"));
    return answer;
}

int UnattendedAnswer(const std::wstring& secondButton)
{
    return secondButton.empty() ? 1 : 2;
}

void LogRunStart(InstallLog& log, const RunSwitches& switches)
{
    log.Write(L"Tessamo Setup " + GetFileVersionText(ProgramPath()).value_or(L"(no version)"));
    log.Write(L"Command line: " + std::wstring(::GetCommandLineW()));
    log.Write(L"Mode: " + Mode(switches));
    if (switches.misplacedSwitch) {
        log.Write(L"The folder of /D= holds the switch " + *switches.misplacedSwitch +
                  L": /D= must come last on the command line; the folder is refused");
    }
}

void LogProposedFolder(InstallLog& log, const ProposedInstallDir& proposal,
                       const std::optional<std::wstring>& requestedDir)
{
    log.Write(L"Earlier installation: " + (PreviousInstallFound ? PreviousInstallDir : std::wstring(L"none")));
    log.Write(L"Proposed folder: " + proposal.directory + L" (from " + DescribeSource(proposal.source) + L")");
    if (requestedDir)
        log.Write(L"Folder asked for with /D=: " + *requestedDir);
}

void LogChosenFolder(InstallLog& log, const std::wstring& folder, bool autostart)
{
    log.Write(L"Install folder: " + folder + (autostart ? L", autostart on" : L", autostart off"));
}

void LogResult(InstallLog& log, InstallResult result)
{
    log.Write(L"Result: " + std::wstring(DescribeInstallResult(result)));
}

void LogExitCode(InstallLog& log, int exitCode)
{
    log.Write(L"Exit code: " + std::to_wstring(exitCode));
}
