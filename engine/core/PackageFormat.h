#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The setup package: entries laid end to end, each a text header followed by its raw
// payload. Header, byte for byte:
//   <#_this_is_tag_#>name:NAME length:DIGITS</#_this_is_tag_#>
// NAME is the file's path below the extraction folder, in code page 936, starting with
// a backslash. There is no index, padding, checksum or trailer.

// One entry as found in a package; the payload stays in the package's buffer.
struct PackageEntry {
    std::string name; // as stored: code page 936 bytes
    size_t payloadOffset = 0;
    size_t payloadLength = 0;
};

// A header and everything before its payload must fit in this many bytes.
constexpr size_t EntryHeaderWindow = 500;
// Longest name text and longest length text.
constexpr size_t EntryFieldLimit = 259;

// Reads the header of the entry that starts at `offset`. Nothing when no well-formed
// header starts exactly there, when it does not fit the header window or the package,
// or when its payload runs past the end of the package.
std::optional<PackageEntry> ParseEntryHeader(const uint8_t* bytes, size_t size, size_t offset);

// Copies `length` bytes of a package from `offset` into `out`; false when it cannot.
using PackageReader = std::function<bool(size_t offset, size_t length, uint8_t* out)>;

// Every entry of a package, in order. Nothing when the package is empty or any entry is
// malformed: a package is taken whole or not at all.
std::optional<std::vector<PackageEntry>> ParsePackage(const uint8_t* bytes, size_t size);

// The same, reading only the headers of a package of `size` bytes through `read`, so
// that a large package never has to be held whole. Nothing also when a read fails.
std::optional<std::vector<PackageEntry>> ParsePackage(size_t size, const PackageReader& read);

// An entry whose name is decoded from code page 936 and stays inside the extraction
// folder.
struct ExtractableEntry {
    std::wstring name;
    size_t payloadOffset = 0;
    size_t payloadLength = 0;
};

// Every entry of a package, ready to be written. Nothing when the package is empty or
// malformed, or when any name is not GBK or not a safe entry name: nothing may be written
// before the whole package is known to be sound.
std::optional<std::vector<ExtractableEntry>> ReadExtractableEntries(const uint8_t* bytes,
                                                                    size_t size);
std::optional<std::vector<ExtractableEntry>> ReadExtractableEntries(size_t size,
                                                                    const PackageReader& read);

// Whether a decoded entry name stays inside the extraction folder: a leading backslash,
// then names Windows can create (AreCreatableNames), so no "..", drive or stream.
bool IsSafeEntryName(const std::wstring& name);
