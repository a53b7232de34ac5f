#include "RunState.h"

#include <cwchar>

int UpgradeMode = 0;
int AutoMode = 0;
int PreviousInstallFound = 0;
std::wstring PreviousInstallDir;
CMainDlg* MainWindow = nullptr;

RunSwitches ParseRunSwitches(const wchar_t* commandTail)
{
    RunSwitches switches;
    if (!commandTail)
        return switches;
    const std::wstring tail(commandTail);
    switches.upgrade = tail.find(L"update=true") != std::wstring::npos;
    switches.automatic = tail.find(L"/s") != std::wstring::npos;
    return switches;
}
