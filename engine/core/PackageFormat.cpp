#include "PackageFormat.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <limits>

#include "Encoding.h"
#include "InstallPath.h"

namespace {

constexpr char OpeningTag[] = "<#_this_is_tag_#>";
constexpr char NameKeyword[] = "name:";
constexpr char LengthKeyword[] = "length:";
constexpr char ClosingTag[] = "</#_this_is_tag_#>";

template <size_t N>
constexpr size_t TextLength(const char (&)[N])
{
    return N - 1;
}

// Position of `needle` in [from, end) of `text`, or `end` when it is not there.
template <size_t N>
size_t Find(const uint8_t* text, size_t from, size_t end, const char (&needle)[N])
{
    const uint8_t* found = std::search(text + from, text + end, needle, needle + TextLength(needle));
    return static_cast<size_t>(found - text);
}

template <size_t N>
bool StartsWith(const uint8_t* text, size_t at, size_t end, const char (&prefix)[N])
{
    return end - at >= TextLength(prefix) && std::memcmp(text + at, prefix, TextLength(prefix)) == 0;
}

std::optional<size_t> ParseDigits(const uint8_t* text, size_t length)
{
    if (length == 0 || length > EntryFieldLimit)
        return std::nullopt;
    size_t value = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        const size_t digit = text[i] - '0';
        if (value > (std::numeric_limits<size_t>::max() - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

// Reads the header at the start of `window`, which holds the first
// min(EntryHeaderWindow, remaining) bytes of the `remaining` bytes left in the package.
// The payload offset is counted from the window's start.
std::optional<PackageEntry> ParseHeaderWindow(const uint8_t* window, size_t remaining)
{
    // Every search stays inside the window and the package.
    const size_t end = std::min(EntryHeaderWindow, remaining);

    size_t at = 0;
    if (!StartsWith(window, at, end, OpeningTag))
        return std::nullopt;
    at += TextLength(OpeningTag);
    if (!StartsWith(window, at, end, NameKeyword))
        return std::nullopt;
    const size_t nameStart = at + TextLength(NameKeyword);

    // The name runs up to the single separator byte before "length:".
    const size_t lengthKeyword = Find(window, nameStart, end, LengthKeyword);
    if (lengthKeyword == end || lengthKeyword < nameStart + 2 || window[lengthKeyword - 1] != ' ')
        return std::nullopt;
    const size_t nameLength = lengthKeyword - 1 - nameStart;
    if (nameLength > EntryFieldLimit)
        return std::nullopt;

    const size_t digitsStart = lengthKeyword + TextLength(LengthKeyword);
    const size_t closingTag = Find(window, digitsStart, end, ClosingTag);
    if (closingTag == end)
        return std::nullopt;
    const std::optional<size_t> length = ParseDigits(window + digitsStart, closingTag - digitsStart);
    if (!length)
        return std::nullopt;

    PackageEntry entry;
    entry.name.assign(reinterpret_cast<const char*>(window + nameStart), nameLength);
    entry.payloadOffset = closingTag + TextLength(ClosingTag);
    entry.payloadLength = *length;
    if (entry.payloadLength > remaining - entry.payloadOffset)
        return std::nullopt;
    return entry;
}

std::optional<std::vector<ExtractableEntry>> DecodeEntries(const std::optional<std::vector<PackageEntry>>& entries)
{
    if (!entries)
        return std::nullopt;
    std::vector<ExtractableEntry> extractable;
    for (const PackageEntry& entry : *entries) {
        std::optional<std::wstring> name = DecodeGbkStrict(entry.name);
        if (!name || !IsSafeEntryName(*name))
            return std::nullopt;
        extractable.push_back({std::move(*name), entry.payloadOffset, entry.payloadLength});
    }
    return extractable;
}

} // namespace

std::optional<PackageEntry> ParseEntryHeader(const uint8_t* bytes, size_t size, size_t offset)
{
    if (!bytes || offset >= size)
        return std::nullopt;
    std::optional<PackageEntry> entry = ParseHeaderWindow(bytes + offset, size - offset);
    if (entry)
        entry->payloadOffset += offset;
    return entry;
}

std::optional<std::vector<PackageEntry>> ParsePackage(const uint8_t* bytes, size_t size)
{
    if (!bytes)
        return std::nullopt;
    return ParsePackage(size, [bytes](size_t offset, size_t length, uint8_t* out) {
        std::memcpy(out, bytes + offset, length);
        return true;
    });
}

std::optional<std::vector<PackageEntry>> ParsePackage(size_t size, const PackageReader& read)
{
    if (size == 0)
        return std::nullopt;
    std::vector<PackageEntry> entries;
    uint8_t window[EntryHeaderWindow];
    size_t offset = 0;
    while (offset < size) {
        const size_t remaining = size - offset;
        if (!read(offset, std::min(EntryHeaderWindow, remaining), window))
            return std::nullopt;
        std::optional<PackageEntry> entry = ParseHeaderWindow(window, remaining);
        if (!entry)
            return std::nullopt;
        entry->payloadOffset += offset;
        // Every header is at least one byte long, so the offset always moves on.
        offset = entry->payloadOffset + entry->payloadLength;
        entries.push_back(std::move(*entry));
    }
    return entries;
}

std::optional<std::vector<ExtractableEntry>> ReadExtractableEntries(const uint8_t* bytes,
                                                                    size_t size)
{
    return DecodeEntries(ParsePackage(bytes, size));
}

std::optional<std::vector<ExtractableEntry>> ReadExtractableEntries(size_t size,
                                                                    const PackageReader& read)
{
    return DecodeEntries(ParsePackage(size, read));
}

bool IsSafeEntryName(const std::wstring& name)
{
    if (name.size() < 2 || name[0] != L'\\')
        return false;
    return AreCreatableNames(name.substr(1));
}
