#include "SystemIntegration.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "Registry.h"

namespace {

const DWORD AutostartReadBufferBytes = 1000;

} // namespace

bool SetAutostart(const std::wstring& exePath)
{
    RegistryKey run = RegistryKey::Open(HKEY_CURRENT_USER, AutostartRunKey, KEY_SET_VALUE);
    if (!run.SetString(AutostartValueName, L"\"" + exePath + L"\""))
        return false;
    // Only now that the user's value stands may the machine-wide one go.
    RegistryKey::Open(HKEY_LOCAL_MACHINE, AutostartRunKey, KEY_SET_VALUE).DeleteValue(AutostartValueName);
    return true;
}

bool WriteUninstallEntry(const std::wstring& displayIcon, const std::wstring& uninstallString,
                         const std::wstring& displayVersion)
{
    RegistryKey entry = RegistryKey::Create(HKEY_CURRENT_USER, UninstallEntryKey, KEY_SET_VALUE);
    if (!entry.IsOpen())
        return false;
    bool lastWritten = false;
    for (const auto& [name, text] : UninstallValues(displayIcon, uninstallString, displayVersion))
        lastWritten = entry.SetString(name, text);
    return lastWritten;
}

std::vector<std::pair<std::wstring, std::wstring>> UninstallValues(const std::wstring& displayIcon,
                                                                   const std::wstring& uninstallString,
                                                                   const std::wstring& displayVersion)
{
    return {{L"DisplayIcon", displayIcon},
            {L"DisplayName", L"Tessamo"},
            {L"Publisher", L"Haldenmark"},
            {L"UninstallString", uninstallString},
            {L"DisplayVersion", displayVersion}};
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
        std::optional<std::wstring> command = RegistryKey::Open(root, AutostartRunKey, KEY_QUERY_VALUE)
                                                  .ReadString(AutostartValueName, AutostartReadBufferBytes);
        if (command) {
            command->erase(std::remove(command->begin(), command->end(), L'"'), command->end());
            return *command;
        }
    }
    return {};
}
