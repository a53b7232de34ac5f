#pragma once
#include <windows.h>

#include <string>

#include "RunState.h"

// A fresh run state and an earlier installation in `folder` + "Tessamo\\", recorded in
// the "Location" value, so that the window proposes that folder; returns it.
inline std::wstring RecordEarlierInstallation(const std::wstring& folder)
{
    UpgradeMode = AutoMode = PreviousInstallFound = 0;
    PreviousInstallDir.clear();
    const std::wstring earlier = folder + L"Tessamo\\";
    ::CreateDirectoryW(earlier.c_str(), nullptr);
    ::RegSetKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Kelbrin", L"Location", REG_SZ, earlier.c_str(),
                      static_cast<DWORD>((earlier.size() + 1) * sizeof(wchar_t)));
    return earlier;
}
