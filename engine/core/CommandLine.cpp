#include "CommandLine.h"

#include <cwctype>

namespace {

const wchar_t* const Blanks = L" \t";
const std::wstring UpgradeSwitch = L"update=true";

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

// Whether a switch begins at `at`, which follows a blank: "/" and a letter, or
// "update=true", perhaps behind a double quote.
bool SwitchBeginsAt(const std::wstring& text, size_t at)
{
    if (at < text.size() && text[at] == L'"')
        ++at;
    if (text.compare(at, UpgradeSwitch.size(), UpgradeSwitch) == 0)
        return true;
    return at + 1 < text.size() && text[at] == L'/' && std::iswalpha(text[at + 1]);
}

// Where the blanks before the next switch at or after `from` start; npos when none follows.
size_t NextSwitch(const std::wstring& text, size_t from)
{
    for (size_t at = from; at < text.size(); ++at) {
        if (!IsBlank(text[at]))
            continue;
        size_t next = text.find_first_not_of(Blanks, at);
        if (next != std::wstring::npos && SwitchBeginsAt(text, next))
            return at;
        at = next == std::wstring::npos ? text.size() : next - 1;
    }
    return std::wstring::npos;
}

// The switch's name as a user wrote it: "/quiet", "/log=", "update=true".
std::wstring SwitchName(const std::wstring& text, size_t at)
{
    at = text.find_first_not_of(L" \t\"", at);
    if (text.compare(at, UpgradeSwitch.size(), UpgradeSwitch) == 0)
        return UpgradeSwitch;
    size_t end = at + 1;
    while (end < text.size() && std::iswalpha(text[end]))
        ++end;
    if (end < text.size() && text[end] == L'=')
        ++end;
    return text.substr(at, end - at);
}

std::wstring Trimmed(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(Blanks);
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// A value quoted whole loses its quotes.
std::wstring Unquoted(const std::wstring& text)
{
    if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"')
        return text.substr(1, text.size() - 2);
    return text;
}

// Whether a double quote stands right before the switch at `at`, at the start of an argument.
bool QuotedWhole(const std::wstring& tail, size_t at)
{
    return at > 0 && tail[at - 1] == L'"' && (at == 1 || IsBlank(tail[at - 2]));
}

} // namespace

std::optional<std::wstring> LogSwitchValue(const std::wstring& tail)
{
    const std::wstring name = L"/log=";
    const size_t at = tail.find(name);
    if (at == std::wstring::npos)
        return std::nullopt;
    const size_t start = at + name.size();
    std::wstring value;
    if (start < tail.size() && tail[start] == L'"') {
        value = tail.substr(start + 1, tail.find(L'"', start + 1) - start - 1);
    } else if (QuotedWhole(tail, at)) {
        value = tail.substr(start, tail.find(L'"', start) - start);
    } else {
        const size_t end = NextSwitch(tail, start);
        value = Trimmed(tail.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
    }
    if (value.empty())
        return std::nullopt;
    return value;
}

std::optional<FolderSwitch> FolderSwitchValue(const std::wstring& tail)
{
    const std::wstring name = L"/D=";
    const size_t at = tail.find(name);
    if (at == std::wstring::npos)
        return std::nullopt;
    std::wstring value = Trimmed(tail.substr(at + name.size()));
    // "/D=C:\A B" quoted whole ends with the quote that pairs with the one before it.
    if (QuotedWhole(tail, at) && !value.empty() && value.back() == L'"')
        value.pop_back();
    FolderSwitch folder;
    const size_t misplaced = NextSwitch(value, 0);
    if (misplaced != std::wstring::npos)
        folder.misplaced = SwitchName(value, misplaced);
    folder.folder = Trimmed(Unquoted(value));
    return folder;
}
