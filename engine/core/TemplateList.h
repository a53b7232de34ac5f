#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

// One note template of the notes application's template list. Field names are the
// attribute names of "template-utf8.xml"; the initial values are those of a missing
// attribute.
struct TemplateRecord {
    std::wstring id;
    std::wstring image;
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    int min_w = 200;
    int min_h = 200;
    int stretch_x1 = 0;
    int stretch_x2 = 200;
    int stretch_y1 = 0;
    int stretch_y2 = 200;
    int checkbox_alpha = 255;
    int checkbox_id = 0;
    int checkbox_color = 0;
    int support_taskmode = 0;
    int default_taskmode = 0;
    int unchecked_color = 0x999999;
    int showline = 0;
    int line_color = 0;
    int line_width = 1;
    int line_space = 2;
    int line_style = 0;
    int color_text = 0;
    int support_title = 0;
    double title_x1 = 0.1;
    double title_x2 = 0.9;
    double title_y = 0.05;
    int title_color = 0;
    int title_fontsize = 100;
    int title_bold = 0;
    std::wstring name;
};

// A template element as read from a file: its attributes in document order and its text.
struct TemplateElement {
    std::vector<std::pair<std::wstring, std::wstring>> attributes;
    std::wstring text;
};

// The record an element describes. Attributes are matched by exact name; unknown ones are
// ignored and missing ones keep their defaults. Integers read as signed decimals up to the
// first non-digit, doubles as decimal numbers.
TemplateRecord ReadTemplateRecord(const TemplateElement& element);

// Adds the package's templates to the user's list: a package template whose id is already
// listed is dropped (the user's record stays); one with the name and image of a listed
// record replaces that record and goes to the end; any other goes to the end.
std::vector<TemplateRecord> MergeTemplates(std::vector<TemplateRecord> list,
                                           const std::vector<TemplateRecord>& package);

// The text of "template-utf8.xml" for the list, lines ended by CR LF, no line end after
// the last one.
std::wstring FormatTemplateList(const std::vector<TemplateRecord>& list);

// The text of a template file for the XML parser: UTF-8 when its declaration says so
// within its first 40 bytes (or it starts with a UTF-8 byte-order mark), otherwise the
// thread's ANSI code page. The declaration is dropped: the text is already decoded, and
// the parser refuses some encoding names in use ("gb2312").
std::wstring DecodeTemplateFile(const std::string& bytes);

// The templates of a template file's bytes: decoded as DecodeTemplateFile says, parsed,
// and each element read as a record. Nothing when the text is not well-formed XML.
std::optional<std::vector<TemplateRecord>> ReadTemplateList(const std::string& fileBytes);
