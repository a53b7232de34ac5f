#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The registry entries of an installation: autostart and the uninstall entry of the
// current user.

// Below HKEY_CURRENT_USER (and, for the autostart value, HKEY_LOCAL_MACHINE).
constexpr wchar_t AutostartRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t AutostartValueName[] = L"Pinvora";
constexpr wchar_t UninstallEntryKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelbrin";

// Sets the current user's autostart value "Pinvora" to the quoted exePath, then deletes
// a machine-wide "Pinvora" autostart value. False when the value was not written (the
// current user's Run key is not created when missing); the machine-wide value then stays.
bool SetAutostart(const std::wstring& exePath);

// The values of the uninstall entry, name and text, in the order they are written.
std::vector<std::pair<std::wstring, std::wstring>> UninstallValues(const std::wstring& displayIcon,
                                                                   const std::wstring& uninstallString,
                                                                   const std::wstring& displayVersion);

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
