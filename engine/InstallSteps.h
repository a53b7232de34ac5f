#pragma once
#include <windows.h>
#include <functional>
#include <string>

// What the setup window hands to the install steps; final before the worker starts.
struct InstallInputs {
    std::wstring installPath;        // as entered; a backslash is appended when missing
    bool autostart = true;
    HWND window = nullptr;           // receives progress, owns the migration question
    bool previousInstallFound = false;
    std::wstring previousInstallDir; // with trailing backslash
    std::wstring sourceDir;          // the extraction folder, without trailing backslash
    // Removes what the extraction wrote, and only that.
    std::function<void()> removeExtractedFiles;
};

// The window side of an installation, as the install steps see it.
class InstallObserver {
public:
    virtual ~InstallObserver() = default;
    virtual void Progress(int code) = 0;
    // Same contract as ShowMessageBox: 1 for the first button, 2 for the second or close.
    virtual int ShowMessage(const std::wstring& text, HWND owner, const std::wstring& title,
                            const std::wstring& firstButton, const std::wstring& secondButton) = 0;
    // True once the user closed the setup window: stop at the next point between files.
    virtual bool StopRequested() = 0;
};

// Deploys the unpacked package into the install folder, migrating data from an earlier
// installation elsewhere when the user agrees. Reports each stage through `observer`;
// every error has been shown to the user when it returns false. On success
// `installDir` receives the install folder with its trailing backslash.
bool RunInstallSteps(const InstallInputs& inputs, InstallObserver& observer, std::wstring& installDir);

// Copies the files directly inside `sourceFolder` into `destFolder` (both with a
// trailing backslash); subfolders and failures are skipped. Stops early when
// `stopRequested` says so.
void CopyFolderFiles(const std::wstring& sourceFolder, const std::wstring& destFolder, bool overwrite,
                     const std::function<bool()>& stopRequested = {});
