#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InstallJournal.h"

namespace {

const JournalRecord Folder{JournalStep::FolderCreated, L"D:\\Program Files\\Tessamo", L"", {}};
const JournalRecord NewFile{JournalStep::FileCreated, L"D:\\Tessamo\\res\\a.png", L"", {}};
const JournalRecord Kept{JournalStep::FileKeptAside, L"D:\\Tessamo\\使用说明.txt",
                         L"D:\\Tessamo\\使用说明.txt.setup-kept", {}};
const JournalRecord AsideFolder{JournalStep::AsideFolderCreated, L"D:\\Tessamo\\res.setup-kept", L"", {}};
const JournalRecord KeptInFolder{JournalStep::FileKeptAside, L"D:\\Tessamo\\res\\b.png",
                                 L"D:\\Tessamo\\res.setup-kept\\b.png", {}};
const JournalRecord Key{JournalStep::RegistryKeyCreated, L"HKCU\\SOFTWARE\\Kelbrin", L"", {}};
const JournalRecord AbsentValue{JournalStep::RegistryValue, L"HKLM\\SOFTWARE\\Run", L"Pinvora", {}};
const JournalRecord Value{JournalStep::RegistryValue, L"HKCU\\SOFTWARE\\Run", L"Pin\tvo%ra\r\n",
                          RegistryData{1, std::string("\"\0C\0:\0\0\0", 8)}};
const JournalRecord Commit{JournalStep::Committed, L"", L"", {}};

std::string Encoded(const std::vector<JournalRecord>& records)
{
    std::string bytes;
    for (const JournalRecord& record : records)
        bytes += EncodeJournalRecord(record);
    return bytes;
}

std::vector<std::pair<JournalAction, JournalRecord>> Steps(const std::vector<JournalTask>& plan)
{
    std::vector<std::pair<JournalAction, JournalRecord>> steps;
    for (const JournalTask& task : plan)
        steps.emplace_back(task.action, task.record);
    return steps;
}

TEST(InstallJournal, EveryKindOfRecordReadsBackAsWritten)
{
    const std::vector<JournalRecord> records{Folder, NewFile, Kept, AsideFolder, KeptInFolder, Key, AbsentValue, Value, Commit};
    EXPECT_EQ(ParseJournal(Encoded(records)), records);
}

TEST(InstallJournal, ARecordIsOneLineWhateverItsTextHolds)
{
    const std::string line = EncodeJournalRecord(Value);
    EXPECT_EQ(line.find('\n'), line.size() - 1);
    EXPECT_EQ(line.find('\r'), std::string::npos);
}

// What a crash or a damaged disk can leave at the end of a journal: the records before it count.
struct DamagedTail {
    const char* what;
    std::string tail;
};

class DamagedJournals : public testing::TestWithParam<DamagedTail> {};

TEST_P(DamagedJournals, KeepTheWholeRecordsBeforeTheDamage)
{
    const std::string whole = Encoded({Folder, Kept});
    EXPECT_EQ(ParseJournal(whole + GetParam().tail), (std::vector<JournalRecord>{Folder, Kept}));
}

std::string WithByteChanged(std::string line, size_t at)
{
    line[at] ^= 0x01;
    return line;
}

INSTANTIATE_TEST_SUITE_P(
    InstallJournal, DamagedJournals,
    testing::Values(DamagedTail{"a record cut short", EncodeJournalRecord(NewFile).substr(0, 20)},
                    DamagedTail{"a record without its line end",
                                EncodeJournalRecord(NewFile).substr(0, EncodeJournalRecord(NewFile).size() - 1)},
                    DamagedTail{"a changed byte in a path", WithByteChanged(EncodeJournalRecord(NewFile), 5) +
                                                                EncodeJournalRecord(Commit)},
                    DamagedTail{"zeros where the disk had not written yet", std::string(64, '\0')},
                    DamagedTail{"an unknown step with a right CRC", "X\t\t\t-\t" "00000000\n"},
                    DamagedTail{"a bad escape", "F\t%G1\t\t-\t00000000\n"}));

TEST(InstallJournal, AnUnfinishedInstallationIsUndoneNewestFirst)
{
    // The folder of kept files goes last, and only once every file in it is back in place.
    const std::vector<JournalTask> plan = PlanJournalEnd({Folder, NewFile, Kept, AsideFolder, KeptInFolder, Key, Value});
    const std::vector<std::pair<JournalAction, JournalRecord>> expected{
        {JournalAction::RestoreValue, Value},
        {JournalAction::RemoveKey, Key},
        {JournalAction::PutBack, KeptInFolder},
        {JournalAction::RemoveEmptyFolder, AsideFolder},
        {JournalAction::PutBack, Kept},
        {JournalAction::DeleteFile, NewFile},
        {JournalAction::RemoveFolderTree, Folder}};
    EXPECT_EQ(Steps(plan), expected);
}

TEST(InstallJournal, ASucceededInstallationOnlyRemovesWhatWasKeptAside)
{
    const JournalRecord secondKept{JournalStep::FileKeptAside, L"C:\\a.lnk", L"C:\\a.lnk.setup-kept", {}};
    const std::vector<JournalTask> plan =
        PlanJournalEnd({Folder, Kept, AsideFolder, KeptInFolder, Value, secondKept, Commit});
    const std::vector<std::pair<JournalAction, JournalRecord>> expected{
        {JournalAction::DeleteAside, secondKept},
        {JournalAction::DeleteAside, KeptInFolder},
        {JournalAction::RemoveEmptyFolder, AsideFolder},
        {JournalAction::DeleteAside, Kept}};
    EXPECT_EQ(Steps(plan), expected);
}

TEST(InstallJournal, AnEmptyJournalNeedsNothing)
{
    EXPECT_TRUE(ParseJournal("").empty());
    EXPECT_TRUE(PlanJournalEnd({}).empty());
}

} // namespace
