#include "InstallTransaction.h"

#include <shlobj.h>

#include <cwchar>

#include "DataFile.h"
#include "DirectoryTree.h"
#include "Registry.h"

namespace {

const wchar_t* const AsideSuffix = L".setup-kept";
const wchar_t* const BesideSuffix = L".setup-new";

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDiskFull(DWORD error)
{
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
}

bool MoveOver(const std::wstring& from, const std::wstring& to)
{
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

std::wstring JournalFolder()
{
    wchar_t localAppData[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, localAppData, CSIDL_LOCAL_APPDATA, TRUE))
        return {};
    return std::wstring(localAppData) + L"\\Tessamo Setup";
}

bool FlushFile(const std::wstring& path)
{
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    return file.IsOpen() && ::FlushFileBuffers(file.Get());
}

// A name beside `path` that nothing uses yet.
std::wstring FreeAsideName(const std::wstring& path)
{
    std::wstring aside = path + AsideSuffix;
    for (int n = 2; Exists(aside); ++n)
        aside = path + AsideSuffix + std::to_wstring(n);
    return aside;
}

// "HKCU\..." and "HKLM\..." in the journal.
std::wstring RegistryPath(HKEY root, const std::wstring& key)
{
    return (root == HKEY_LOCAL_MACHINE ? L"HKLM\\" : L"HKCU\\") + key;
}

std::pair<HKEY, std::wstring> SplitRegistryPath(const std::wstring& path)
{
    return {path.compare(0, 5, L"HKLM\\") == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, path.substr(5)};
}

// Each task is done only when its effect is not there yet, so running it again is harmless.
// True when the task's end state holds.
bool Perform(const JournalTask& task, const JournalReport& report)
{
    const JournalRecord& record = task.record;
    const std::wstring& path = record.path;
    switch (task.action) {
    case JournalAction::RemoveFolderTree:
        if (Exists(path) && DeleteDirectoryTree(path))
            report(L"Undo: removed the folder " + path);
        return !Exists(path);
    case JournalAction::DeleteFile:
        if (Exists(path) && ::DeleteFileW(path.c_str()))
            report(L"Undo: removed " + path);
        return !Exists(path);
    case JournalAction::PutBack:
        if (!Exists(record.other))
            return true;
        if (MoveOver(record.other, path)) {
            report(L"Undo: restored " + path);
            return true;
        }
        report(L"Undo: " + path + L" not restored: " + DescribeSystemError(::GetLastError()));
        return false;
    case JournalAction::DeleteAside:
        return !Exists(record.other) || ::DeleteFileW(record.other.c_str());
    case JournalAction::RemoveEmptyFolder:
        // A kept file still inside is one that could not be put back or removed: it stays.
        return !Exists(path) || ::RemoveDirectoryW(path.c_str());
    case JournalAction::RemoveKey: {
        const auto [root, key] = SplitRegistryPath(path);
        // A key that holds keys of others stays.
        if (::RegDeleteKeyW(root, key.c_str()) == ERROR_SUCCESS)
            report(L"Undo: registry key " + path + L" removed");
        return true;
    }
    case JournalAction::RestoreValue: {
        const auto [root, key] = SplitRegistryPath(path);
        RegistryKey opened = RegistryKey::Open(root, key, KEY_SET_VALUE | KEY_QUERY_VALUE);
        if (!opened.IsOpen())
            return !record.earlier;
        if (opened.ReadRaw(record.other) == record.earlier)
            return true;
        const bool restored = record.earlier ? opened.SetRaw(record.other, *record.earlier)
                                             : opened.DeleteValue(record.other);
        report(L"Undo: registry " + path + L": " + record.other +
               (record.earlier ? L" restored" : L" removed") + (restored ? L"" : L" failed"));
        return restored;
    }
    }
    return true;
}

bool FinishJournal(const std::wstring& journalPath, const JournalReport& report)
{
    const std::optional<std::string> bytes = ReadFileBytes(journalPath);
    if (!bytes)
        return !Exists(journalPath);
    const std::vector<JournalRecord> records = ParseJournal(*bytes);
    const std::vector<JournalTask> tasks = PlanJournalEnd(records);
    const bool undo = records.empty() || records.back().step != JournalStep::Committed;
    if (undo)
        report(L"Undo: " + std::to_wstring(tasks.size()) + L" changes to take back");
    bool finished = true;
    for (const JournalTask& task : tasks)
        finished = Perform(task, report) && finished;
    if (!finished) {
        report(L"Undo: not finished; the next start of the setup program goes on with it");
        return false;
    }
    report(undo ? L"Undo: everything is as it was before the installation"
                : L"Clean-up: the earlier files kept aside are removed");
    ::DeleteFileW(journalPath.c_str());
    ::RemoveDirectoryW(JournalFolder().c_str());
    return true;
}

} // namespace

