#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "ExtractionRecord.h"

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

// What the check of a package against its recorded CRC-32 found.
struct PackageCheck {
    uint32_t computed = 0;
    std::optional<uint32_t> recorded; // nothing when the record is missing or not 4 bytes
    bool Passed() const { return recorded == computed; }
};

// Computes the CRC-32 of `package` and reads the one recorded for the package `id` of
// `module` (the running program when null).
PackageCheck CheckPackage(ResourceBytes package, int id, HMODULE module = nullptr);

// Writes every entry of a package below `targetDir` (no trailing backslash), creating
// folders as needed, and records what it wrote in `record`. False when the package is
// empty or malformed (then nothing is written), or when a folder cannot be created or a
// file cannot be written whole (then it stops there; a file that could not be opened,
// locked say, keeps its old content).
bool UnpackEntries(const uint8_t* bytes, size_t size, const std::wstring& targetDir,
                   ExtractionRecord& record);

// The running program's file, whatever the length of its path.
std::wstring ProgramPath();

// The folder "temp" beside the running program, without trailing backslash.
std::wstring ExtractionDirectory();
