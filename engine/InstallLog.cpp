#include "InstallLog.h"

bool InstallLog::Open(const std::wstring& path, const std::wstring& programFolder)
{
    std::lock_guard<std::mutex> guard(writing);
    file.Close(); // first, so that the same path may be opened again
    file = std::move(OpenLogFile(path, programFolder, owner).file);
    return IsOpen();
}

void InstallLog::Write(const std::wstring& line)
{
    std::lock_guard<std::mutex> guard(writing);
    if (!IsOpen())
        return;
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    const std::string bytes = FormatLogLine(now, line);
    DWORD written = 0;
    ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
