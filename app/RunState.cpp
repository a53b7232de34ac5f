#include "RunState.h"

#include <cwchar>

int UpgradeMode = 0;
int AutoMode = 0;
int PreviousInstallFound = 0;
std::wstring PreviousInstallDir;
CMainDlg* MainWindow = nullptr;

namespace {

const wchar_t* const Blanks = L" \t";

bool Contains(const std::wstring& tail, const wchar_t* text)
{
    return tail.find(text) != std::wstring::npos;
}

std::wstring Trimmed(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(Blanks);
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// A value quoted whole, as a folder with spaces often is, loses its quotes.
std::wstring Unquoted(const std::wstring& text)
{
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"')
        return text.substr(1, text.size() - 2);
    return text;
}

// The value after `name`: between double quotes when one follows, else up to the next
// blank. Nothing when the switch is missing or its value empty.
std::optional<std::wstring> WordAfter(const std::wstring& tail, const wchar_t* name)
{
    size_t start = tail.find(name);
    if (start == std::wstring::npos)
        return std::nullopt;
    start += std::wcslen(name);
    size_t end = std::wstring::npos;
    if (start < tail.size() && tail[start] == L'"')
        end = tail.find(L'"', ++start);
    else
        end = tail.find_first_of(Blanks, start);
    std::wstring value = tail.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
    if (value.empty())
        return std::nullopt;
    return value;
}

} // namespace

RunSwitches ParseRunSwitches(const wchar_t* commandTail)
{
    RunSwitches switches;
    if (!commandTail)
        return switches;
    const std::wstring tail(commandTail);
    switches.upgrade = Contains(tail, L"update=true");
    switches.automatic = Contains(tail, L"/s");
    switches.quiet = Contains(tail, L"/quiet");
    switches.logFile = WordAfter(tail, L"/log=");
    const size_t folder = tail.find(L"/D=");
    if (folder != std::wstring::npos)
        switches.installDir = Unquoted(Trimmed(tail.substr(folder + 3)));
    return switches;
}
