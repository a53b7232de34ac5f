#pragma once
#include <windows.h>

#include <optional>
#include <string>

// The uninstaller's command line: what the user or a script asks for, and what the
// uninstaller in the install folder passes on to its temporary copy.
struct UninstallSwitches {
    bool quiet = false;      // "/quiet": no message box at all; the exit code tells the outcome
    bool removeData = false; // "/removedata": with /quiet, the user's notes data goes too
    std::optional<std::wstring> logFile; // "/log=<file>", quoted whole when it has spaces

    // Set only in the temporary copy.
    std::wstring installDir;     // "/dir=", with trailing backslash
    DWORD originalProcessId = 0; // "/wait=": the uninstaller that started the copy
    HANDLE resultPipe = nullptr; // "/result=": where the copy hands over its exit code
};

// Each switch is one argument, as the system splits the command line.
UninstallSwitches ParseUninstallSwitches(const wchar_t* commandLine);
