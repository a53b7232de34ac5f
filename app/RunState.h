#pragma once
#include <optional>
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
    bool upgrade = false;   // "update=true"
    bool automatic = false; // "/s"
    bool quiet = false;     // "/quiet": no window and no message box at all
    bool passive = false;   // "/passive": the window with progress only; wins over "/s", loses to "/quiet"
    // "/log=<file>", quoted or not (LogSwitchValue).
    std::optional<std::wstring> logFile;
    // "/D=<folder>": the rest of the tail, spaces included, so it must come last.
    std::optional<std::wstring> installDir;
    // A switch found inside the value of /D=: the folder is refused.
    std::optional<std::wstring> misplacedSwitch;
};

// The switches are case-sensitive substrings of the command-line tail; there is no
// tokenising, so "/silent" counts as "/s", and so does a "/s" inside a value. A null
// tail sets none. The values of /log= and /D= are read as engine/core's CommandLine says.
RunSwitches ParseRunSwitches(const wchar_t* commandTail);
