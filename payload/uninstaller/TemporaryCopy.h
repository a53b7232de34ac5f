#pragma once
#include <windows.h>

#include <optional>
#include <string>

// A running program's file cannot be deleted, so the uninstaller in the install folder
// hands over to a copy of itself in the temporary folder. It waits for the copy's
// outcome and ends with the copy's exit code, so that whoever started it can wait for
// the uninstallation; the copy then removes the original's file.

// Copies `program` to the temporary folder, starts the copy for `installDir` with the
// user's `switches` (the command-line tail, passed on as it is) and waits for its exit
// code, unless `waitForOutcome` is false: then 0 once the copy runs. Nothing when the copy
// could not be started; the caller then uninstalls in place.
std::optional<int> RunTemporaryCopy(const std::wstring& program, const std::wstring& installDir,
                                    const std::wstring& switches, bool waitForOutcome);

// In the copy: hands `exitCode` to the waiting original.
void ReportToOriginal(HANDLE resultPipe, int exitCode);

// Waits, up to a few seconds, for the original uninstaller to end.
void WaitForOriginal(DWORD processId);
