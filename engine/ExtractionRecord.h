#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// What one extraction put on disk: the files it wrote and the folders it created, so
// that the clean-up removes exactly those, and the install steps copy exactly the bytes
// that were unpacked. The extraction folder sits beside the installer (in Downloads, say)
// and may already hold the user's own files.
class ExtractionRecord {
public:
    // The folder the extraction writes into, without trailing backslash.
    void SetFolder(const std::wstring& path) { folder = path; }
    const std::wstring& Folder() const { return folder; }

    void AddFile(const std::wstring& path, uint32_t crc);
    void AddFolder(const std::wstring& path);

    // The paths of the files written, in order.
    const std::vector<std::wstring>& Files() const { return files; }
    // In creation order: every folder comes after its parent.
    const std::vector<std::wstring>& Folders() const { return folders; }

    // The CRC-32 of what was written to `path`; nothing for a file this extraction did not write.
    std::optional<uint32_t> CrcOf(const std::wstring& path) const;
    // The names of the files written directly into `folderPath` (with trailing backslash).
    std::vector<std::wstring> FileNamesIn(const std::wstring& folderPath) const;

    // Deletes the recorded files, then each recorded folder that is empty by then,
    // innermost first. Nothing is deleted through a link that has appeared in the
    // extraction folder since. True when nothing recorded is left on disk.
    bool RemoveRecorded() const;

private:
    std::wstring folder;
    std::vector<std::wstring> files;
    // The CRC-32 of the bytes written to each path (its first record).
    std::unordered_map<std::wstring, uint32_t> crcs;
    std::vector<std::wstring> folders;
};
