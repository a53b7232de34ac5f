#pragma once
#include <windows.h>
#include <functional>
#include <string>

#include "ExtractionRecord.h"

// What the setup window hands to the install steps; final before the worker starts.
struct InstallInputs {
    std::wstring installPath;        // as entered; a backslash is appended when missing
    bool autostart = true;
    HWND window = nullptr;           // receives progress, owns the migration question
    bool previousInstallFound = false;
    std::wstring previousInstallDir; // with trailing backslash
    std::wstring sourceDir;          // the extraction folder, without trailing backslash
    // What the extraction wrote: only its files, and only as they were written, are
    // installed from sourceDir.
    const ExtractionRecord* extracted = nullptr;
    // Removes what the extraction wrote, and only that; true when nothing of it is left.
    std::function<bool()> removeExtractedFiles;
};

// How an installation ended. The values up to 9 are the exit codes of a quiet installation.
enum class InstallResult : int {
    Installed = 0,
    InvalidFolder = 2,      // the install path breaks the path rule
    ApplicationRunning = 3, // the notes application still runs
    DamagedPackage = 4,     // the setup package is missing or fails its CRC-32 check
    UnpackFailed = 5,       // the package could not be unpacked beside the installer
    FolderNotCreated = 6,   // the install folder or a folder inside it
    FileNotCopied = 7,      // a file the installation cannot do without
    PartsFailed = 8,        // installed, but some parts failed (files, shortcuts, registry values)
    DiskFull = 9,           // a file did not fit on its disk
    Stopped = 10,           // the setup window was closed during the installation
};

// A short English description, for the install log.
const wchar_t* DescribeInstallResult(InstallResult result);

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
    // What a step did, in a line of the install log: files copied, links, registry values.
    virtual void Record(const std::wstring& line) {}
};

// Deploys the unpacked package into the install folder, migrating data from an earlier
// installation elsewhere when the user agrees. Reports each stage through `observer`;
// every error has been shown to the user when it returns something else than Installed.
// On success `installDir` receives the install folder with its trailing backslash.
InstallResult RunInstallSteps(const InstallInputs& inputs, InstallObserver& observer, std::wstring& installDir);

struct FolderCopy {
    size_t copied = 0;
    size_t failed = 0;
};

using FileCopier = std::function<bool(const std::wstring& from, const std::wstring& to)>;

// Copies the files directly inside `sourceFolder` into `destFolder` (both with a
// trailing backslash) with `copy`; subfolders and failures are skipped. Stops early when
// `stopRequested` says so.
FolderCopy CopyFolderFiles(const std::wstring& sourceFolder, const std::wstring& destFolder, const FileCopier& copy,
                           const std::function<bool()>& stopRequested = {});
