#include "InstallLog.h"

#include <cstdio>

#include "Encoding.h"

bool InstallLog::Open(const std::wstring& path)
{
    std::lock_guard<std::mutex> guard(writing);
    file.Close(); // first, so that the same path may be opened again
    // Readable while it is written: an administrator may follow it.
    file = FileHandle(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!IsOpen())
        return false;
    const char byteOrderMark[] = "\xEF\xBB\xBF";
    DWORD written = 0;
    ::WriteFile(file.Get(), byteOrderMark, 3, &written, nullptr);
    return true;
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
