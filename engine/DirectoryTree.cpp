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

} // namespace

bool DeleteDirectoryTree(const std::wstring& path)
{
    WIN32_FIND_DATAW found;
    {
        FindHandle search(::FindFirstFileW((path + L"\\*").c_str(), &found));
        if (search.Valid()) {
            do {
                if (IsDotEntry(found.cFileName))
                    continue;
                const std::wstring child = path + L"\\" + found.cFileName;
                const DWORD attributes = found.dwFileAttributes;
                if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                    // A linked folder is removed as a link: what it points to is not ours.
                    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                        ::RemoveDirectoryW(child.c_str());
                    else
                        DeleteDirectoryTree(child);
                } else {
                    ::DeleteFileW(child.c_str());
                }
            } while (::FindNextFileW(search.Get(), &found));
        }
    }
    return ::RemoveDirectoryW(path.c_str()) != FALSE;
}
