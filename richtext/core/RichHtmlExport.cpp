#include "RichHtmlExport.h"

#include <cwchar>

#include "RichElement.h"

namespace {

// An attribute value as written. The parser ends a value at the next double quote and a
// tag at the next '>', looks for tags inside tags, takes an '=' before a double quote as
// the start of another value, and line breaks are written as <br> only in text: these are
// written percent-encoded, as URLs have them. Faces and picture paths hold none of them
// unless mark-up from elsewhere put them there.
std::wstring AttributeValue(const std::wstring& value)
{
    std::wstring written;
    for (wchar_t c : value) {
        switch (c) {
        case L'"': written += L"%22"; break;
        case L'<': written += L"%3C"; break;
        case L'>': written += L"%3E"; break;
        case L'\r': written += L"%0D"; break;
        case L'\n': written += L"%0A"; break;
        default: written += c; break;
        }
    }
    if (!written.empty() && written.back() == L'=')
        written.replace(written.size() - 1, 1, L"%3D");
    return written;
}

bool SameRunStyle(const RichElement& a, const RichElement& b, bool selectionOnly)
{
    bool same = a.backgroundColour == b.backgroundColour && a.textColour == b.textColour &&
                a.transparentBackground == b.transparentBackground && a.bold == b.bold &&
                a.strikeout == b.strikeout && a.italic == b.italic && a.underline == b.underline;
    if (!same || selectionOnly)
        return same;
    return a.size == b.size && SameText(a.face, b.face);
}

bool IsCharacter(const std::vector<const RichElement*>& elements, size_t i, wchar_t c)
{
    return i < elements.size() && elements[i]->IsCharacter() && elements[i]->character == c;
}

// A line feed, or a carriage return followed by one; a lone carriage return is not.
bool IsLineBreak(const std::vector<const RichElement*>& elements, size_t i)
{
    return IsCharacter(elements, i, L'\n') || (IsCharacter(elements, i, L'\r') && IsCharacter(elements, i + 1, L'\n'));
}

void WriteImageTag(const RichElement& element, std::wstring& out)
{
    if (element.imagePath.empty())
        return;
    out += L"<img src=\"" + AttributeValue(element.imagePath) + L"\" width=\"" +
           std::to_wstring(element.width) + L"\" height=\"" + std::to_wstring(element.height) +
           L"\"/>";
}

}  // namespace

std::wstring ColourToHex(unsigned long colour)
{
    unsigned long rgb = ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
    wchar_t digits[16];
    std::swprintf(digits, 16, L"%.6lx", rgb);
    return digits;
}

void WriteFontTag(const RichElement& element, std::wstring& out)
{
    out += L"<font color=\"#" + ColourToHex(element.textColour) + L"\"";
    out += L" size=\"" + std::to_wstring(element.size / 10) + L"\"";
    if (element.bold == 1)
        out += L" bold=\"1\"";
    if (element.italic == 1)
        out += L" italic=\"1\"";
    if (element.underline == 1)
        out += L" underline=\"1\"";
    if (element.strikeout == 1)
        out += L" strikeout=\"1\"";
    if (element.face)
        out += L" face=\"" + AttributeValue(*element.face) + L"\"";
    if (element.transparentBackground == 0)
        out += L" style=\"background-color:#" + ColourToHex(element.backgroundColour) + L"\"";
    out += L">";
}

std::wstring ExportElements(const std::vector<RichElement*>& elements, bool selectionOnly)
{
    std::vector<const RichElement*> exported;
    for (const RichElement* element : elements) {
        if (!selectionOnly || element->selected)
            exported.push_back(element);
    }
    std::wstring out;
    const std::wstring* currentLink = nullptr;
    bool linkOpen = false;
    const RichElement* run = nullptr;
    for (size_t i = 0; i < exported.size(); ++i) {
        const RichElement* element = exported[i];
        if (element->link.get() != currentLink) {
            if (linkOpen)
                out += L"</a>";
            linkOpen = false;
            if (element->link) {
                out += L"<a href=\"" + AttributeValue(*element->link) + L"\">";
                linkOpen = true;
            }
            currentLink = element->link.get();
        }
        if (element->IsCharacter()) {
            if (!run) {
                WriteFontTag(*element, out);
                run = element;
            } else if (!SameRunStyle(*run, *element, selectionOnly)) {
                out += L"</font>";
                WriteFontTag(*element, out);
                run = element;
            }
            // A line break is one <br>, whatever the styles of its two halves.
            if (IsLineBreak(exported, i)) {
                out += L"<br>";
                i += element->character == L'\r' ? 1 : 0;
            } else {
                out += element->character;
            }
        } else {
            WriteImageTag(*element, out);
        }
    }
    if (linkOpen)
        out += L"</a>";
    out += L"</font>";
    return out;
}
