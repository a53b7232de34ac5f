#pragma once
#include <windows.h>

// Posted to the setup window with a progress code in wParam and 0 in lParam.
constexpr UINT WM_SETUP_PROGRESS = WM_USER + 1;

// Every code the installation reports; the user sees 1, 2, 7, 3, 9, 5 in that order,
// and 6 can replace any of them.
enum ProgressCode : int {
    ProgressExtracting = 1,
    ProgressCopying = 2,
    ProgressStartMenu = 7,
    ProgressRegistering = 3,
    ProgressCleaningUp = 9,
    ProgressSucceeded = 5,
    ProgressFailed = 6,
    ProgressPathRejected = 10,
};
