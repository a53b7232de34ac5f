#include "Uninstall.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "ContactPoints.h"
#include "DirectoryTree.h"
#include "Removal.h"
#include "SystemIntegration.h"

namespace {

constexpr wchar_t RunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t RunValue[] = L"Pinvora";
constexpr wchar_t UninstallParent[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t UninstallKeyName[] = L"Kelbrin";

class Key {
public:
    Key(HKEY root, const wchar_t* path, REGSAM access)
    {
        if (::RegOpenKeyExW(root, path, 0, access, &key) != ERROR_SUCCESS)
            key = nullptr;
    }
    ~Key()
    {
        if (key)
            ::RegCloseKey(key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY Get() const { return key; }

    std::wstring Text(const wchar_t* name) const
    {
        if (!key)
            return {};
        DWORD type = 0;
        DWORD bytes = 0;
        if (::RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ)
            return {};
        std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
        if (::RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &bytes) !=
            ERROR_SUCCESS)
            return {};
        return text.data();
    }

private:
    HKEY key = nullptr;
};

void DeleteValueIfInside(HKEY root, const wchar_t* path, const wchar_t* name, const std::wstring& installDir,
                         RemovalReport& report)
{
    Key key(root, path, KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (key.Get() && PointsInto(key.Text(name), installDir)) {
        report.Note(std::wstring(root == HKEY_CURRENT_USER ? L"HKCU\\" : L"HKLM\\") + path + L": " + name,
                    ::RegDeleteValueW(key.Get(), name) == ERROR_SUCCESS);
    }
}

bool KeyIsEmpty(HKEY root, const wchar_t* path)
{
    Key key(root, path, KEY_QUERY_VALUE);
    DWORD subkeys = 0;
    DWORD values = 0;
    return key.Get() &&
           ::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                              nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys == 0 && values == 0;
}

std::wstring ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE))
        return {};
    return path;
}

bool IsRunning()
{
    if (::FindWindowW(nullptr, MainWindowTitle))
        return true;
    HANDLE liveness = ::OpenEventW(SYNCHRONIZE, FALSE, LivenessEventName);
    if (!liveness)
        return false;
    ::CloseHandle(liveness);
    return true;
}

bool IsAbsent(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

} // namespace

bool RemovalReport::DeleteFile(const std::wstring& path)
{
    if (IsAbsent(path))
        return true;
    const bool gone = ::DeleteFileW(path.c_str()) || IsAbsent(path);
    Note(path, gone);
    return gone;
}

void RemovalReport::Note(const std::wstring& what, bool gone)
{
    log.Write((gone ? L"Removed: " : L"Not removed: ") + what);
    allRemoved = allRemoved && gone;
}

bool CloseRunningApplication(unsigned milliseconds)
{
    const DWORD start = ::GetTickCount();
    while (IsRunning()) {
        if (::GetTickCount() - start > milliseconds)
            return false;
        if (HWND window = ::FindWindowW(nullptr, MainWindowTitle))
            ::PostMessageW(window, WM_CLOSE, 0, 0);
        ::Sleep(100);
    }
    return true;
}

void RemoveShortcuts(RemovalReport& report)
{
    const std::wstring desktop = ShellFolder(CSIDL_DESKTOPDIRECTORY);
    if (!desktop.empty())
        report.DeleteFile(desktop + L"\\Tessamo.lnk");
    const std::wstring programs = ShellFolder(CSIDL_PROGRAMS);
    if (programs.empty())
        return;
    const std::wstring folder = programs + L"\\Tessamo";
    for (const wchar_t* link : {L"\\Tessamo.lnk", L"\\使用说明.txt.lnk", L"\\卸载Tessamo.lnk"})
        report.DeleteFile(folder + link);
    if (!IsAbsent(folder))
        report.Note(folder, ::RemoveDirectoryW(folder.c_str()) != FALSE);
}

void RemoveRegistryEntries(const std::wstring& installDir, RemovalReport& report)
{
    DeleteValueIfInside(HKEY_CURRENT_USER, RunKey, RunValue, installDir, report);
    DeleteValueIfInside(HKEY_LOCAL_MACHINE, RunKey, RunValue, installDir, report);

    const std::wstring uninstallKey = std::wstring(UninstallParent) + L"\\" + UninstallKeyName;
    if (PointsInto(Key(HKEY_CURRENT_USER, uninstallKey.c_str(), KEY_QUERY_VALUE).Text(L"UninstallString"),
                   installDir)) {
        Key parent(HKEY_CURRENT_USER, UninstallParent, KEY_ALL_ACCESS);
        report.Note(L"HKCU\\" + uninstallKey,
                    parent.Get() && ::RegDeleteKeyW(parent.Get(), UninstallKeyName) == ERROR_SUCCESS);
    }

    DeleteValueIfInside(HKEY_CURRENT_USER, LocationKey, LocationValue, installDir, report);
    if (KeyIsEmpty(HKEY_CURRENT_USER, LocationKey))
        ::RegDeleteKeyW(HKEY_CURRENT_USER, LocationKey);
}

void RemoveProgramFiles(const std::wstring& installDir, RemovalReport& report)
{
    for (const std::wstring& file : ProgramFiles())
        report.DeleteFile(installDir + file);
    for (const std::wstring& folder : ProgramFolders())
        ::RemoveDirectoryW((installDir + folder).c_str());
}

void RemoveUninstaller(const std::wstring& installDir, RemovalReport& report)
{
    const std::wstring uninstaller = installDir + UninstallerName;
    const std::wstring folder = installDir.substr(0, installDir.size() - 1);
    if (::DeleteFileW(uninstaller.c_str()) || IsAbsent(uninstaller)) {
        ::RemoveDirectoryW(folder.c_str());
        return;
    }
    // Running in place: a running program's file cannot be deleted on Windows.
    const bool scheduled = ::MoveFileExW(uninstaller.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) &&
                           ::MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    report.Note(uninstaller + (scheduled ? L" (at the next start of Windows)" : L""), scheduled);
}

void RemoveUserData(const std::wstring& installDir, RemovalReport& report)
{
    for (const std::wstring& file : UserDataFiles())
        report.DeleteFile(installDir + file);
    for (const std::wstring& folder : UserDataFolders()) {
        if (!IsAbsent(installDir + folder))
            report.Note(installDir + folder, DeleteDirectoryTree(installDir + folder));
    }

    const std::wstring userFolder = ShellFolder(CSIDL_LOCAL_APPDATA);
    if (userFolder.empty())
        return;
    const std::wstring tessamo = userFolder + L"\\Tessamo";
    for (const wchar_t* file : {L"\\template-utf8.xml", L"\\template.xml"})
        report.DeleteFile(tessamo + file);
    if (!IsAbsent(tessamo))
        report.Note(tessamo, ::RemoveDirectoryW(tessamo.c_str()) != FALSE);
}
