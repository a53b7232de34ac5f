#include "ExtractionRecord.h"

#include <windows.h>

void ExtractionRecord::AddFile(const std::wstring& path)
{
    files.push_back(path);
}

void ExtractionRecord::AddFolder(const std::wstring& path)
{
    folders.push_back(path);
}

bool ExtractionRecord::RemoveRecorded() const
{
    bool allGone = true;
    for (const std::wstring& file : files) {
        if (!::DeleteFileW(file.c_str()) && ::GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES)
            allGone = false;
    }
    // A folder that still holds something not ours stays, and so do its parents.
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder) {
        if (!::RemoveDirectoryW(folder->c_str()) &&
            ::GetFileAttributesW(folder->c_str()) != INVALID_FILE_ATTRIBUTES)
            allGone = false;
    }
    return allGone;
}
