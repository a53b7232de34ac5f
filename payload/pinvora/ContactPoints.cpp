#include "ContactPoints.h"

#include <cstring>

bool CRunningPresence::Claim(const std::wstring& programPath)
{
    liveness = ::CreateEventW(nullptr, TRUE, FALSE, LivenessEventName);
    if (!liveness || ::GetLastError() == ERROR_ALREADY_EXISTS)
        return false;

    const DWORD bytes = static_cast<DWORD>((programPath.size() + 1) * sizeof(wchar_t));
    sharedPath = ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, bytes,
                                      SharedPathMappingName);
    if (!sharedPath)
        return true;
    if (void* view = ::MapViewOfFile(sharedPath, FILE_MAP_WRITE, 0, 0, bytes)) {
        std::memcpy(view, programPath.c_str(), bytes);
        ::UnmapViewOfFile(view);
    }
    return true;
}

CRunningPresence::~CRunningPresence()
{
    if (sharedPath)
        ::CloseHandle(sharedPath);
    if (liveness)
        ::CloseHandle(liveness);
}

bool PublishLocation(const std::wstring& directory)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, LocationKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return false;
    const LONG status = ::RegSetValueExW(key, LocationValue, 0, REG_SZ,
                                         reinterpret_cast<const BYTE*>(directory.c_str()),
                                         static_cast<DWORD>((directory.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}
