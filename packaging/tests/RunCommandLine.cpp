// Starts the command line written in a UTF-8 file, exactly as it stands there, waits for
// the program and ends with its exit code: how a package manager starts an installer.
// Usage: RunCommandLine <file>.
#include <windows.h>

#include <string>

#include "FileHandle.h"

namespace {

std::string ReadFileBytes(const wchar_t* path)
{
    FileHandle file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (file.IsOpen() && ::ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

std::wstring FromUtf8(const std::string& bytes)
{
    std::wstring text(bytes.size(), L'\0');
    text.resize(::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                      static_cast<int>(text.size())));
    return text;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
        return 255;
    std::wstring commandLine = FromUtf8(ReadFileBytes(argv[1]));
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (commandLine.empty() || !::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                                 nullptr, &startup, &process))
        return 254;
    ::CloseHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 253;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(exitCode);
}
