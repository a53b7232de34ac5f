#include "DirectoryTree.h"

#include <windows.h>

namespace {

class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle(handle) {}
    ~FindHandle()
    {
        if (handle != INVALID_HANDLE_VALUE)
            ::FindClose(handle);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool Valid() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle; }

private:
    HANDLE handle;
};

bool IsDotEntry(const wchar_t* name)
{
    return (name[0] == L'.' && name[1] == 0) || (name[0] == L'.' && name[1] == L'.' && name[2] == 0);
}

bool IsLink(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

} // namespace

bool DeleteDirectoryTree(const std::wstring& path)
{
    if (IsLink(path))
        return ::RemoveDirectoryW(path.c_str()) != FALSE;
    WIN32_FIND_DATAW found;
    {
        FindHandle search(::FindFirstFileW((path + L"\\*").c_str(), &found));
        if (search.Valid()) {
            do {
                if (IsDotEntry(found.cFileName))
                    continue;
                const std::wstring child = path + L"\\" + found.cFileName;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    DeleteDirectoryTree(child);
                } else {
                    ::DeleteFileW(child.c_str());
                }
            } while (::FindNextFileW(search.Get(), &found));
        }
    }
    return ::RemoveDirectoryW(path.c_str()) != FALSE;
}

bool HasLinkOnTheWay(const std::wstring& root, const std::wstring& path)
{
    if (IsLink(root))
        return true;
    for (size_t at = path.find(L'\\', root.size() + 1); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
        if (IsLink(path.substr(0, at)))
            return true;
    }
    return path.size() > root.size() && IsLink(path);
}
