#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Drives a real TessamoSetup.exe from outside, as a user would: finds its windows,
// clicks its controls with mouse messages, types into the path field and answers its
// message boxes. Every case runs in a fresh prefix, so the driver may change the
// registry and the disk freely.
class SetupDriver {
public:
    ~SetupDriver();

    // Copies the installer from C:\bin to `folder` (like a download) and starts it.
    bool Start(const std::wstring& arguments = L"", const std::wstring& folder = L"C:\\dl\\",
               const std::wstring& exePath = L"C:\\bin\\TessamoSetup.exe");
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

    // Saves the setup window's pixels from the screen as C:\screenshots\<name>.bmp.
    bool SaveScreenshot(HWND window, const std::wstring& name) const;
    // How many pixels of the status line on screen differ from `text` drawn as the window
    // draws it; 0 when the window shows exactly that line.
    size_t PixelsDifferingFromStatusLine(const std::wstring& text) const;
    // The screen pixel at a window-relative point, as 0x00RRGGBB.
    uint32_t PixelAt(HWND window, int x, int y) const;

    HWND main = nullptr;
    PROCESS_INFORMATION process{};
};

// Helpers for arranging a scenario.
void CreateFolders(const std::wstring& path);
bool SetRegistryString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value);
std::wstring RegistryString(HKEY root, const std::wstring& key, const std::wstring& name);
std::wstring SpecialFolder(int csidl);
// The target of a shell link file, or empty.
std::wstring ShortcutTarget(const std::wstring& linkPath);
