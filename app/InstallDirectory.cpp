#include "InstallDirectory.h"

#include <shlobj.h>

#include <algorithm>
#include <cwchar>

#include "InstallPath.h"
#include "RunState.h"
#include "SystemIntegration.h"

namespace {

constexpr size_t MinimumCandidateLength = 3;
constexpr DWORD LocationBufferBytes = 1000;

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring WithoutQuotes(std::wstring text)
{
    text.erase(std::remove(text.begin(), text.end(), L'"'), text.end());
    return text;
}

// The string at the start of a mapped view, never read past the view's region.
std::wstring StringAtStartOfView(const void* view)
{
    MEMORY_BASIC_INFORMATION region{};
    if (!::VirtualQuery(view, &region, sizeof region))
        return {};
    const size_t capacity = region.RegionSize / sizeof(wchar_t);
    const auto* text = static_cast<const wchar_t*>(view);
    return std::wstring(text, ::wcsnlen(text, capacity));
}

class MachineCandidates : public InstallDirCandidates {
public:
    std::wstring SharedPath() override
    {
        HANDLE mapping = ::OpenFileMappingW(FILE_MAP_READ, TRUE, L"QWMTRVSHAREMAPPINGFILE");
        if (!mapping)
            return {};
        std::wstring path;
        if (const void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)) {
            path = StringAtStartOfView(view);
            ::UnmapViewOfFile(view);
        }
        ::CloseHandle(mapping);
        return path;
    }

    std::wstring AutostartCommand() override { return QueryAutostartCommand(); }

    // A value that does not fit the buffer would come back truncated: treat it as absent.
    std::wstring Location() override
    {
        HKEY key = nullptr;
        if (::RegOpenKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\Kelbrin", &key) != ERROR_SUCCESS &&
            ::RegCreateKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\Kelbrin", &key) != ERROR_SUCCESS)
            return {};
        std::wstring value;
        DWORD size = 0;
        if (::RegQueryValueExW(key, L"Location", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS &&
            size <= LocationBufferBytes) {
            wchar_t buffer[LocationBufferBytes / sizeof(wchar_t)] = {};
            DWORD read = sizeof buffer;
            if (::RegQueryValueExW(key, L"Location", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                                   &read) == ERROR_SUCCESS) {
                const size_t length = ::wcsnlen(buffer, sizeof buffer / sizeof buffer[0]);
                if (length < sizeof buffer / sizeof buffer[0])
                    value = WithoutQuotes(std::wstring(buffer, length));
            }
        }
        ::RegCloseKey(key);
        return value;
    }

    std::wstring ProgramFiles() override
    {
        for (const wchar_t* folder : {L"C:\\Program Files\\Tessamo", L"D:\\Program Files\\Tessamo",
                                      L"C:\\Program Files (x86)\\Tessamo",
                                      L"D:\\Program Files (x86)\\Tessamo"}) {
            if (Exists(folder))
                return std::wstring(folder) + L"\\";
        }
        return {};
    }
};

std::vector<DriveRoot> DriveRoots(const wchar_t* list, DWORD length)
{
    std::vector<DriveRoot> roots;
    for (DWORD at = 0; at + 1 < length && list[at]; at += static_cast<DWORD>(::wcslen(list + at)) + 1)
        roots.push_back(DriveRoot{list + at, ::GetDriveTypeW(list + at)});
    return roots;
}

} // namespace

ProposedInstallDir ChooseInstallDir(InstallDirCandidates& candidates)
{
    ProposedInstallDir proposal;
    auto accept = [&](const std::wstring& directory, InstallDirSource source) {
        if (directory.size() < MinimumCandidateLength)
            return false;
        proposal.directory = directory;
        proposal.found = true;
        proposal.source = source;
        return true;
    };
    const std::wstring shared = candidates.SharedPath();
    if (!shared.empty()) {
        proposal.fromApplication = true;
        if (accept(DirectoryPart(shared), InstallDirSource::SharedPath))
            return proposal;
    }
    const std::wstring autostart = candidates.AutostartCommand();
    if (!autostart.empty()) {
        proposal.fromApplication = true;
        if (accept(DirectoryPart(autostart), InstallDirSource::AutostartCommand))
            return proposal;
    }
    if (!accept(DirectoryPart(candidates.Location()), InstallDirSource::Location))
        accept(candidates.ProgramFiles(), InstallDirSource::ProgramFiles);
    return proposal;
}

std::wstring PreferredInstallDrive(const std::vector<DriveRoot>& roots, const std::wstring& windowsDir,
                                   UINT typeOfD)
{
    for (const DriveRoot& drive : roots) {
        if (drive.type == DRIVE_FIXED && !drive.root.empty() && !windowsDir.empty() &&
            drive.root[0] != windowsDir[0])
            return drive.root;
    }
    // A disc or a stick in D: is no place for a program.
    return typeOfD == DRIVE_FIXED ? L"D:\\" : L"C:\\";
}

std::wstring WithProductFolder(const std::wstring& chosenFolder)
{
    const std::wstring product = L"Tessamo";
    std::wstring path = WithTrailingBackslash(chosenFolder);
    const size_t tailLength = product.size() + 1;
    const std::wstring tail = path.size() > tailLength ? path.substr(path.size() - tailLength) : path;
    if (tail.find(product) == std::wstring::npos)
        path += product + L"\\";
    return path;
}

std::wstring DefaultInstallDir()
{
    std::vector<DriveRoot> drives;
    wchar_t roots[MAX_PATH] = {};
    wchar_t windowsDir[MAX_PATH] = {};
    DWORD length = ::GetLogicalDriveStringsW(MAX_PATH, roots);
    if (length && length <= MAX_PATH && ::GetWindowsDirectoryW(windowsDir, MAX_PATH))
        drives = DriveRoots(roots, length);
    return PreferredInstallDrive(drives, windowsDir, ::GetDriveTypeW(L"D:\\")) + L"Program Files\\Tessamo\\";
}

ProposedInstallDir FindDefaultInstallDir()
{
    MachineCandidates machine;
    ProposedInstallDir proposal = ChooseInstallDir(machine);
    if (!proposal.found) {
        proposal.directory = DefaultInstallDir();
        UpgradeMode = 0;
        PreviousInstallFound = 0;
    } else if (Exists(proposal.directory)) {
        PreviousInstallDir = proposal.directory;
    } else {
        UpgradeMode = 0;
        PreviousInstallFound = 0;
    }
    return proposal;
}

std::wstring BrowseForInstallDir()
{
    BROWSEINFOW browse{};
    PIDLIST_ABSOLUTE item = ::SHBrowseForFolderW(&browse);
    if (!item)
        return {};
    wchar_t folder[MAX_PATH] = {};
    BOOL ok = ::SHGetPathFromIDListW(item, folder);
    ::CoTaskMemFree(item);
    return ok ? WithProductFolder(folder) : std::wstring();
}
