#pragma once
#include <windows.h>

#include <functional>
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
constexpr wchar_t UninstallerName[] = L"卸载Tessamo.exe";

// Sets the current user's autostart value "Pinvora" to the quoted exePath, then deletes
// a machine-wide "Pinvora" autostart value. False when the value was not written (the
// current user's Run key is not created when missing); the machine-wide value then stays.
bool SetAutostart(const std::wstring& exePath);

// What the uninstall entry tells about one installation.
struct UninstallEntry {
    std::wstring installDir;     // with trailing backslash
    std::wstring displayVersion; // of the installed Pinvora.exe; empty when it has none
    DWORD estimatedSizeKiB = 0;
    std::wstring installDate;    // yyyymmdd
};

// One value of the uninstall entry: a REG_DWORD when `number` is set, else REG_SZ `text`.
struct UninstallValue {
    std::wstring name;
    std::wstring text;
    std::optional<DWORD> number;
    // The value as the install log shows it.
    std::wstring Shown() const;
};

// The values of the uninstall entry in the order they are written, "DisplayVersion"
// last. The uninstaller's path is quoted in the commands: unquoted, a path with spaces
// would let "C:\Program.exe" run in its place.
std::vector<UninstallValue> UninstallValues(const UninstallEntry& entry);

// One value of the uninstall entry as the log shows it, and whether it was written.
struct UninstallValueWrite {
    std::wstring name;
    std::wstring text;
    bool written = false;
};

// Writes the uninstall entry "Kelbrin" of the current user: every value of
// UninstallValues, in order, each with its own result (none written when the key could
// be neither opened nor created).
std::vector<UninstallValueWrite> WriteUninstallEntry(const UninstallEntry& entry);

// A date as "InstallDate" holds it: yyyymmdd.
std::wstring InstallDateText(const SYSTEMTIME& date);

// The size of the files below `installDir`, in KiB rounded up, without the files and
// folders that `leftOut` names; linked folders are not followed.
DWORD InstalledSizeKiB(const std::wstring& installDir,
                       const std::function<bool(const std::wstring& path)>& leftOut = nullptr);

// The file version of `path` as "major.minor.build.revision"; nothing when the file has no
// version resource.
std::optional<std::wstring> GetFileVersionText(const std::wstring& path);

// The command of the autostart value "Pinvora" without its double quotes, the current
// user's preferred over the machine-wide one; empty when there is none. A value too long
// for the 1000-byte read buffer counts as absent.
std::wstring QueryAutostartCommand();
