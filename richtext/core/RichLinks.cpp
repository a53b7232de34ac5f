#include "RichLinks.h"

#include <algorithm>

#include "RichElement.h"

namespace {

wchar_t ScanCharacter(const RichElement& element)
{
    wchar_t c = element.IsCharacter() ? element.character : L' ';
    if (c >= L'A' && c <= L'Z')
        c = static_cast<wchar_t>(c - L'A' + L'a');
    return c;
}

bool StartsLink(const std::wstring& text, size_t at)
{
    return text.compare(at, 7, L"http://") == 0 || text.compare(at, 4, L"www.") == 0;
}

}  // namespace

bool EndsLink(wchar_t lowerCased)
{
    return lowerCased == L' ' || lowerCased == L'\r' || lowerCased == L'\n' || lowerCased > 127;
}

bool EndsLink(const RichElement& element)
{
    return EndsLink(ScanCharacter(element));
}

std::wstring LinkScanText(const std::vector<RichElement*>& elements, size_t first, size_t last)
{
    std::wstring text;
    text.reserve(last - first);
    for (size_t i = first; i < last; ++i)
        text += ScanCharacter(*elements[i]);
    return text;
}

std::vector<LinkRun> FindLinkRuns(const std::wstring& text)
{
    std::vector<LinkRun> runs;
    size_t stretch = 0;
    while (stretch < text.size()) {
        size_t end = stretch;
        size_t begin = std::wstring::npos;
        for (; end < text.size() && !EndsLink(text[end]); ++end) {
            if (begin == std::wstring::npos && StartsLink(text, end))
                begin = end;
        }
        if (begin != std::wstring::npos)
            runs.push_back({begin, end});
        stretch = end + 1;
    }
    return runs;
}

void CAutoLinks::Update(const std::vector<RichElement*>& elements, bool masked)
{
    if (masked || !scannedValid) {
        Rescan(elements, masked);
        return;
    }
    // What lies between the common beginning and the common end changed.
    const size_t common = std::min(elements.size(), scanned.size());
    const size_t prefix = static_cast<size_t>(
        std::mismatch(elements.begin(), elements.begin() + common, scanned.begin()).first -
        elements.begin());
    const size_t suffix = static_cast<size_t>(
        std::mismatch(elements.rbegin(), elements.rbegin() + (common - prefix), scanned.rbegin())
            .first -
        elements.rbegin());
    for (size_t i = prefix; i < scanned.size() - suffix; ++i)
        Unlink(scanned[i]);

    // Widened to the link-ending elements around the change: a run ends at one.
    size_t first = prefix;
    while (first > 0 && !EndsLink(*elements[first - 1]))
        --first;
    size_t last = elements.size() - suffix;
    while (last < elements.size() && !EndsLink(*elements[last]))
        ++last;
    Relink(elements, first, last);

    // A style toggle may have taken the underline from a link the scan did not reach.
    for (RichElement* element : linked)
        element->underline = 1;
    Remember(elements);
}

void CAutoLinks::Rescan(const std::vector<RichElement*>& elements, bool masked)
{
    UnlinkAll();
    // Masked text is a password: nothing in it may show through as a link.
    if (masked) {
        Forget();
        return;
    }
    Relink(elements, 0, elements.size());
    Remember(elements);
}

void CAutoLinks::Forget()
{
    linked.clear();
    scanned.clear();
    scannedValid = false;
}

void CAutoLinks::Unlink(RichElement* element)
{
    if (linked.erase(element) == 0)
        return;
    element->link.reset();
    element->underline = 0;
}

void CAutoLinks::UnlinkAll()
{
    for (RichElement* element : linked) {
        element->link.reset();
        element->underline = 0;
    }
    linked.clear();
}

void CAutoLinks::Relink(const std::vector<RichElement*>& elements, size_t first, size_t last)
{
    for (size_t i = first; i < last; ++i)
        Unlink(elements[i]);
    const std::wstring text = LinkScanText(elements, first, last);
    for (const LinkRun& run : FindLinkRuns(text)) {
        SharedString link = MakeSharedString(text.substr(run.begin, run.end - run.begin));
        for (size_t i = first + run.begin; i < first + run.end; ++i) {
            elements[i]->link = link;
            elements[i]->underline = 1;
            linked.insert(elements[i]);
        }
    }
}

void CAutoLinks::Remember(const std::vector<RichElement*>& elements)
{
    scanned = elements;
    scannedValid = true;
}
