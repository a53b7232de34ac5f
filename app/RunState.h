#pragma once
#include <string>

class CMainDlg;

// Process-wide run state: written on the main thread before any install worker
// exists, read afterwards by the setup window and the worker.
extern int UpgradeMode;
extern int AutoMode;
extern int PreviousInstallFound;
extern std::wstring PreviousInstallDir;
extern CMainDlg* MainWindow;

struct RunSwitches {
    bool upgrade = false;
    bool automatic = false;
};

// The two switches are case-sensitive substrings of the command-line tail; there is
// no tokenising, so "/silent" counts as "/s". A null tail sets neither.
RunSwitches ParseRunSwitches(const wchar_t* commandTail);
