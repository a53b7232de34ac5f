#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "FileHandle.h"
#include "InstallJournal.h"

// One line of the install log about what was kept, restored or removed.
using JournalReport = std::function<void(const std::wstring& line)>;

// The journal of the running installation, or of one that was stopped from outside: in a
// fixed folder of the current user, so that the next start finds it whatever install
// folder was chosen.
std::wstring InstallJournalPath();

// Finishes the journal an installation left when it was stopped from outside: its undo,
// or the clean-up after its success. Reports what it restored. True when no journal is
// left. The caller holds the InstallLock.
bool FinishInterruptedInstallation(const JournalReport& report);

// Whether `path` names what an installation keeps aside until it has succeeded.
bool IsKeptAside(const std::wstring& path);

// The system's reason for an error code, in a line of the log.
std::wstring DescribeSystemError(DWORD error);

// The changes of one installation, each announced in the journal and flushed before it is
// made. What is replaced is renamed aside on its own volume, never copied, so that an undo
// can put it back and success costs one deletion. What lies inside a folder this
// installation created needs no record: the undo removes the folder with it.
class InstallTransaction {
public:
    explicit InstallTransaction(JournalReport report);
    // An installation that neither succeeded nor was undone is undone here.
    ~InstallTransaction();
    InstallTransaction(const InstallTransaction&) = delete;
    InstallTransaction& operator=(const InstallTransaction&) = delete;

    // Starts the journal. False when it cannot be written, or when an earlier installation's
    // undo could not be finished and its journal is still there.
    bool Begin();

    // True when `folder` exists or was created.
    bool CreateFolder(const std::wstring& folder);
    // Writes the file at `path` with `write`, after keeping an existing one aside. When
    // `write` fails, the earlier file is back in place and GetLastError() says why.
    bool Write(const std::wstring& path, const std::function<bool()>& write);
    // Makes way for the `files` of `folder` (with its trailing backslash) with one flush of
    // the journal: each existing one is kept aside now, in a new folder beside `folder`,
    // before they are written one by one.
    void MakeWayFor(const std::wstring& folder, const std::vector<std::wstring>& files);
    // The user's data: the new file is written beside, flushed, then renamed over the old one.
    bool CopyData(const std::wstring& from, const std::wstring& to, bool overwrite);
    bool ReplaceData(const std::wstring& path, const std::string& bytes);

    // Records a registry value, or its absence, before it is changed.
    bool KeepRegistryValue(HKEY root, const std::wstring& key, const std::wstring& name);
    // Records that `key` did not exist, before it is created.
    bool KeepRegistryKey(HKEY root, const std::wstring& key);

    // The installation succeeded: what was kept aside is removed. False when that could not
    // be recorded; the installation is then undone.
    bool Commit();
    // Puts back everything as it was before Begin and reports it.
    void Undo();

    // The first file that did not fit on its disk, and the system's error for it.
    const std::optional<std::wstring>& DiskFullFile() const { return diskFullFile; }
    DWORD DiskFullError() const { return diskFullError; }

private:
    bool Announce(const std::vector<JournalRecord>& records);
    std::optional<JournalRecord> RecordFor(const std::wstring& path) const;
    bool Apply(const JournalRecord& record);
    bool IsOurs(const std::wstring& path) const;
    bool MakeWayFor(const std::wstring& path);
    void PutBackAfterFailure(const std::wstring& path);
    bool WriteBeside(const std::wstring& path, const std::function<bool(const std::wstring& beside)>& write);
    bool Failed(const std::wstring& path);

    JournalReport report;
    FileHandle journal;
    bool ended = false;
    std::vector<std::wstring> createdFolders; // with a trailing backslash
    std::map<std::wstring, std::wstring> touched; // path -> where its earlier version is kept, or empty
    std::optional<std::wstring> diskFullFile;
    DWORD diskFullError = ERROR_SUCCESS;
};
