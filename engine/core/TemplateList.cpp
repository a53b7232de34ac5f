#include "TemplateList.h"

#include <algorithm>
#include <climits>
#include <cwchar>
#include <variant>

#include "Encoding.h"
#include "TemplateDocument.h"

namespace {

using TemplateField = std::variant<std::wstring TemplateRecord::*, double TemplateRecord::*,
                                   int TemplateRecord::*>;

struct TemplateAttribute {
    const wchar_t* name;
    TemplateField field;
};

// Every attribute of a template, in the order of the file.
const TemplateAttribute TemplateAttributes[] = {
    {L"id", &TemplateRecord::id},
    {L"image", &TemplateRecord::image},
    {L"x1", &TemplateRecord::x1},
    {L"y1", &TemplateRecord::y1},
    {L"x2", &TemplateRecord::x2},
    {L"y2", &TemplateRecord::y2},
    {L"min_w", &TemplateRecord::min_w},
    {L"min_h", &TemplateRecord::min_h},
    {L"stretch_x1", &TemplateRecord::stretch_x1},
    {L"stretch_x2", &TemplateRecord::stretch_x2},
    {L"stretch_y1", &TemplateRecord::stretch_y1},
    {L"stretch_y2", &TemplateRecord::stretch_y2},
    {L"checkbox_alpha", &TemplateRecord::checkbox_alpha},
    {L"checkbox_id", &TemplateRecord::checkbox_id},
    {L"checkbox_color", &TemplateRecord::checkbox_color},
    {L"support_taskmode", &TemplateRecord::support_taskmode},
    {L"default_taskmode", &TemplateRecord::default_taskmode},
    {L"unchecked_color", &TemplateRecord::unchecked_color},
    {L"showline", &TemplateRecord::showline},
    {L"line_color", &TemplateRecord::line_color},
    {L"line_width", &TemplateRecord::line_width},
    {L"line_space", &TemplateRecord::line_space},
    {L"line_style", &TemplateRecord::line_style},
    {L"color_text", &TemplateRecord::color_text},
    {L"support_title", &TemplateRecord::support_title},
    {L"title_x1", &TemplateRecord::title_x1},
    {L"title_x2", &TemplateRecord::title_x2},
    {L"title_y", &TemplateRecord::title_y},
    {L"title_color", &TemplateRecord::title_color},
    {L"title_fontsize", &TemplateRecord::title_fontsize},
    {L"title_bold", &TemplateRecord::title_bold},
};

struct FieldReader {
    TemplateRecord& record;
    const std::wstring& text;

    void operator()(std::wstring TemplateRecord::*field) const { record.*field = text; }
    void operator()(double TemplateRecord::*field) const
    {
        record.*field = std::wcstod(text.c_str(), nullptr);
    }
    void operator()(int TemplateRecord::*field) const
    {
        // Saturated at the range of int, as a 32-bit long is on Windows.
        const long long value = std::wcstoll(text.c_str(), nullptr, 10);
        record.*field = static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
    }
};

// Escapes what would end the value or start mark-up, and the line breaks and tabs that
// an XML reader would turn into spaces.
std::wstring EscapeAttribute(const std::wstring& value)
{
    std::wstring escaped;
    for (wchar_t c : value) {
        switch (c) {
        case L'&': escaped += L"&amp;"; break;
        case L'<': escaped += L"&lt;"; break;
        case L'"': escaped += L"&quot;"; break;
        // Raw, the parser would read them back as spaces.
        case L'\t': escaped += L"&#9;"; break;
        case L'\n': escaped += L"&#10;"; break;
        case L'\r': escaped += L"&#13;"; break;
        default: escaped += c; break;
        }
    }
    return escaped;
}

// "]]>" cannot stand inside one CDATA section: close the section after "]]" and open a new
// one for the ">".
std::wstring SplitCdataEnd(const std::wstring& text)
{
    std::wstring result;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L"]]>", start)) != std::wstring::npos; start = end + 2)
        result += text.substr(start, end + 2 - start) + L"]]><![CDATA[";
    return result + text.substr(start);
}

