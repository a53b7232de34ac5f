#pragma once
#include <string>

#include "InstallLog.h"

// The steps of an uninstallation. `installDir` ends with a backslash.

// Writes each removal to the log and remembers whether anything stayed.
class RemovalReport {
public:
    explicit RemovalReport(InstallLog& log) : log(log) {}
    // Deletes the file `path` when it is there; false when it is still there.
    bool DeleteFile(const std::wstring& path);
    // Notes that `what` is gone or, when `gone` is false, that it stayed.
    void Note(const std::wstring& what, bool gone);
    bool AllRemoved() const { return allRemoved; }

private:
    InstallLog& log;
    bool allRemoved = true;
};

// Asks a running copy of the application to close and waits for it to end. False when
// it is still running after `milliseconds`.
bool CloseRunningApplication(unsigned milliseconds);

// The desktop shortcut and the Start-menu folder "Tessamo" with its shortcuts.
void RemoveShortcuts(RemovalReport& report);

// The autostart values, the uninstall entry and "Location", each only when it belongs
// to this installation.
void RemoveRegistryEntries(const std::wstring& installDir, RemovalReport& report);

// The program files but the uninstaller; "res\" and "sound\" once they are empty.
void RemoveProgramFiles(const std::wstring& installDir, RemovalReport& report);

// The uninstaller in the install folder, and the folder once it is empty. A file that
// is still running goes at the next start of the system.
void RemoveUninstaller(const std::wstring& installDir, RemovalReport& report);

// The user's notes, reminders, backups, pictures and template lists, here and in the
// per-user data folder.
void RemoveUserData(const std::wstring& installDir, RemovalReport& report);
