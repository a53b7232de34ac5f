#include "Switches.h"

#include <shellapi.h>

#include <cwchar>

#include "CommandLine.h"

namespace {

// The text after `prefix` when `argument` starts with it.
std::optional<std::wstring> ValueOf(const std::wstring& argument, const wchar_t* prefix)
{
    const size_t length = std::wcslen(prefix);
    if (argument.compare(0, length, prefix) != 0)
        return std::nullopt;
    return argument.substr(length);
}

} // namespace

UninstallSwitches ParseUninstallSwitches(const std::wstring& commandTail)
{
    UninstallSwitches switches;
    // As the installer reads it: a script's quotes, or a folder with blanks up to the next switch.
    switches.logFile = LogSwitchValue(commandTail);
    int count = 0;
    // The system splits a tail only behind a program's name.
    wchar_t** arguments = ::CommandLineToArgvW((L"uninstall " + commandTail).c_str(), &count);
    if (!arguments)
        return switches;
    for (int i = 1; i < count; ++i) {
        const std::wstring argument = arguments[i];
        if (argument == L"/quiet")
            switches.quiet = true;
        else if (argument == L"/removedata")
            switches.removeData = true;
        else if (auto dir = ValueOf(argument, L"/dir="))
            switches.installDir = *dir;
        else if (auto process = ValueOf(argument, L"/wait="))
            switches.originalProcessId = std::wcstoul(process->c_str(), nullptr, 10);
        else if (auto pipe = ValueOf(argument, L"/result="))
            switches.resultPipe = reinterpret_cast<HANDLE>(std::wcstoull(pipe->c_str(), nullptr, 10));
    }
    ::LocalFree(arguments);
    if (!switches.installDir.empty() && switches.installDir.back() != L'\\')
        switches.installDir.push_back(L'\\');
    return switches;
}
