#pragma once
#include <string>

// The steps of an uninstallation. `installDir` ends with a backslash.

// Asks a running copy of the application to close and waits for it to end. False when
// it is still running after `milliseconds`.
bool CloseRunningApplication(unsigned milliseconds);

// The desktop shortcut and the Start-menu folder "Tessamo" with its shortcuts.
void RemoveShortcuts();

// The autostart values, the uninstall entry and "Location", each only when it belongs
// to this installation.
void RemoveRegistryEntries(const std::wstring& installDir);

// The program files; the running uninstaller itself goes when the system lets it, at
// the next start otherwise. The install directory is removed once it is empty.
void RemoveProgramFiles(const std::wstring& installDir, const std::wstring& uninstallerPath);

// The user's notes, reminders, backups, pictures and template lists, here and in the
// per-user data folder.
void RemoveUserData(const std::wstring& installDir);
