// An installation journal as a crash or a damaged disk can leave it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "InstallJournal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const std::vector<JournalRecord> records = ParseJournal(std::string(reinterpret_cast<const char*>(bytes), size));
    std::string encoded;
    bool committed = false;
    for (const JournalRecord& record : records) {
        encoded += EncodeJournalRecord(record);
        committed = committed || record.step == JournalStep::Committed;
    }
    Require(ParseJournal(encoded) == records, "every record read is written back the same");

    const std::vector<JournalTask> plan = PlanJournalEnd(records);
    Require(plan.size() <= records.size(), "at most one task per record");
    for (const JournalTask& task : plan) {
        Require(task.record.step != JournalStep::Committed, "the commit itself needs no task");
        Require(committed == (task.action == JournalAction::DeleteAside),
                "after a commit nothing is undone, before it nothing kept is thrown away");
    }
    return 0;
}
