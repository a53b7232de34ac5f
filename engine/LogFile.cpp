#include "LogFile.h"

#include <cstdio>

#include "Encoding.h"
#include "InstallFolder.h"
#include "InstallPath.h"

namespace {

const std::string ByteOrderMark = "\xEF\xBB\xBF";
// "hh:mm:ss.mmm" and two spaces.
constexpr size_t StampLength = 14;

bool CreateFolders(const std::wstring& folder)
{
    for (const std::wstring& prefix : FolderChain(folder)) {
        if (::GetFileAttributesW(prefix.c_str()) == INVALID_FILE_ATTRIBUTES && !::CreateDirectoryW(prefix.c_str(), nullptr))
            return false;
    }
    return true;
}

// Whether `file`, read from its start, is empty or begins as a log of `owner` does.
bool EmptyOrOurs(HANDLE file, const LogOwner& owner)
{
    const std::string title = EncodeUtf8(owner.title);
    std::string start(ByteOrderMark.size() + StampLength + title.size(), '\0');
    DWORD read = 0;
    if (!::ReadFile(file, start.data(), static_cast<DWORD>(start.size()), &read, nullptr))
        return false;
    if (read == 0)
        return true;
    return read == start.size() && start.compare(0, ByteOrderMark.size(), ByteOrderMark) == 0 &&
           start[ByteOrderMark.size() + 2] == ':' && start.compare(start.size() - title.size() - 2, 2, "  ") == 0 &&
           start.compare(start.size() - title.size(), title.size(), title) == 0;
}

// Opens `path` emptied, after its byte-order mark; on failure, why.
std::wstring OpenAsOurs(const std::wstring& path, const LogOwner& owner, FileHandle& file)
{
    if (!CreateFolders(path.substr(0, path.rfind(L'\\'))))
        return L"its folder cannot be created";
    // Readable while it is written: an administrator may follow it.
    file = FileHandle(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen())
        return L"it cannot be opened, error " + std::to_wstring(::GetLastError());
    if (!EmptyOrOurs(file.Get(), owner)) {
        file.Close();
        return L"it is not a log of " + owner.title;
    }
    LARGE_INTEGER start{};
    DWORD written = 0;
    if (!::SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN) || !::SetEndOfFile(file.Get()) ||
        !::WriteFile(file.Get(), ByteOrderMark.data(), static_cast<DWORD>(ByteOrderMark.size()), &written, nullptr)) {
        file.Close();
        return L"it cannot be written, error " + std::to_wstring(::GetLastError());
    }
    return {};
}

std::wstring TemporaryFolder()
{
    wchar_t folder[MAX_PATH + 1] = {};
    return std::wstring(folder, ::GetTempPathW(MAX_PATH + 1, folder));
}

std::wstring AgainstFolder(const std::wstring& folder, const std::wstring& path)
{
    if (StartsWithDriveRoot(path) || path.compare(0, 2, L"\\\\") == 0)
        return path;
    if (!path.empty() && path[0] == L'\\')
        return folder.substr(0, 2) + path;
    return folder + path;
}

} // namespace

std::string FormatLogLine(const SYSTEMTIME& time, const std::wstring& text)
{
    char stamp[16] = {};
    std::snprintf(stamp, sizeof stamp, "%02u:%02u:%02u.%03u  ", time.wHour, time.wMinute, time.wSecond,
                  time.wMilliseconds);
    std::wstring shown;
    for (wchar_t c : text) {
        if (c < 0x20) {
            wchar_t code[5] = {};
            std::swprintf(code, 5, L"[%02X]", static_cast<unsigned>(c));
            shown += code;
        } else {
            shown += c;
        }
    }
    return stamp + EncodeUtf8(shown) + "\r\n";
}

OpenedLog OpenLogFile(const std::wstring& requested, const std::wstring& programFolder, const LogOwner& owner)
{
    OpenedLog log;
    log.path = FullPathName(AgainstFolder(programFolder, requested));
    const std::wstring why = OpenAsOurs(log.path, owner, log.file);
    if (why.empty())
        return log;
    log.whyElsewhere = L"the log " + log.path + L" cannot be written: " + why;
    log.path = TemporaryFolder() + owner.fallbackName;
    if (!OpenAsOurs(log.path, owner, log.file).empty())
        return log;
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    const std::string first = FormatLogLine(now, owner.title + L": " + log.whyElsewhere + L"; this log is written instead");
    DWORD written = 0;
    ::WriteFile(log.file.Get(), first.data(), static_cast<DWORD>(first.size()), &written, nullptr);
    return log;
}
