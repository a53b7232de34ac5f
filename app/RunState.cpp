#include "RunState.h"

#include "CommandLine.h"

int UpgradeMode = 0;
int AutoMode = 0;
int PreviousInstallFound = 0;
std::wstring PreviousInstallDir;
CMainDlg* MainWindow = nullptr;

namespace {

bool Contains(const std::wstring& tail, const wchar_t* text)
{
    return tail.find(text) != std::wstring::npos;
}

} // namespace

RunSwitches ParseRunSwitches(const wchar_t* commandTail)
{
    RunSwitches switches;
    if (!commandTail)
        return switches;
    const std::wstring tail(commandTail);
    switches.upgrade = Contains(tail, L"update=true");
    switches.automatic = Contains(tail, L"/s");
    switches.quiet = Contains(tail, L"/quiet");
    switches.passive = Contains(tail, L"/passive");
    switches.logFile = LogSwitchValue(tail);
    if (const std::optional<FolderSwitch> folder = FolderSwitchValue(tail)) {
        switches.installDir = folder->folder;
        switches.misplacedSwitch = folder->misplaced;
    }
    return switches;
}