struct FieldWriter {
    const TemplateRecord& record;

    std::wstring operator()(std::wstring TemplateRecord::*field) const
    {
        return EscapeAttribute(record.*field);
    }
    std::wstring operator()(double TemplateRecord::*field) const
    {
        return std::to_wstring(record.*field);
    }
    std::wstring operator()(int TemplateRecord::*field) const
    {
        return std::to_wstring(record.*field);
    }
};

std::wstring FormatTemplateLine(const TemplateRecord& record)
{
    std::wstring line = L"\t\t<template ";
    for (const TemplateAttribute& attribute : TemplateAttributes)
        line += std::wstring(attribute.name) + L"=\"" +
                std::visit(FieldWriter{record}, attribute.field) + L"\" ";
    return line + L"><![CDATA[" + SplitCdataEnd(record.name) + L"]]></template>\r\n";
}

bool DeclaresUtf8(const std::string& bytes)
{
    const std::size_t lastStart = 39;
    for (const char* declaration : {"encoding=\"utf-8\"", "encoding=\"UTF-8\""}) {
        std::size_t found = bytes.find(declaration);
        if (found != std::string::npos && found <= lastStart)
            return true;
    }
    return false;
}

std::wstring DropDeclaration(const std::wstring& text)
{
    if (text.compare(0, 5, L"<?xml") != 0)
        return text;
    std::size_t end = text.find(L"?>");
    return end == std::wstring::npos ? text : text.substr(end + 2);
}

} // namespace

TemplateRecord ReadTemplateRecord(const TemplateElement& element)
{
    TemplateRecord record;
    for (const auto& [name, value] : element.attributes) {
        auto attribute = std::find_if(
            std::begin(TemplateAttributes), std::end(TemplateAttributes),
            [&name = name](const TemplateAttribute& known) { return name == known.name; });
        if (attribute != std::end(TemplateAttributes))
            std::visit(FieldReader{record, value}, attribute->field);
    }
    record.name = element.text;
    return record;
}

std::vector<TemplateRecord> MergeTemplates(std::vector<TemplateRecord> list,
                                           const std::vector<TemplateRecord>& package)
{
    for (const TemplateRecord& offered : package) {
        bool listed = std::any_of(list.begin(), list.end(), [&](const TemplateRecord& record) {
            return record.id == offered.id;
        });
        if (listed)
            continue;
        auto same = std::find_if(list.begin(), list.end(), [&](const TemplateRecord& record) {
            return record.name == offered.name && record.image == offered.image;
        });
        if (same != list.end())
            list.erase(same);
        list.push_back(offered);
    }
    return list;
}

std::wstring FormatTemplateList(const std::vector<TemplateRecord>& list)
{
    std::wstring text = L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<config>\r\n\t<templates>\r\n";
    for (const TemplateRecord& record : list)
        text += FormatTemplateLine(record);
    return text + L"\t</templates>\r\n</config>";
}

std::wstring DecodeTemplateFile(const std::string& bytes)
{
    const std::string utf8Mark = "\xEF\xBB\xBF";
    if (bytes.compare(0, utf8Mark.size(), utf8Mark) == 0)
        return DropDeclaration(DecodeUtf8(bytes.substr(utf8Mark.size())));
    return DropDeclaration(DeclaresUtf8(bytes) ? DecodeUtf8(bytes) : DecodeThreadAnsi(bytes));
}

std::optional<std::vector<TemplateRecord>> ReadTemplateList(const std::string& fileBytes)
{
    std::optional<std::vector<TemplateElement>> elements =
        ParseTemplateElements(DecodeTemplateFile(fileBytes));
    if (!elements)
        return std::nullopt;
    std::vector<TemplateRecord> records;
    for (const TemplateElement& element : *elements)
        records.push_back(ReadTemplateRecord(element));
    return records;
}
