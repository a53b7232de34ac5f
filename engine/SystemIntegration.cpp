#include "SystemIntegration.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
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

std::vector<UninstallValueWrite> WriteUninstallEntry(const UninstallEntry& entry)
{
    RegistryKey key = RegistryKey::Create(HKEY_CURRENT_USER, UninstallEntryKey, KEY_SET_VALUE);
    std::vector<UninstallValueWrite> writes;
    for (const UninstallValue& value : UninstallValues(entry)) {
        const bool written = key.IsOpen() && (value.number ? key.SetDword(value.name, *value.number)
                                                           : key.SetString(value.name, value.text));
        writes.push_back({value.name, value.Shown(), written});
    }
    return writes;
}

std::wstring UninstallValue::Shown() const
{
    return number ? std::to_wstring(*number) : text;
}

std::vector<UninstallValue> UninstallValues(const UninstallEntry& entry)
{
    const std::wstring uninstaller = L"\"" + entry.installDir + UninstallerName + L"\"";
    return {{L"DisplayIcon", entry.installDir + L"Pinvora.exe", std::nullopt},
            {L"DisplayName", L"Tessamo", std::nullopt},
            {L"Publisher", L"Haldenmark", std::nullopt},
            {L"UninstallString", uninstaller, std::nullopt},
            {L"QuietUninstallString", uninstaller + L" /quiet", std::nullopt},
            {L"InstallLocation", entry.installDir, std::nullopt},
            {L"EstimatedSize", L"", entry.estimatedSizeKiB},
            {L"NoModify", L"", 1},
            {L"NoRepair", L"", 1},
            {L"InstallDate", entry.installDate, std::nullopt},
            {L"DisplayVersion", entry.displayVersion, std::nullopt}};
}

std::wstring InstallDateText(const SYSTEMTIME& date)
{
    wchar_t text[9] = {};
    std::swprintf(text, 9, L"%04u%02u%02u", date.wYear, date.wMonth, date.wDay);
    return text;
}

namespace {

uint64_t TreeBytes(const std::wstring& folder, const std::function<bool(const std::wstring& path)>& leftOut)
{
    uint64_t bytes = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L".." || (leftOut && leftOut(folder + name)))
            continue;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            bytes += (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        else if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            bytes += TreeBytes(folder + name + L"\\", leftOut);
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return bytes;
}

} // namespace

DWORD InstalledSizeKiB(const std::wstring& installDir, const std::function<bool(const std::wstring& path)>& leftOut)
{
    const uint64_t kib = (TreeBytes(installDir, leftOut) + 1023) / 1024;
    return static_cast<DWORD>(std::min<uint64_t>(kib, MAXDWORD));
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
