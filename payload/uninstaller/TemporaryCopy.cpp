#include "TemporaryCopy.h"

#include <shellapi.h>

namespace {

constexpr wchar_t DirArgument[] = L"/dir=";
constexpr wchar_t WaitArgument[] = L"/wait=";
constexpr DWORD OriginalExitTimeout = 10000;

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, wcslen(prefix), prefix) == 0;
}

} // namespace

HandOver ParseHandOver(const wchar_t* commandLine)
{
    HandOver handOver;
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(commandLine, &count);
    if (!arguments)
        return handOver;
    for (int i = 1; i < count; ++i) {
        const std::wstring argument = arguments[i];
        if (StartsWith(argument, DirArgument))
            handOver.installDir = argument.substr(wcslen(DirArgument));
        else if (StartsWith(argument, WaitArgument))
            handOver.originalProcessId = wcstoul(argument.c_str() + wcslen(WaitArgument), nullptr, 10);
    }
    ::LocalFree(arguments);
    if (!handOver.installDir.empty() && handOver.installDir.back() != L'\\')
        handOver.installDir.push_back(L'\\');
    return handOver;
}

bool StartTemporaryCopy(const std::wstring& program, const std::wstring& installDir)
{
    wchar_t tempFolder[MAX_PATH + 1] = {};
    if (!::GetTempPathW(MAX_PATH + 1, tempFolder))
        return false;
    const std::wstring copy = std::wstring(tempFolder) + L"Tessamo-uninstall-" +
                              std::to_wstring(::GetCurrentProcessId()) + L".exe";
    if (!::CopyFileW(program.c_str(), copy.c_str(), FALSE))
        return false;

    // The folder goes without its trailing backslash, which would escape the quote.
    std::wstring commandLine = L"\"" + copy + L"\" \"" + DirArgument +
                               installDir.substr(0, installDir.size() - 1) + L"\" " + WaitArgument +
                               std::to_wstring(::GetCurrentProcessId());
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          tempFolder, &startup, &process)) {
        ::DeleteFileW(copy.c_str());
        return false;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

void WaitForOriginal(DWORD processId)
{
    HANDLE original = ::OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!original)
        return;
    ::WaitForSingleObject(original, OriginalExitTimeout);
    ::CloseHandle(original);
}
