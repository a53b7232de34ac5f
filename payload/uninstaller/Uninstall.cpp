#include "Uninstall.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "ContactPoints.h"
#include "DirectoryTree.h"
#include "Removal.h"

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

void DeleteValueIfInside(HKEY root, const wchar_t* path, const wchar_t* name, const std::wstring& installDir)
{
    Key key(root, path, KEY_QUERY_VALUE | KEY_SET_VALUE);
    if (key.Get() && PointsInto(key.Text(name), installDir))
        ::RegDeleteValueW(key.Get(), name);
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

} // namespace

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

void RemoveShortcuts()
{
    const std::wstring desktop = ShellFolder(CSIDL_DESKTOPDIRECTORY);
    if (!desktop.empty())
        ::DeleteFileW((desktop + L"\\Tessamo.lnk").c_str());
    const std::wstring programs = ShellFolder(CSIDL_PROGRAMS);
    if (programs.empty())
        return;
    const std::wstring folder = programs + L"\\Tessamo";
    for (const wchar_t* link : {L"\\Tessamo.lnk", L"\\使用说明.txt.lnk", L"\\卸载Tessamo.lnk"})
        ::DeleteFileW((folder + link).c_str());
    ::RemoveDirectoryW(folder.c_str());
}

void RemoveRegistryEntries(const std::wstring& installDir)
{
    DeleteValueIfInside(HKEY_CURRENT_USER, RunKey, RunValue, installDir);
    DeleteValueIfInside(HKEY_LOCAL_MACHINE, RunKey, RunValue, installDir);

    const std::wstring uninstallKey = std::wstring(UninstallParent) + L"\\" + UninstallKeyName;
    if (PointsInto(Key(HKEY_CURRENT_USER, uninstallKey.c_str(), KEY_QUERY_VALUE).Text(L"UninstallString"),
                   installDir)) {
        Key parent(HKEY_CURRENT_USER, UninstallParent, KEY_ALL_ACCESS);
        if (parent.Get())
            ::RegDeleteKeyW(parent.Get(), UninstallKeyName);
    }

    DeleteValueIfInside(HKEY_CURRENT_USER, LocationKey, LocationValue, installDir);
    if (KeyIsEmpty(HKEY_CURRENT_USER, LocationKey))
        ::RegDeleteKeyW(HKEY_CURRENT_USER, LocationKey);
}

void RemoveProgramFiles(const std::wstring& installDir, const std::wstring& uninstallerPath)
{
    for (const std::wstring& file : ProgramFiles())
        ::DeleteFileW((installDir + file).c_str());
    for (const std::wstring& folder : ProgramFolders())
        ::RemoveDirectoryW((installDir + folder).c_str());

    // A running program's file cannot be deleted on Windows: leave it for the next start.
    const std::wstring folder = installDir.substr(0, installDir.size() - 1);
    if (::GetFileAttributesW(uninstallerPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
        ::MoveFileExW(uninstallerPath.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        ::MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        return;
    }
    ::RemoveDirectoryW(folder.c_str());
}

void RemoveUserData(const std::wstring& installDir)
{
    for (const std::wstring& file : UserDataFiles())
        ::DeleteFileW((installDir + file).c_str());
    for (const std::wstring& folder : UserDataFolders())
        DeleteDirectoryTree(installDir + folder);

    const std::wstring userFolder = ShellFolder(CSIDL_LOCAL_APPDATA);
    if (userFolder.empty())
        return;
    const std::wstring tessamo = userFolder + L"\\Tessamo";
    for (const wchar_t* file : {L"\\template-utf8.xml", L"\\template.xml"})
        ::DeleteFileW((tessamo + file).c_str());
    ::RemoveDirectoryW(tessamo.c_str());
}
