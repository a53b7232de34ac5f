#pragma once
#include <optional>
#include <string>

// The switches that carry a value, read the way deployment scripts write them. A script
// quotes a whole argument that holds a space ("/D=C:\Program Files\Tessamo"); a person
// quotes the value (/D="C:\Program Files\Tessamo"). Both are read. A switch starts at a
// blank (or the start of the tail), perhaps behind a double quote, with "/" and a letter,
// or with "update=true".

// The value of "/log=": between the double quotes right after "=", or up to the quote
// that pairs with one right before "/log=", or else up to the next switch or the end,
// blanks around it dropped. Nothing when the switch is missing or its value is empty.
std::optional<std::wstring> LogSwitchValue(const std::wstring& tail);

// What "/D=" asks for. The folder may hold blanks, so it takes the rest of the tail; a
// switch found in there means that /D= did not come last.
struct FolderSwitch {
    std::wstring folder;                     // blanks around it and paired quotes dropped
    std::optional<std::wstring> misplaced;   // the first switch inside the value, "/quiet" say
};

// Nothing when the tail holds no "/D=".
std::optional<FolderSwitch> FolderSwitchValue(const std::wstring& tail);
