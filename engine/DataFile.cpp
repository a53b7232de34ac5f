#include "DataFile.h"

#include <windows.h>

#include "FileHandle.h"

namespace {

bool WriteAll(HANDLE file, const std::string& bytes)
{
    DWORD written = 0;
    return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

} // namespace

std::optional<std::string> ReadFileBytes(const std::wstring& path)
{
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen())
        return std::nullopt;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return std::nullopt;
    bytes.resize(read);
    return bytes;
}

bool WriteFlushedFile(const std::wstring& path, const std::string& bytes)
{
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    if (!file.IsOpen())
        return false;
    const bool written = WriteAll(file.Get(), bytes) && ::FlushFileBuffers(file.Get());
    const DWORD reason = ::GetLastError();
    const bool closed = file.Close();
    if (!written)
        ::SetLastError(reason);
    return written && closed;
}

bool ReplaceFileBytes(const std::wstring& path, const std::string& bytes)
{
    std::wstring temporary = path + L".new-" + std::to_wstring(::GetCurrentProcessId());
    if (!WriteFlushedFile(temporary, bytes) ||
        !::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}