std::wstring InstallJournalPath()
{
    const std::wstring folder = JournalFolder();
    return folder.empty() ? std::wstring() : folder + L"\\install.journal";
}

bool IsKeptAside(const std::wstring& path)
{
    const size_t name = path.find_last_of(L'\\') + 1;
    const size_t suffix = path.find(AsideSuffix, name);
    if (suffix == std::wstring::npos)
        return false;
    // FreeAsideName numbers the suffix when the plain name is taken.
    const size_t number = suffix + std::wcslen(AsideSuffix);
    return path.find_first_not_of(L"0123456789", number) == std::wstring::npos;
}

bool FinishInterruptedInstallation(const JournalReport& report)
{
    const std::wstring journal = InstallJournalPath();
    if (journal.empty() || !Exists(journal))
        return true;
    report(L"An earlier installation was interrupted: finishing it from " + journal);
    return FinishJournal(journal, report);
}

std::wstring DescribeSystemError(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                              FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring description = length ? std::wstring(text, length) : std::wstring();
    ::LocalFree(text);
    while (!description.empty() && (description.back() == L'\n' || description.back() == L'\r'))
        description.pop_back();
    return description + L" (error " + std::to_wstring(error) + L")";
}

InstallTransaction::InstallTransaction(JournalReport report) : report(std::move(report)) {}

InstallTransaction::~InstallTransaction()
{
    Undo();
}

bool InstallTransaction::Begin()
{
    const std::wstring path = InstallJournalPath();
    if (path.empty())
        return false;
    ::CreateDirectoryW(JournalFolder().c_str(), nullptr);
    // CREATE_NEW: a journal still there is one whose undo could not be finished.
    journal = FileHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!journal.IsOpen())
        return Failed(path);
    report(L"Journal: " + path);
    return true;
}

bool InstallTransaction::Announce(const std::vector<JournalRecord>& records)
{
    std::string lines;
    for (const JournalRecord& record : records)
        lines += EncodeJournalRecord(record);
    DWORD written = 0;
    if (journal.IsOpen() &&
        ::WriteFile(journal.Get(), lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr) &&
        written == lines.size() && ::FlushFileBuffers(journal.Get()))
        return true;
    return Failed(InstallJournalPath());
}

bool InstallTransaction::Failed(const std::wstring& path)
{
    const DWORD error = ::GetLastError();
    if (IsDiskFull(error) && !diskFullFile) {
        diskFullFile = path;
        diskFullError = error;
    }
    ::SetLastError(error);
    return false;
}

bool InstallTransaction::IsOurs(const std::wstring& path) const
{
    if (touched.count(path))
        return true;
    for (const std::wstring& folder : createdFolders) {
        if (path.compare(0, folder.size(), folder) == 0)
            return true;
    }
    return false;
}

