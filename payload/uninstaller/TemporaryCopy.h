#pragma once
#include <windows.h>

#include <string>

// A running program's file cannot be deleted, so the uninstaller in the install
// directory hands over to a copy of itself in the temporary folder and ends; the copy
// then removes the install directory, the original uninstaller included.

struct HandOver {
    std::wstring installDir; // with trailing backslash; empty when started by the user
    DWORD originalProcessId = 0;
};

// Reads the arguments the original passes to its copy: /dir=<install dir> /wait=<pid>.
HandOver ParseHandOver(const wchar_t* commandLine);

// Copies `program` to the temporary folder and starts the copy for `installDir`. False
// when that cannot be done; the caller then uninstalls in place.
bool StartTemporaryCopy(const std::wstring& program, const std::wstring& installDir);

// Waits, up to a few seconds, for the original uninstaller to end.
void WaitForOriginal(DWORD processId);
