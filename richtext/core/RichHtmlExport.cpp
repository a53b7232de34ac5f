#include "RichHtmlExport.h"

#include <cwchar>

#include "RichElement.h"

namespace {

void ReplaceAll(std::wstring& text, const std::wstring& from, const std::wstring& to)
{
    std::wstring result;
    result.reserve(text.size());
    size_t position = 0;
    for (;;) {
        size_t found = text.find(from, position);
        if (found == std::wstring::npos)
            break;
        result.append(text, position, found - position);
        result += to;
        position = found + from.size();
    }
    result.append(text, position, std::wstring::npos);
    text.swap(result);
}

// An attribute value as written. The parser ends a value at the next double quote and a
// tag at the next '>', looks for tags inside tags, takes an '=' before a double quote as
// the start of another value, and line feeds become <br> after the export: these are
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
    std::wstring out;
    const std::wstring* currentLink = nullptr;
    bool linkOpen = false;
    const RichElement* run = nullptr;
    for (const RichElement* element : elements) {
        if (selectionOnly && !element->selected)
            continue;
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
            out += element->character;
        } else {
            WriteImageTag(*element, out);
        }
    }
    if (linkOpen)
        out += L"</a>";
    out += L"</font>";
    ReplaceAll(out, L"\r\n", L"<br>");
    ReplaceAll(out, L"\n", L"<br>");
    return out;
}