bool InstallTransaction::CreateFolder(const std::wstring& folder)
{
    if (Exists(folder))
        return true;
    std::wstring bare = folder;
    if (!bare.empty() && bare.back() == L'\\')
        bare.pop_back();
    // A file where the folder should be: nothing to create, and nothing of ours to undo.
    if (Exists(bare)) {
        ::SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    if (!IsOurs(bare) && !Announce({{JournalStep::FolderCreated, bare, L"", {}}}))
        return false;
    createdFolders.push_back(bare + L"\\");
    return ::CreateDirectoryW(bare.c_str(), nullptr) || Failed(bare);
}

// What keeps the earlier state of `path`; nothing when it is ours already.
std::optional<JournalRecord> InstallTransaction::RecordFor(const std::wstring& path) const
{
    if (IsOurs(path))
        return std::nullopt;
    if (!Exists(path))
        return JournalRecord{JournalStep::FileCreated, path, L"", {}};
    return JournalRecord{JournalStep::FileKeptAside, path, FreeAsideName(path), {}};
}

// The change announced by `record`, once it stands in the journal.
bool InstallTransaction::Apply(const JournalRecord& record)
{
    if (record.step == JournalStep::AsideFolderCreated)
        return ::CreateDirectoryW(record.path.c_str(), nullptr) || Failed(record.path);
    if (record.step == JournalStep::FileKeptAside &&
        !::MoveFileExW(record.path.c_str(), record.other.c_str(), MOVEFILE_WRITE_THROUGH))
        return Failed(record.path);
    touched[record.path] = record.other;
    return true;
}

bool InstallTransaction::MakeWayFor(const std::wstring& path)
{
    if (IsOurs(path))
        return true;
    // A folder where a file goes is not ours to move: the write fails as a copy onto it would.
    if (IsFolder(path)) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    const std::optional<JournalRecord> record = RecordFor(path);
    return !record || (Announce({*record}) && Apply(*record));
}

void InstallTransaction::MakeWayFor(const std::wstring& folder, const std::vector<std::wstring>& files)
{
    // The earlier files go into one new folder beside this one, not beside themselves: under
    // Wine every name that does not exist yet costs a look through its whole folder, and
    // kept names next to 2,000 earlier files made an upgrade three times the work.
    std::wstring kept; // named, and announced first, at the first earlier file
    std::vector<JournalRecord> records;
    for (const std::wstring& file : files) {
        const std::wstring path = folder + file;
        if (IsOurs(path))
            continue;
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            records.push_back({JournalStep::FileCreated, path, L"", {}});
        } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            if (kept.empty()) {
                kept = FreeAsideName(folder.substr(0, folder.size() - 1));
                records.insert(records.begin(), {JournalStep::AsideFolderCreated, kept, L"", {}});
            }
            records.push_back({JournalStep::FileKeptAside, path, kept + L"\\" + file, {}});
        }
    }
    // A file that cannot be renamed now is tried again, and fails, when it is written.
    if (!records.empty() && Announce(records)) {
        for (const JournalRecord& record : records)
            Apply(record);
    }
}

void InstallTransaction::PutBackAfterFailure(const std::wstring& path)
{
    const DWORD error = ::GetLastError();
    const auto kept = touched.find(path);
    if (kept != touched.end() && !kept->second.empty() && MoveOver(kept->second, path))
        touched.erase(kept); // the earlier file stands again: a later write keeps it anew
    else if (kept != touched.end() && kept->second.empty())
        ::DeleteFileW(path.c_str());
    ::SetLastError(error);
}

bool InstallTransaction::Write(const std::wstring& path, const std::function<bool()>& write)
{
    if (!MakeWayFor(path))
        return false;
    if (write())
        return true;
    Failed(path);
    PutBackAfterFailure(path);
    return false;
}

bool InstallTransaction::WriteBeside(const std::wstring& path,
                                     const std::function<bool(const std::wstring& beside)>& write)
{
    const std::wstring beside = path + BesideSuffix;
    if (!MakeWayFor(beside))
        return false;
    if (!write(beside)) {
        Failed(path);
        PutBackAfterFailure(beside);
        return false;
    }
    if (MakeWayFor(path) && MoveOver(beside, path))
        return true;
    Failed(path);
    PutBackAfterFailure(path);
    ::DeleteFileW(beside.c_str());
    return false;
}

bool InstallTransaction::CopyData(const std::wstring& from, const std::wstring& to, bool overwrite)
{
    if (!overwrite && Exists(to)) {
        ::SetLastError(ERROR_FILE_EXISTS);
        return false;
    }
    return WriteBeside(to, [&](const std::wstring& beside) {
        return ::CopyFileW(from.c_str(), beside.c_str(), FALSE) && FlushFile(beside);
    });
}

bool InstallTransaction::ReplaceData(const std::wstring& path, const std::string& bytes)
{
    return WriteBeside(path, [&](const std::wstring& beside) { return WriteFlushedFile(beside, bytes); });
}

bool InstallTransaction::KeepRegistryValue(HKEY root, const std::wstring& key, const std::wstring& name)
{
    const RegistryKey opened = RegistryKey::Open(root, key, KEY_QUERY_VALUE);
    return Announce({{JournalStep::RegistryValue, RegistryPath(root, key), name, opened.ReadRaw(name)}});
}

bool InstallTransaction::KeepRegistryKey(HKEY root, const std::wstring& key)
{
    return RegistryKey::Open(root, key, KEY_QUERY_VALUE).IsOpen() ||
           Announce({{JournalStep::RegistryKeyCreated, RegistryPath(root, key), L"", {}}});
}

bool InstallTransaction::Commit()
{
    if (!Announce({{JournalStep::Committed, L"", L"", {}}}))
        return false;
    journal.Close();
    ended = true;
    FinishJournal(InstallJournalPath(), report);
    return true;
}

void InstallTransaction::Undo()
{
    if (ended || !journal.IsOpen())
        return;
    journal.Close();
    ended = true;
    FinishJournal(InstallJournalPath(), report);
}
