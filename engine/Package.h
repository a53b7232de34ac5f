#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "ExtractionRecord.h"
#include "FileHandle.h"
#include "PackageFormat.h"

// The setup package is the installer's resource of type "PKG" with this id; the build
// records its CRC-32 in the resource of type "PKGCRC" with the same id.
constexpr int SetupPackageId = 214;
constexpr wchar_t SetupPackageType[] = L"PKG";
constexpr wchar_t SetupPackageCrcType[] = L"PKGCRC";

// A resource's bytes where the loader mapped them with their module: read-only, never
// copied, and valid while the module stays loaded.
struct ResourceBytes {
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// The resource `id` of type `type` in `module` (the running program when null). Nothing
// when the resource cannot be loaded.
std::optional<ResourceBytes> FindResourceBytes(int id, const wchar_t* type, HMODULE module = nullptr);

// A package's bytes, read a piece at a time. The installer reads its package from its own
// file: read through the loaded image, the whole package would end up held in memory.
class PackageSource {
public:
    // Reads the bytes of `view` themselves.
    explicit PackageSource(ResourceBytes view);

    // Reads `resource` of `module` (the running program when null) from the module's file
    // when it lies there whole and the file holds what the loader mapped; otherwise from
    // the mapped bytes.
    static PackageSource Locate(ResourceBytes resource, HMODULE module = nullptr);

    size_t Size() const { return view.size; }
    bool ReadsTheFile() const { return file.IsOpen(); }

    // Copies `length` bytes from `offset` into `out`; false when they cannot be read.
    bool Read(size_t offset, size_t length, uint8_t* out) const;
    PackageReader Reader() const;

private:
    PackageSource(ResourceBytes view, FileHandle file, uint64_t fileOffset);
    bool ReadFromFile(uint64_t at, size_t length, uint8_t* out) const;
    bool FileMatchesView() const;

    ResourceBytes view;
    FileHandle file; // the module's file when it is read from there
    uint64_t fileOffset = 0;
};

// What the check of a package against its recorded CRC-32 found.
struct PackageCheck {
    std::optional<uint32_t> computed; // nothing when the package could not be read
    std::optional<uint32_t> recorded; // nothing when the record is missing or not 4 bytes
    bool Passed() const { return computed && recorded == computed; }
};

// Computes the CRC-32 of `package` and reads the one recorded for the package `id` of
// `module` (the running program when null).
PackageCheck CheckPackage(const PackageSource& package, int id, HMODULE module = nullptr);

// Writes every entry of a package below `targetDir` (no trailing backslash), creating
// folders as needed, and records what it wrote, with each file's CRC-32, in `record`.
// False when the package is empty or malformed (then nothing is written), when
// `targetDir` or anything on the way to an entry is a link (junction or symbolic link),
// or when a folder cannot be created or a file cannot be written whole (then it stops
// there; a file that could not be opened, locked say, keeps its old content).
bool UnpackEntries(const PackageSource& package, const std::wstring& targetDir, ExtractionRecord& record);
bool UnpackEntries(const uint8_t* bytes, size_t size, const std::wstring& targetDir,
                   ExtractionRecord& record);

// The running program's file, whatever the length of its path.
std::wstring ProgramPath();

// The folder "temp" beside the running program, without trailing backslash.
std::wstring ExtractionDirectory();
