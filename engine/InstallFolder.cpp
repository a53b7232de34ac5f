#include "InstallFolder.h"

#include <windows.h>

#include "InstallPath.h"

std::wstring FullPathName(const std::wstring& path)
{
    const DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return path;
    std::wstring full(length, L'\0');
    full.resize(::GetFullPathNameW(path.c_str(), length, full.data(), nullptr));
    return full;
}

std::optional<std::wstring> NormalisedInstallPath(const std::wstring& entered)
{
    // A relative path would be taken from the current folder, whichever that is.
    if (!StartsWithDriveRoot(entered))
        return std::nullopt;
    const std::wstring full = WithTrailingBackslash(FullPathName(entered));
    if (!IsAcceptedInstallPath(full))
        return std::nullopt;
    return full;
}
