#include "TemporaryCopy.h"

#include <cstdint>

#include "FileHandle.h"

namespace {

constexpr DWORD OriginalExitTimeout = 10000;

// The copy's exit code when it ended without handing one over.
int ExitCodeOf(HANDLE process)
{
    ::WaitForSingleObject(process, INFINITE);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process, &exitCode);
    return static_cast<int>(exitCode);
}

// Four bytes from the copy; nothing when the pipe closed first (the copy ended early).
std::optional<int> ReadReport(HANDLE pipe)
{
    int32_t exitCode = 0;
    DWORD read = 0;
    if (!::ReadFile(pipe, &exitCode, sizeof exitCode, &read, nullptr) || read != sizeof exitCode)
        return std::nullopt;
    return exitCode;
}

} // namespace

std::optional<int> RunTemporaryCopy(const std::wstring& program, const std::wstring& installDir,
                                    const std::wstring& switches, bool waitForOutcome)
{
    wchar_t tempFolder[MAX_PATH + 1] = {};
    if (!::GetTempPathW(MAX_PATH + 1, tempFolder))
        return std::nullopt;
    const std::wstring copy = std::wstring(tempFolder) + L"Tessamo-uninstall-" +
                              std::to_wstring(::GetCurrentProcessId()) + L".exe";
    if (!::CopyFileW(program.c_str(), copy.c_str(), FALSE))
        return std::nullopt;

    // Only the pipe's writing end goes to the copy.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE reading = nullptr, writing = nullptr;
    if (!::CreatePipe(&reading, &writing, &inheritable, 0)) {
        ::DeleteFileW(copy.c_str());
        return std::nullopt;
    }
    FileHandle report(reading), copyEnd(writing);
    ::SetHandleInformation(reading, HANDLE_FLAG_INHERIT, 0);

    // The folder goes without its trailing backslash, which would escape the quote.
    std::wstring commandLine = L"\"" + copy + L"\" \"/dir=" + installDir.substr(0, installDir.size() - 1) +
                               L"\" /wait=" + std::to_wstring(::GetCurrentProcessId()) + L" /result=" +
                               std::to_wstring(reinterpret_cast<uintptr_t>(writing)) + L" " + switches;
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, tempFolder,
                          &startup, &process)) {
        ::DeleteFileW(copy.c_str());
        return std::nullopt;
    }
    ::CloseHandle(process.hThread);
    // Closed here, so that reading ends when the copy ends.
    copyEnd.Close();
    if (!waitForOutcome) {
        ::CloseHandle(process.hProcess);
        return 0;
    }
    const std::optional<int> reported = ReadReport(report.Get());
    const int exitCode = reported ? *reported : ExitCodeOf(process.hProcess);
    ::CloseHandle(process.hProcess);
    return exitCode;
}

void ReportToOriginal(HANDLE resultPipe, int exitCode)
{
    if (!resultPipe)
        return;
    const int32_t code = exitCode;
    DWORD written = 0;
    ::WriteFile(resultPipe, &code, sizeof code, &written, nullptr);
    ::CloseHandle(resultPipe);
}

void WaitForOriginal(DWORD processId)
{
    HANDLE original = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!original)
        return;
    ::WaitForSingleObject(original, OriginalExitTimeout);
    ::CloseHandle(original);
}
