#pragma once
#include <windows.h>

#include <string>

// The fixed names through which the installer and the uninstaller find a running or
// installed copy of the notes application.
constexpr wchar_t MainWindowTitle[] = L"Pinvora";
constexpr wchar_t LivenessEventName[] = L"Global\\PinvoraLiveEvent";
constexpr wchar_t SharedPathMappingName[] = L"QWMTRVSHAREMAPPINGFILE";
constexpr wchar_t LocationKey[] = L"SOFTWARE\\Kelbrin";
constexpr wchar_t LocationValue[] = L"Location";

// What a running copy holds for as long as it runs: the liveness event and the shared
// mapping whose view begins with the program's full path.
class CRunningPresence {
public:
    // False when another copy already holds the liveness event.
    bool Claim(const std::wstring& programPath);
    ~CRunningPresence();

private:
    HANDLE liveness = nullptr;
    HANDLE sharedPath = nullptr;
};

// Writes the program's directory (with trailing backslash) to the "Location" value.
bool PublishLocation(const std::wstring& directory);
