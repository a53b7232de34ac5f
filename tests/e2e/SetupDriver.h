#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Where an installation goes by default and the registry keys it writes or reads.
inline const std::wstring DefaultDir = L"D:\\Program Files\\Tessamo\\";
inline const std::wstring RunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline const std::wstring UninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelbrin";
inline const std::wstring KelbrinKey = L"SOFTWARE\\Kelbrin";

// Drives a real TessamoSetup.exe from outside, as a user would: finds its windows,
// clicks its controls with mouse messages, types into the path field and answers its
// message boxes. Every case runs in a fresh prefix, so the driver may change the
// registry and the disk freely.
class SetupDriver {
public:
    ~SetupDriver();

    // Copies the installer from C:\bin to `folder` as `name` (like a download) and starts it.
    bool Start(const std::wstring& arguments = L"", const std::wstring& folder = L"C:\\dl\\",
               const std::wstring& exePath = L"C:\\bin\\TessamoSetup.exe",
               const std::wstring& name = L"TessamoSetup.exe");
    HWND WaitForMainWindow(DWORD milliseconds = 20000);
    // The control with this command id inside the setup window.
    HWND Control(int id) const;
    bool IsVisible(int id) const;
    void Click(HWND control) const;
    void Click(int id) const { Click(Control(id)); }
    // Replaces the path field's text by typing.
    void TypePath(const std::wstring& text);
    std::wstring PathFieldText() const;
    std::wstring Title() const;

    // A message box of the installer; null when none appeared in time.
    HWND WaitForMessageBox(DWORD milliseconds = 20000) const;
    // Clicks a message-box button (1 = first, 2 = second) and waits until the box is gone.
    void Answer(HWND box, int button) const;

    bool WaitUntilVisible(int id, DWORD milliseconds = 60000) const;
    // The process exit code, or STILL_ACTIVE when it did not end in time.
    DWORD WaitForExit(DWORD milliseconds = 30000);

    // What watching the process until it ended showed.
    struct Watched {
        DWORD exitCode = STILL_ACTIVE;
        size_t windowsSeen = 0;       // top-level windows of the process, visible or not
        bool applicationSeen = false; // the window "Pinvora" or the application's liveness event
        bool messageBoxSeen = false;
        std::wstring titleSeen;       // of the process's visible top-level window, the last one seen
    };
    // Looks for the process's top-level windows and for a started application every few
    // milliseconds until the process ends.
    Watched WatchUntilExit(DWORD milliseconds = 120000);

    // Saves the setup window's pixels from the screen as C:\screenshots\<name>.bmp.
    bool SaveScreenshot(HWND window, const std::wstring& name) const;
    // How many pixels of the status line on screen differ from `text` drawn as the window
    // draws it; 0 when the window shows exactly that line.
    size_t PixelsDifferingFromStatusLine(const std::wstring& text) const;
    // The screen pixel at a window-relative point, as 0x00RRGGBB.
    uint32_t PixelAt(HWND window, int x, int y) const;
    // The screen pixels of a window-relative area, top row first, as 0x00RRGGBB.
    std::vector<uint32_t> PixelsOf(HWND window, const RECT& area) const;

    HWND main = nullptr;
    PROCESS_INFORMATION process{};
};

// The files, shortcuts and uninstall values of an installation in `dir`, and no unpacked
// files left beside the installer in C:\dl.
void ExpectInstalledIn(const std::wstring& dir);

// The setup package of an installer file, and the CRC-32 the installer checks it with.
std::string SetupPackageOf(const std::wstring& exe);
uint32_t CrcOf(const std::string& package);
// A copy of the installer with `package` as its setup package and, when given,
// `crcRecord` as the package's CRC-32 record; without it the build's record stays.
std::wstring InstallerWithPackage(const std::string& package, std::optional<uint32_t> crcRecord);
// The real package with one byte of the first file's content changed: it still unpacks.
std::string PackageWithOneByteChanged();

// A package entry as the build writes it: header, then the payload.
std::string PackageEntry(const std::string& name, const std::string& payload);
// `package` without the entry named `name`.
std::string PackageWithout(const std::string& package, const std::string& name);

// Everything an installation in `dir` touches, with `dir` written as "<dir>\": the files
// below it and in the per-user data folder with size and hash, the autostart values of
// both hives, the uninstall entry's values and every shortcut with its target.
std::vector<std::wstring> Snapshot(const std::wstring& dir);

// An install log's text; empty unless it starts with the UTF-8 byte-order mark.
std::wstring ReadLog(const std::wstring& path);
// Each part appears in the log, in this order.
void ExpectLogHolds(const std::wstring& log, const std::vector<std::wstring>& parts);

// Makes the prefix's screen `dpi` dots per inch for programs started from now on, and
// this process aware of it, so that it sees their windows in real pixels.
void UseDisplayDpi(UINT dpi);
// Picture `id` of the installer's resources, top row first, as 0x00RRGGBB; its size in `size`.
std::vector<uint32_t> InstallerPicture(int id, SIZE& size);

// Helpers for arranging a scenario.
void CreateFolders(const std::wstring& path);
bool SetRegistryString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value);
std::wstring RegistryString(HKEY root, const std::wstring& key, const std::wstring& name);
std::wstring SpecialFolder(int csidl);
// The target of a shell link file, or empty.
std::wstring ShortcutTarget(const std::wstring& linkPath);
