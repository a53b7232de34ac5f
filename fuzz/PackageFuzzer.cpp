// A setup package, as damaged as a download can leave it.
#include <cstddef>
#include <cstdint>

#include "FuzzCheck.h"
#include "PackageFormat.h"

namespace {

void CheckEntriesTileThePackage(const uint8_t* bytes, size_t size,
                                const std::vector<PackageEntry>& entries)
{
    size_t entryStart = 0;
    for (const PackageEntry& entry : entries) {
        Require(entry.payloadOffset > entryStart, "a header precedes every payload");
        Require(entry.payloadOffset <= size && entry.payloadLength <= size - entry.payloadOffset,
                "every payload lies inside the package");
        const std::optional<PackageEntry> header = ParseEntryHeader(bytes, size, entryStart);
        Require(header && header->name == entry.name &&
                    header->payloadOffset == entry.payloadOffset &&
                    header->payloadLength == entry.payloadLength,
                "every entry starts where the one before it ends");
        entryStart = entry.payloadOffset + entry.payloadLength;
    }
    Require(entryStart == size, "the last payload ends the package");
}

void CheckExtractableEntries(const std::vector<PackageEntry>& entries,
                             const std::optional<std::vector<ExtractableEntry>>& extractable)
{
    if (!extractable)
        return;
    Require(extractable->size() == entries.size(), "every entry is extracted or none");
    for (size_t i = 0; i < entries.size(); ++i) {
        const ExtractableEntry& entry = (*extractable)[i];
        Require(IsSafeEntryName(entry.name), "an extracted name stays inside its folder");
        Require(entry.payloadOffset == entries[i].payloadOffset &&
                    entry.payloadLength == entries[i].payloadLength,
                "an extracted entry keeps its payload");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const std::optional<std::vector<PackageEntry>> entries = ParsePackage(bytes, size);
    const std::optional<std::vector<ExtractableEntry>> extractable =
        ReadExtractableEntries(bytes, size);
    if (!entries) {
        Require(!extractable, "a malformed package has nothing to extract");
        return 0;
    }
    Require(!entries->empty(), "a parsed package has entries");
    CheckEntriesTileThePackage(bytes, size, *entries);
    CheckExtractableEntries(*entries, extractable);
    return 0;
}
