// A template list as its XML reader sees it: the text after decoding, given here in
// UTF-8. The records read from it are written out, read back and merged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "Encoding.h"
#include "FuzzCheck.h"
#include "TemplateDocument.h"
#include "TemplateList.h"

namespace {

bool Lists(const std::vector<TemplateRecord>& list, const std::wstring& id)
{
    return std::any_of(list.begin(), list.end(),
                       [&id](const TemplateRecord& record) { return record.id == id; });
}

// The package's records go to the end of the user's list unless their id is listed; one
// with the name and image of a listed record takes its place.
void CheckMerge(const std::vector<TemplateRecord>& user,
                const std::vector<TemplateRecord>& package)
{
    const std::vector<TemplateRecord> merged = MergeTemplates(user, package);
    Require(merged.size() <= user.size() + package.size(), "merging adds only the package");
    for (auto offered = package.begin(); offered != package.end(); ++offered) {
        const bool replacedLater = std::any_of(offered + 1, package.end(), [&](const auto& p) {
            return p.name == offered->name && p.image == offered->image;
        });
        Require(replacedLater || Lists(merged, offered->id),
                "every package id is listed after merging");
    }
    for (const TemplateRecord& kept : user) {
        const bool replaced = std::any_of(package.begin(), package.end(), [&](const auto& p) {
            return !Lists(user, p.id) && p.name == kept.name && p.image == kept.image;
        });
        Require(replaced || Lists(merged, kept.id), "a user record stays unless replaced");
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
