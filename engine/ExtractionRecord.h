#pragma once
#include <string>
#include <vector>

// What one extraction put on disk: the files it wrote and the folders it created, so
// that the clean-up removes exactly those. The extraction folder sits beside the
// installer (in Downloads, say) and may already hold the user's own files.
class ExtractionRecord {
public:
    void AddFile(const std::wstring& path);
    void AddFolder(const std::wstring& path);

    const std::vector<std::wstring>& Files() const { return files; }
    // In creation order: every folder comes after its parent.
    const std::vector<std::wstring>& Folders() const { return folders; }

    // Deletes the recorded files, then each recorded folder that is empty by then,
    // innermost first. True when nothing recorded is left on disk.
    bool RemoveRecorded() const;

private:
    std::vector<std::wstring> files;
    std::vector<std::wstring> folders;
};
