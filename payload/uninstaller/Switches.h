#pragma once
#include <windows.h>

#include <optional>
#include <string>

// The uninstaller's command line: what the user or a script asks for, and what the
// uninstaller in the install folder passes on to its temporary copy.
struct UninstallSwitches {
    bool quiet = false;      // "/quiet": no message box at all; the exit code tells the outcome
    bool removeData = false; // "/removedata": with /quiet, the user's notes data goes too
    std::optional<std::wstring> logFile; // "/log=<file>", read as the installer reads it

    // Set only in the temporary copy.
    std::wstring installDir;     // "/dir=", with trailing backslash
    DWORD originalProcessId = 0; // "/wait=": the uninstaller that started the copy
    HANDLE resultPipe = nullptr; // "/result=": where the copy hands over its exit code
};

// The switches after the program's name. Each is one argument, as the system splits the
// command line, except "/log=", whose value may hold blanks.
UninstallSwitches ParseUninstallSwitches(const std::wstring& commandTail);
