#include "SystemIntegration.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "Registry.h"

namespace {

const wchar_t RunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t UninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelbrin";
const wchar_t AutostartValue[] = L"Pinvora";
const DWORD AutostartReadBufferBytes = 1000;

} // namespace

bool SetAutostart(const std::wstring& exePath)
{
    RegistryKey run = RegistryKey::Open(HKEY_CURRENT_USER, RunKey, KEY_SET_VALUE);
    if (!run.SetString(AutostartValue, L"\"" + exePath + L"\""))
        return false;
    // Only now that the user's value stands may the machine-wide one go.
    RegistryKey::Open(HKEY_LOCAL_MACHINE, RunKey, KEY_SET_VALUE).DeleteValue(AutostartValue);
    return true;
}

bool WriteUninstallEntry(const std::wstring& displayIcon, const std::wstring& uninstallString,
                         const std::wstring& displayVersion)
{
    RegistryKey entry = RegistryKey::Create(HKEY_CURRENT_USER, UninstallKey, KEY_SET_VALUE);
    if (!entry.IsOpen())
        return false;
    entry.SetString(L"DisplayIcon", displayIcon);
    entry.SetString(L"DisplayName", L"Tessamo");
    entry.SetString(L"Publisher", L"Haldenmark");
    entry.SetString(L"UninstallString", uninstallString);
    return entry.SetString(L"DisplayVersion", displayVersion);
}

std::optional<std::wstring> GetFileVersionText(const std::wstring& path)
{
    DWORD unused = 0;
    DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &unused);
    if (size == 0)
        return std::nullopt;
    std::vector<BYTE> info(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, info.data()) ||
        !::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
        !fixed || fixedSize < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    return std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
           std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
           std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
           std::to_wstring(LOWORD(fixed->dwFileVersionLS));
}

std::wstring QueryAutostartCommand()
{
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        std::optional<std::wstring> command = RegistryKey::Open(root, RunKey, KEY_QUERY_VALUE)
                                                  .ReadString(AutostartValue, AutostartReadBufferBytes);
        if (command) {
            command->erase(std::remove(command->begin(), command->end(), L'"'), command->end());
            return *command;
        }
    }
    return {};
}
