#pragma once
#include <string>
#include <vector>

struct RichElement;

struct LinkRun {
    size_t begin = 0;
    size_t end = 0;  // one past the last character
};

// One character per element, a space for each picture, ASCII letters lower-cased.
std::wstring LinkScanText(const std::vector<RichElement*>& elements);

// Runs starting at "http://" or "www." up to a space, a line break, a character above
// 127 or the end. `text` is already lower-cased.
std::vector<LinkRun> FindLinkRuns(const std::wstring& text);
