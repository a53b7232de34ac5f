#include "RichHtmlImport.h"

#include "HtmlParser.h"

namespace {

constexpr int SmallestImportedSize = 50;

int HexDigit(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// A flag attribute counts only when it is exactly "1".
int ReadFlag(const CHtmlTag& tag, const wchar_t* name)
{
    const std::wstring* value = tag.GetAttribute(name);
    return value && *value == L"1" ? 1 : 0;
}

struct FontTagStyle {
    std::uint32_t colour = 0;
    std::uint32_t background = 0;
    int size = 90;
    int bold = 0;
    int underline = 0;
    int italic = 0;
    int strikeout = 0;
    std::wstring face;
};

FontTagStyle ReadFontTag(const CHtmlTag& tag, const ImportDefaults& defaults)
{
    FontTagStyle style;
    style.colour = defaults.colour;
    style.size = defaults.size;
    if (const std::wstring* colour = tag.GetAttribute(L"color")) {
        // The first character is the '#'.
        style.colour = colour->empty() ? 0 : HexToColour(colour->substr(1));
    }
    if (const std::wstring* css = tag.GetAttribute(L"style")) {
        const std::wstring marker = L"background-color:#";
        size_t found = css->find(marker);
        if (found != std::wstring::npos)
            style.background = 0xFF000000 | HexToColour(css->substr(found + marker.size()));
    }
    if (const std::wstring* size = tag.GetAttribute(L"size")) {
        long long tenths = static_cast<long long>(ParseLeadingDecimal(*size)) * 10;
        style.size = tenths < 49 ? SmallestImportedSize
                                 : static_cast<int>(tenths > 0x7FFFFFFF ? 0x7FFFFFFF : tenths);
    }
    if (const std::wstring* face = tag.GetAttribute(L"face"))
        style.face = *face;
    style.bold = ReadFlag(tag, L"bold");
    style.underline = ReadFlag(tag, L"underline");
    style.italic = ReadFlag(tag, L"italic");
    style.strikeout = ReadFlag(tag, L"strikeout");
    return style;
}

void ApplyFontTag(const CHtmlParser& parser, const CHtmlTag& tag, const ImportDefaults& defaults)
{
    FontTagStyle style = ReadFontTag(tag, defaults);
    const auto& objects = parser.GetObjects();
    for (int i = tag.start; i >= 0 && i < tag.end && i < static_cast<int>(objects.size()); ++i) {
        if (!CHtmlParser::IsText(*objects[i]))
            continue;
        auto& text = static_cast<CHtmlText&>(*objects[i]);
        text.SetColour(style.colour);
        text.SetBackground(style.background);
        text.SetSize(style.size);
        text.SetFace(style.face);
        text.SetBold(style.bold);
        text.SetUnderline(style.underline);
        text.SetItalic(style.italic);
        text.SetStrikeout(style.strikeout);
    }
}

void ApplyLinkTag(const CHtmlParser& parser, const CHtmlTag& tag)
{
    const std::wstring* href = tag.GetAttribute(L"href");
    if (!href)
        return;
    const auto& objects = parser.GetObjects();
    for (int i = tag.start; i >= 0 && i < tag.end && i < static_cast<int>(objects.size()); ++i) {
        if (CHtmlParser::IsText(*objects[i]))
            static_cast<CHtmlText&>(*objects[i]).SetLink(*href);
        else if (CHtmlParser::IsImage(*objects[i]))
            static_cast<CHtmlImage&>(*objects[i]).SetLink(*href);
    }
}

}  // namespace

std::uint32_t HexToColour(const std::wstring& digits)
{
    std::uint32_t rgb = 0;
    for (wchar_t c : digits) {
        int digit = HexDigit(c);
        if (digit < 0)
            break;
        rgb = (rgb << 4) | static_cast<std::uint32_t>(digit);
    }
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

void ApplyImportTags(const CHtmlParser& parser, const ImportDefaults& defaults)
{
    for (const auto& tag : parser.GetTags()) {
        if (tag->HasName(L"font"))
            ApplyFontTag(parser, *tag, defaults);
        else if (tag->HasName(L"a"))
            ApplyLinkTag(parser, *tag);
    }
}

std::wstring MarkupPlainText(const std::wstring& markup)
{
    CHtmlParser parser;
    parser.Parse(markup);
    if (parser.GetObjects().empty())
        return markup;
    std::wstring text;
    for (const auto& object : parser.GetObjects()) {
        if (CHtmlParser::IsText(*object))
            text += static_cast<const CHtmlText&>(*object).GetText();
    }
    return text;
}
