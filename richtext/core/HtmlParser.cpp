#include "HtmlParser.h"

#include <climits>

namespace {

constexpr size_t MaxTagNameLength = 18;

bool IsNameStart(wchar_t c)
{
    // 'A'..'z': the letters and the six punctuation marks between them.
    return c >= 65 && c <= 122;
}

}  // namespace

int ParseLeadingDecimal(const std::wstring& text)
{
    long long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            break;
        value = value * 10 + (c - L'0');
        if (value > INT_MAX)
            return INT_MAX;
    }
    return static_cast<int>(value);
}

const std::wstring* CHtmlTag::GetAttribute(const std::wstring& attributeName) const
{
    for (int slot = 0; slot < MaxAttributes; ++slot) {
        if (slot < attributeCount && names[slot] == attributeName)
            return &values[slot];
    }
    return nullptr;
}

bool CHtmlParser::IsText(const CHtmlObject& object)
{
    return std::wstring(object.GetTypeName()) == L"HtmlText";
}

bool CHtmlParser::IsImage(const CHtmlObject& object)
{
    return std::wstring(object.GetTypeName()) == L"HtmlImage";
}

bool CHtmlParser::IsRecognisedName(size_t begin, size_t end) const
{
    return recognisedTags.find(input.substr(begin, end - begin)) != std::wstring::npos;
}

bool CHtmlParser::ScanTag(size_t open, TagSpan& span) const
{
    span.open = open;
    if (open + 1 >= input.size())
        return false;
    size_t close = input.find(L'>', open + 1);
    if (close == std::wstring::npos)
        return false;
    span.close = close;

    wchar_t first = input[open + 1];
    if (IsNameStart(first)) {
        size_t nameEnd = close;
        size_t space = input.find(L' ', open + 1);
        if (space != std::wstring::npos && space < close)
            nameEnd = space;
        else if (input[close - 1] == L'/')
            nameEnd = close - 1;
        size_t length = nameEnd - (open + 1);
        if (length >= 1 && length <= MaxTagNameLength && IsRecognisedName(open + 1, nameEnd)) {
            span.nameBegin = open + 1;
            span.nameEnd = nameEnd;
            span.closing = false;
            return true;
        }
    }

    if (first != L'/')
        return false;
    for (size_t i = open + 2; i < close; ++i) {
        if (!IsNameStart(input[i]))
            return false;
    }
    if (!IsRecognisedName(open + 2, close))
        return false;
    span.nameBegin = open + 2;
    span.nameEnd = close;
    span.closing = true;
    return true;
}

std::unique_ptr<CHtmlTag> CHtmlParser::ReadOpeningTag(const TagSpan& span) const
{
    auto tag = std::make_unique<CHtmlTag>();
    tag->selfClosing = input[span.close - 1] == L'/';
    tag->name = input.substr(span.nameBegin, span.nameEnd - span.nameBegin);

    // A value is found by its quotes alone, so spaces inside a value start further,
    // meaningless name/value pairs; they only take slots.
    size_t space = input.find(L' ', span.open);
    while (space != std::wstring::npos && space < span.close &&
           tag->attributeCount < CHtmlTag::MaxAttributes) {
        size_t equals = input.find(L"=\"", space + 1);
        if (equals != std::wstring::npos) {
            size_t quote = input.find(L'"', equals + 2);
            if (quote != std::wstring::npos && quote <= span.close) {
                int slot = tag->attributeCount++;
                tag->names[slot] = input.substr(space + 1, equals - space - 1);
                tag->values[slot] = input.substr(equals + 2, quote - equals - 2);
            }
        }
        space = input.find(L' ', space + 2);
    }
    return tag;
}

void CHtmlParser::AddText(size_t begin, size_t end)
{
    auto text = std::make_unique<CHtmlText>();
    text->SetText(input.substr(begin, end - begin));
    objects.push_back(std::move(text));
}

void CHtmlParser::OpenTag(std::unique_ptr<CHtmlTag> tag)
{
    int count = static_cast<int>(objects.size());
    if (tag->name == L"img") {
        tag->start = count;
        const std::wstring* source = tag->GetAttribute(L"src");
        const std::wstring* width = tag->GetAttribute(L"width");
        const std::wstring* height = tag->GetAttribute(L"height");
        if (source && width && height) {
            auto image = std::make_unique<CHtmlImage>();
            image->SetSource(*source);
            image->SetWidth(ParseLeadingDecimal(*width));
            image->SetHeight(ParseLeadingDecimal(*height));
            objects.push_back(std::move(image));
        }
        tag->end = static_cast<int>(objects.size());
        closedTags.push_back(std::move(tag));
    } else if (tag->name == L"br") {
        auto lineBreak = std::make_unique<CHtmlText>();
        lineBreak->SetText(L"\r\n");
        objects.push_back(std::move(lineBreak));
    } else if (tag->selfClosing) {
        closedTags.push_back(std::move(tag));
    } else {
        tag->start = count;
        openTags.push_back(std::move(tag));
    }
}

void CHtmlParser::CloseTag(const std::wstring& name)
{
    for (size_t i = openTags.size(); i-- > 0;) {
        if (openTags[i]->name == name) {
            openTags[i]->end = static_cast<int>(objects.size());
            closedTags.push_back(std::move(openTags[i]));
            openTags.erase(openTags.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

bool CHtmlParser::Parse(const std::wstring& text)
{
    objects.clear();
    closedTags.clear();
    openTags.clear();
    input.clear();
    if (text.empty())
        return false;
    input = text;

    bool hasTextStart = true;
    size_t textStart = 0;
    size_t search = 0;
    for (;;) {
        size_t open = input.find(L'<', search);
        if (open == std::wstring::npos)
            break;
        search = open + 1;
        TagSpan span;
        if (!ScanTag(open, span))
            continue;
        if (hasTextStart && textStart < open)
            AddText(textStart, open);
        hasTextStart = span.close + 1 < input.size();
        textStart = span.close + 1;
        if (span.closing)
            CloseTag(input.substr(span.nameBegin, span.nameEnd - span.nameBegin));
        else
            OpenTag(ReadOpeningTag(span));
    }
    if (hasTextStart && textStart < input.size())
        AddText(textStart, input.size());
    return true;
}

std::wstring CHtmlParser::GetPlainText() const
{
    std::wstring plain;
    for (const auto& object : objects) {
        if (IsText(*object))
            plain += static_cast<const CHtmlText&>(*object).GetText();
        else if (IsImage(*object))
            plain += L"[图片]";
    }
    return plain;
}
