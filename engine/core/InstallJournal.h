#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The journal of an installation: one record per change, written and flushed before the
// change is made, so that whatever stops the installation, the next start can put back
// what was there. Each record is one line with its own CRC-32: a line cut short by a
// crash is not taken for a record.

enum class JournalStep : char {
    FolderCreated = 'D',      // `path` did not exist; all that ends up inside it is ours
    FileCreated = 'F',        // `path` did not exist
    FileKeptAside = 'A',      // the file at `path` is renamed to `other` before a new one comes
    AsideFolderCreated = 'S', // `path` did not exist; a whole folder's earlier files are kept in it
    RegistryKeyCreated = 'K', // `path` names a key that did not exist ("HKCU\\...")
    RegistryValue = 'R',      // value `other` of key `path` is about to change; `earlier` held it
    Committed = 'C',          // the installation succeeded: what was kept aside may go
};

// A registry value as it was: its type and raw bytes.
struct RegistryData {
    uint32_t type = 0;
    std::string bytes;
    bool operator==(const RegistryData& other) const { return type == other.type && bytes == other.bytes; }
};

struct JournalRecord {
    JournalStep step = JournalStep::Committed;
    std::wstring path;
    std::wstring other;
    // RegistryValue only: nothing when the value did not exist.
    std::optional<RegistryData> earlier;
    bool operator==(const JournalRecord& o) const
    {
        return step == o.step && path == o.path && other == o.other && earlier == o.earlier;
    }
};

// One line: the step, the fields (escaped), the CRC-32 of all before it, a line feed.
std::string EncodeJournalRecord(const JournalRecord& record);

// The whole records from the start of `bytes`, up to the first that is cut short or damaged.
std::vector<JournalRecord> ParseJournal(const std::string& bytes);

enum class JournalAction {
    RemoveFolderTree,  // a created folder, with what the installation put in it
    DeleteFile,        // a created file, when it is there
    PutBack,           // the kept file goes back over whatever stands at its place
    DeleteAside,       // after success: the kept file is not needed any more
    RemoveEmptyFolder, // a folder of kept files, once nothing is left in it
    RemoveKey,         // a created registry key
    RestoreValue,      // the earlier registry value, or its absence
};

struct JournalTask {
    JournalAction action;
    JournalRecord record;
};

// What finishing a journal takes. After a commit: removing what was kept aside. Otherwise
// the undo of every record, newest first, so that a path changed twice ends as it was
// before the first change. Every task can be done again with the same outcome, so an undo
// that is itself interrupted is finished by running the plan once more.
std::vector<JournalTask> PlanJournalEnd(const std::vector<JournalRecord>& records);
