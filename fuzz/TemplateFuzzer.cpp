// A template list as its XML reader sees it: the text after decoding, given here in
// UTF-8. The records read from it are written out, read back and merged.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Encoding.h"
#include "FuzzCheck.h"
#include "TemplateDocument.h"
#include "TemplateList.h"

namespace {

std::wstring Line(const TemplateRecord& record)
{
    return FormatTemplateList({record});
}

// Finds `record` in `whole` from `begin` on and moves `begin` past it; false when it is
// not there.
bool TakeInOrder(const std::vector<TemplateRecord>& whole, size_t& begin,
                 const TemplateRecord& record)
{
    while (begin < whole.size() && Line(whole[begin]) != Line(record))
        ++begin;
    if (begin == whole.size())
        return false;
    ++begin;
    return true;
}

// Merging drops a package record whose id is listed, or replaces a listed one of the
// same name and image by it at the end: the result is some of the user's records in
// their order, then some of the package's in theirs.
void CheckMerge(const std::vector<TemplateRecord>& user,
                const std::vector<TemplateRecord>& package)
{
    const std::vector<TemplateRecord> merged = MergeTemplates(user, package);
    size_t nextUser = 0;
    size_t nextPackage = 0;
    bool inPackage = false;
    for (const TemplateRecord& record : merged) {
        inPackage = inPackage || !TakeInOrder(user, nextUser, record);
        if (inPackage)
            Require(TakeInOrder(package, nextPackage, record),
                    "a merged list is user records, then package records, each in order");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(bytes), size);
    DecodeTemplateFile(input);
    const std::optional<std::vector<TemplateElement>> elements =
        ParseTemplateElements(DecodeUtf8(input));
    if (!elements)
        return 0;
    std::vector<TemplateRecord> records;
    for (const TemplateElement& element : *elements)
        records.push_back(ReadTemplateRecord(element));

    const std::wstring written = FormatTemplateList(records);
    const std::optional<std::vector<TemplateRecord>> reread = ReadTemplateList(EncodeUtf8(written));
    Require(reread.has_value(), "a written template list is well-formed");
    Require(FormatTemplateList(*reread) == written, "a written list reads back to its records");

    const auto half = records.begin() + static_cast<std::ptrdiff_t>(records.size() / 2);
    CheckMerge({records.begin(), half}, {half, records.end()});
    return 0;
}
