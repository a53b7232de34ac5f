#pragma once
#include <windows.h>
#include <string>
#include <vector>

// Where an earlier installation may be found, in the order they are tried. A source
// is asked lazily: reading "Location" may create the key SOFTWARE\Kelbrin.
class InstallDirCandidates {
public:
    virtual ~InstallDirCandidates() = default;
    virtual std::wstring SharedPath() = 0;       // the running application's published path
    virtual std::wstring AutostartCommand() = 0; // the "Pinvora" Run value without quotes
    virtual std::wstring Location() = 0;         // HKCU\SOFTWARE\Kelbrin "Location", without quotes
    virtual std::wstring ProgramFiles() = 0;     // the first existing probed folder, with backslash
};

// The candidate a proposed directory came from.
enum class InstallDirSource { SharedPath, AutostartCommand, Location, ProgramFiles, Default };

struct ProposedInstallDir {
    std::wstring directory;
    bool fromApplication = false;  // from the shared path or the autostart value
    bool found = false;            // a candidate gave a directory (3 characters or more)
    InstallDirSource source = InstallDirSource::Default;
};

// The first candidate giving at least 3 characters wins.
ProposedInstallDir ChooseInstallDir(InstallDirCandidates& candidates);

struct DriveRoot {
    std::wstring root; // "E:\"
    UINT type;         // GetDriveTypeW's answer
};

// The first fixed drive of `roots` that is not the Windows drive, else "D:\" when
// `typeOfD` says it is a fixed drive, else "C:\".
std::wstring PreferredInstallDrive(const std::vector<DriveRoot>& roots, const std::wstring& windowsDir,
                                   UINT typeOfD);

// After browsing: a trailing backslash, and the product folder unless the path
// already ends with it.
std::wstring WithProductFolder(const std::wstring& chosenFolder);

// The default for a fresh installation on this machine: "<drive>Program Files\Tessamo\".
std::wstring DefaultInstallDir();

// Proposes the directory for the path field and records in the run state whether an
// earlier installation exists (PreviousInstallFound, PreviousInstallDir, UpgradeMode).
ProposedInstallDir FindDefaultInstallDir();

// The folder dialog; empty when the user cancelled.
std::wstring BrowseForInstallDir();
