#include "ExtractionRecord.h"

#include <windows.h>

#include "DirectoryTree.h"

namespace {

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

void ExtractionRecord::AddFile(const std::wstring& path, uint32_t crc)
{
    files.push_back(path);
    crcs.emplace(path, crc);
}

void ExtractionRecord::AddFolder(const std::wstring& path)
{
    folders.push_back(path);
}

std::optional<uint32_t> ExtractionRecord::CrcOf(const std::wstring& path) const
{
    const auto found = crcs.find(path);
    return found == crcs.end() ? std::nullopt : std::optional<uint32_t>(found->second);
}

std::vector<std::wstring> ExtractionRecord::FileNamesIn(const std::wstring& folderPath) const
{
    std::vector<std::wstring> names;
    for (const std::wstring& file : files) {
        if (file.compare(0, folderPath.size(), folderPath) == 0 &&
            file.find(L'\\', folderPath.size()) == std::wstring::npos)
            names.push_back(file.substr(folderPath.size()));
    }
    return names;
}

bool ExtractionRecord::RemoveRecorded() const
{
    bool allGone = true;
    for (const std::wstring& file : files) {
        if (HasLinkOnTheWay(folder, file) || (!::DeleteFileW(file.c_str()) && Exists(file)))
            allGone = false;
    }
    // A folder that still holds something not ours stays, and so do its parents. A link
    // in a folder's place goes as a link: removing it never touches what it points to.
    for (auto path = folders.rbegin(); path != folders.rend(); ++path) {
        if (!::RemoveDirectoryW(path->c_str()) && Exists(*path))
            allGone = false;
    }
    return allGone;
}
