#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ExtractionRecord.h"

// The setup package is the installer's resource of type "PKG" with this id.
constexpr int SetupPackageId = 214;
constexpr wchar_t SetupPackageType[] = L"PKG";

// A copy of the resource `id` of type `type` in `module` (the running program when
// null). Nothing when the resource cannot be loaded.
std::optional<std::vector<uint8_t>> LoadResourceBytes(int id, const wchar_t* type,
                                                      HMODULE module = nullptr);

// Writes every entry of a package below `targetDir` (no trailing backslash), creating
// folders as needed, and records what it wrote in `record`. False when the package is
// empty or malformed (then nothing is written), or when a folder cannot be created or a
// file cannot be written whole (then it stops there; a file that could not be opened,
// locked say, keeps its old content).
bool UnpackEntries(const uint8_t* bytes, size_t size, const std::wstring& targetDir,
                   ExtractionRecord& record);

// The folder "temp" beside the running program, without trailing backslash.
std::wstring ExtractionDirectory();

// Unpacks the program's setup package into ExtractionDirectory(). On failure
// `errorText` says why: "读取资源失败" or "解压资源失败"; on success it is untouched.
bool ExtractSetupPackage(int resourceId, std::wstring& errorText, ExtractionRecord& record);
