// A setup package, as damaged as a download can leave it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cwctype>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "PackageFormat.h"

namespace {

// Windows opens a device for these names, whatever extension follows.
bool IsDevice(const std::wstring& name)
{
    std::wstring upper;
    for (wchar_t c : name.substr(0, name.find(L'.')))
        upper += static_cast<wchar_t>(std::towupper(c));
    upper.erase(upper.find_last_not_of(L' ') + 1);
    for (const wchar_t* device : {L"CON", L"NUL", L"AUX", L"PRN"}) {
        if (upper == device)
            return true;
    }
    const bool numbered = upper.rfind(L"COM", 0) == 0 || upper.rfind(L"LPT", 0) == 0;
    return numbered && upper.size() == 4 && std::wstring(L"123456789\u00b9\u00b2\u00b3").find(upper[3]) != std::wstring::npos;
}

// The folders of `base` followed by `path` once Windows has normalised them: separators
// of either kind collapse, trailing dots and spaces of a name go, "." stays and ".."
// climbs. Nothing when a name would leave the file system's names altogether (a stream or
// drive after ':', or a device).
std::optional<std::vector<std::wstring>> Normalised(std::vector<std::wstring> names, const std::wstring& path)
{
    std::wstring name;
    for (size_t at = 0; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != L'\\' && path[at] != L'/') {
            name += path[at];
            continue;
        }
        if (name == L"." || name == L"..") {
            if (name == L".." && !names.empty())
                names.pop_back();
        } else {
            while (!name.empty() && (name.back() == L'.' || name.back() == L' '))
                name.pop_back();
            if (name.find(L':') != std::wstring::npos || IsDevice(name))
                return std::nullopt;
            if (!name.empty())
                names.push_back(name);
        }
        name.clear();
    }
    return names;
}

// Whether `name` joined to a base folder names something below that folder.
bool StaysBelowItsBase(const std::wstring& name)
{
    const std::vector<std::wstring> base = {L"C:", L"dl", L"temp"};
    const std::optional<std::vector<std::wstring>> joined = Normalised(base, name);
    return joined && joined->size() > base.size() && std::equal(base.begin(), base.end(), joined->begin());
}

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
        Require(StaysBelowItsBase(entry.name), "an extracted name stays inside its folder");
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
