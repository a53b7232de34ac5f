#include "RichLinks.h"

#include <algorithm>

#include "RichElement.h"

std::wstring LinkScanText(const std::vector<RichElement*>& elements)
{
    std::wstring text;
    text.reserve(elements.size());
    for (const RichElement* element : elements) {
        wchar_t c = element->IsCharacter() ? element->character : L' ';
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        text += c;
    }
    return text;
}

std::vector<LinkRun> FindLinkRuns(const std::wstring& text)
{
    std::vector<LinkRun> runs;
    size_t position = 0;
    for (;;) {
        size_t begin = std::min(text.find(L"http://", position), text.find(L"www.", position));
        if (begin == std::wstring::npos)
            break;
        size_t end = begin;
        while (end < text.size()) {
            wchar_t c = text[end];
            if (c == L' ' || c == L'\r' || c == L'\n' || c > 127)
                break;
            ++end;
        }
        runs.push_back({begin, end});
        position = end;
    }
    return runs;
}
