#pragma once
#include <optional>
#include <string>

// The registry entries of an installation: autostart and the uninstall entry of the
// current user.

// Sets the current user's autostart value "Pinvora" to the quoted exePath, then deletes
// a machine-wide "Pinvora" autostart value. False when the value was not written (the
// current user's Run key is not created when missing); the machine-wide value then stays.
bool SetAutostart(const std::wstring& exePath);

// Writes the uninstall entry "Kelbrin" of the current user. False when the key could be
// neither opened nor created, or "DisplayVersion" (written last) failed.
bool WriteUninstallEntry(const std::wstring& displayIcon, const std::wstring& uninstallString,
                         const std::wstring& displayVersion);

// The file version of `path` as "major.minor.build.revision"; nothing when the file has no
// version resource.
std::optional<std::wstring> GetFileVersionText(const std::wstring& path);

// The command of the autostart value "Pinvora" without its double quotes, the current
// user's preferred over the machine-wide one; empty when there is none. A value too long
// for the 1000-byte read buffer counts as absent.
std::wstring QueryAutostartCommand();
