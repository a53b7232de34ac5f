#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Encoding.h"
#include "TemplateList.h"

namespace {

const std::string ExampleLine =
    "\t\t<template id=\"158738349100000822\" image=\"res\\2020420195131818.png\" x1=\"0.100000\" "
    "y1=\"0.325000\" x2=\"0.900000\" y2=\"0.754167\" min_w=\"120\" min_h=\"120\" stretch_x1=\"21\" "
    "stretch_x2=\"92\" stretch_y1=\"16\" stretch_y2=\"91\" checkbox_alpha=\"255\" checkbox_id=\"0\" "
    "checkbox_color=\"11046493\" support_taskmode=\"1\" default_taskmode=\"0\" "
    "unchecked_color=\"12035717\" showline=\"1\" line_color=\"12824975\" line_width=\"2\" "
    "line_space=\"10\" line_style=\"1\" color_text=\"1\" support_title=\"1\" title_x1=\"0.100000\" "
    "title_x2=\"0.900000\" title_y=\"0.087500\" title_color=\"8021828\" title_fontsize=\"110\" "
    "title_bold=\"1\" ><![CDATA[蓝色记事本]]></template>\r\n";

const std::string DefaultAttributes =
    "id=\"\" image=\"\" x1=\"0.000000\" y1=\"0.000000\" x2=\"0.000000\" y2=\"0.000000\" "
    "min_w=\"200\" min_h=\"200\" stretch_x1=\"0\" stretch_x2=\"200\" stretch_y1=\"0\" "
    "stretch_y2=\"200\" checkbox_alpha=\"255\" checkbox_id=\"0\" checkbox_color=\"0\" "
    "support_taskmode=\"0\" default_taskmode=\"0\" unchecked_color=\"10066329\" showline=\"0\" "
    "line_color=\"0\" line_width=\"1\" line_space=\"2\" line_style=\"0\" color_text=\"0\" "
    "support_title=\"0\" title_x1=\"0.100000\" title_x2=\"0.900000\" title_y=\"0.050000\" "
    "title_color=\"0\" title_fontsize=\"100\" title_bold=\"0\" ";

const std::string Header = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<config>\r\n\t<templates>\r\n";
const std::string Footer = "\t</templates>\r\n</config>";

std::string FileBytes(const std::vector<TemplateRecord>& list)
{
    return EncodeUtf8(FormatTemplateList(list));
}

TemplateElement ExampleElement()
{
    return {{{L"id", L"158738349100000822"}, {L"image", L"res\\2020420195131818.png"},
             {L"x1", L"0.1"}, {L"y1", L"0.325"}, {L"x2", L"0.900000"}, {L"y2", L"0.754167"},
             {L"min_w", L"120"}, {L"min_h", L"120"}, {L"stretch_x1", L"21"},
             {L"stretch_x2", L"92"}, {L"stretch_y1", L"16"}, {L"stretch_y2", L"91"},
             {L"checkbox_alpha", L"255"}, {L"checkbox_id", L"0"}, {L"checkbox_color", L"11046493"},
             {L"support_taskmode", L"1"}, {L"default_taskmode", L"0"},
             {L"unchecked_color", L"12035717"}, {L"showline", L"1"}, {L"line_color", L"12824975"},
             {L"line_width", L"2"}, {L"line_space", L"10"}, {L"line_style", L"1"},
             {L"color_text", L"1"}, {L"support_title", L"1"}, {L"title_x1", L"0.1"},
             {L"title_x2", L"0.9"}, {L"title_y", L"0.0875"}, {L"title_color", L"8021828"},
             {L"title_fontsize", L"110"}, {L"title_bold", L"1"}},
            L"蓝色记事本"};
}

TEST(TemplateList, ExampleRecordIsWrittenByteForByte)
{
    EXPECT_EQ(FileBytes({ReadTemplateRecord(ExampleElement())}), Header + ExampleLine + Footer);
}

TEST(TemplateList, EmptyListIsAnEmptyTemplatesElement)
{
    EXPECT_EQ(FileBytes({}), Header + Footer);
}

TEST(TemplateList, MissingAttributesTakeTheirDefaults)
{
    EXPECT_EQ(FileBytes({ReadTemplateRecord({{}, L"n"})}),
              Header + "\t\t<template " + DefaultAttributes + "><![CDATA[n]]></template>\r\n" + Footer);
}

struct NumberCase {
    const wchar_t* text;
    int expectedInt;
    double expectedDouble;
};

TEST(TemplateList, NumbersReadUpToTheFirstNonDigit)
{
    const NumberCase cases[] = {
        {L"12", 12, 12},       {L"  -5", -5, -5},  {L"+7", 7, 7},       {L"12abc", 12, 12},
        {L"0.754167", 0, 0.754167}, {L"abc", 0, 0}, {L"", 0, 0},        {L" 3.5e1x", 3, 35},
        // Beyond the range of int, as Windows' 32-bit long has it.
        {L"4294967296", 2147483647, 4294967296.0}, {L"-99999999999", -2147483647 - 1, -99999999999.0},
    };
    for (const NumberCase& c : cases) {
        TemplateRecord record = ReadTemplateRecord({{{L"line_space", c.text}, {L"y2", c.text}}, L""});
        EXPECT_EQ(record.line_space, c.expectedInt) << testing::PrintToString(std::wstring(c.text));
        EXPECT_DOUBLE_EQ(record.y2, c.expectedDouble) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(TemplateList, AttributeNamesMatchExactly)
{
    TemplateRecord record =
        ReadTemplateRecord({{{L"ID", L"x"}, {L"Min_w", L"1"}, {L"unknown", L"2"}, {L"min_h", L"3"}}, L""});
    EXPECT_EQ(record.id, L"");
    EXPECT_EQ(record.min_w, 200);
    EXPECT_EQ(record.min_h, 3);
}

TEST(TemplateList, TextKeepsCharactersOutsideTheAnsiCodePage)
{
    TemplateRecord record = ReadTemplateRecord({{{L"image", L"res\\😀é.png"}}, L"Ünïcode 😀"});
    std::string bytes = FileBytes({record});
    EXPECT_NE(bytes.find("image=\"res\\😀é.png\""), std::string::npos);
    EXPECT_NE(bytes.find("<![CDATA[Ünïcode 😀]]>"), std::string::npos);
}

TEST(TemplateList, MarkupInValuesIsEscapedAndCdataEndIsSplit)
{
    TemplateRecord record = ReadTemplateRecord(
        {{{L"id", L"a&b"}, {L"image", L"<\"x\">"}}, L"a]]>b]]]>"});
    std::string bytes = FileBytes({record});
    EXPECT_NE(bytes.find("id=\"a&amp;b\" image=\"&lt;&quot;x&quot;>\""), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("><![CDATA[a]]]]><![CDATA[>b]]]]]><![CDATA[>]]></template>"),
              std::string::npos)
        << bytes;
}

// Raw, they would come back as spaces: the parser normalises white space in attribute values.
TEST(TemplateList, TabsAndLineBreaksInValuesAreCharacterReferences)
{
    TemplateRecord record = ReadTemplateRecord({{{L"id", L"a\tb"}, {L"image", L"c\r\nd\ne"}}, L"x"});
    std::string bytes = FileBytes({record});
    EXPECT_NE(bytes.find("id=\"a&#9;b\" image=\"c&#13;&#10;d&#10;e\""), std::string::npos) << bytes;
}

TEST(TemplateList, WrittenListReadsBackToTheSameRecords)
{
    const std::vector<TemplateRecord> list{
        ReadTemplateRecord(ExampleElement()),
        ReadTemplateRecord({{}, L""}),
        ReadTemplateRecord({{{L"id", L"a&b\"c<d"}, {L"image", L"res\\😀é.png"}, {L"x1", L"-0.5"}},
                            L"a]]>b 蓝色 😀"}),
        // Line breaks and tabs inside values, as character references in a file can give.
        ReadTemplateRecord({{{L"id", L"a\tb\nc\rd  e"}, {L"image", L"x\r\ny"}}, L"a\nb"}),
        ReadTemplateRecord({{{L"x1", L"1e999"}, {L"y1", L"-1e999"}, {L"x2", L"1e300"}}, L""}),
    };
    const std::optional<std::vector<TemplateRecord>> read =
        ReadTemplateList(EncodeUtf8(FormatTemplateList(list)));
    ASSERT_TRUE(read);
    EXPECT_EQ(FormatTemplateList(*read), FormatTemplateList(list));
}

TEST(TemplateList, ReadsTheElementsBelowTemplatesOnly)
{
    const std::optional<std::vector<TemplateRecord>> read = ReadTemplateList(
        "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<config><other><template id=\"x\"/></other>"
        "<templates>\r\n\t<template id=\"a\">\xC0\xB6</template>\r\n\t"
        "<template id=\"b\"><![CDATA[n]]></template></templates></config>");
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 2u);
    EXPECT_EQ((*read)[0].id, L"a");
    EXPECT_EQ((*read)[0].name, L"蓝");
    EXPECT_EQ((*read)[1].id, L"b");
    EXPECT_EQ((*read)[1].name, L"n");
}

TEST(TemplateList, TextThatIsNotXmlReadsAsNothing)
{
    for (const std::string& bytes : {std::string(), std::string("<config><templates>"),
                                     std::string("templates"), std::string("<a></b>")})
        EXPECT_FALSE(ReadTemplateList(bytes)) << bytes;
}

// A record that shows where it came from: id, name, image and min_w as a mark.
TemplateRecord Record(const wchar_t* id, const wchar_t* name, const wchar_t* image, int mark)
{
    TemplateRecord record;
    record.id = id;
    record.name = name;
    record.image = image;
    record.min_w = mark;
    return record;
}

std::vector<std::wstring> Describe(const std::vector<TemplateRecord>& list)
{
    std::vector<std::wstring> ids;
    for (const TemplateRecord& record : list)
        ids.push_back(record.id + L"/" + std::to_wstring(record.min_w));
    return ids;
}

struct MergeCase {
    const char* name;
    std::vector<TemplateRecord> user;
    std::vector<TemplateRecord> package;
    std::vector<std::wstring> expected;
};

void PrintTo(const MergeCase& c, std::ostream* out)
{
    *out << c.name;
}

class MergeTemplatesCases : public testing::TestWithParam<MergeCase> {};

TEST_P(MergeTemplatesCases, GiveTheMergedListInOrder)
{
    const MergeCase& c = GetParam();
    EXPECT_EQ(Describe(MergeTemplates(c.user, c.package)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    TemplateList, MergeTemplatesCases,
    testing::Values(
        MergeCase{"NoUserListGivesThePackageInOrder",
                  {},
                  {Record(L"p1", L"A", L"a.png", 1), Record(L"p2", L"B", L"b.png", 2)},
                  {L"p1/1", L"p2/2"}},
        MergeCase{"UserTemplatesComeFirst",
                  {Record(L"u1", L"X", L"x.png", 1)},
                  {Record(L"p1", L"A", L"a.png", 2)},
                  {L"u1/1", L"p1/2"}},
        MergeCase{"SameIdKeepsTheUsersRecord",
                  {Record(L"p1", L"Mine", L"mine.png", 1), Record(L"u2", L"X", L"x.png", 2)},
                  {Record(L"p1", L"A", L"a.png", 3)},
                  {L"p1/1", L"u2/2"}},
        MergeCase{"SameNameAndImageMovesThePackageRecordToTheEnd",
                  {Record(L"u1", L"A", L"a.png", 1), Record(L"u2", L"X", L"x.png", 2)},
                  {Record(L"p1", L"A", L"a.png", 3)},
                  {L"u2/2", L"p1/3"}},
        MergeCase{"OnlyTheFirstRecordOfTheSameNameAndImageGoes",
                  {Record(L"u1", L"A", L"a.png", 1), Record(L"u2", L"A", L"a.png", 2)},
                  {Record(L"p1", L"A", L"a.png", 3)},
                  {L"u2/2", L"p1/3"}},
        MergeCase{"SameNameOtherImageKeepsBoth",
                  {Record(L"u1", L"A", L"old.png", 1)},
                  {Record(L"p1", L"A", L"a.png", 2)},
                  {L"u1/1", L"p1/2"}},
        MergeCase{"IdsCompareCaseSensitively",
                  {Record(L"P1", L"X", L"x.png", 1)},
                  {Record(L"p1", L"A", L"a.png", 2)},
                  {L"P1/1", L"p1/2"}},
        MergeCase{"ARepeatedPackageIdIsDropped",
                  {},
                  {Record(L"p1", L"A", L"a.png", 1), Record(L"p1", L"B", L"b.png", 2)},
                  {L"p1/1"}}),
    [](const testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::wstring expected;
};

void PrintTo(const DecodeCase& c, std::ostream* out)
{
    *out << c.name;
}

class DecodeTemplateFileCases : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTemplateFileCases, GiveTheTextWithoutDeclaration)
{
    EXPECT_EQ(DecodeTemplateFile(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    TemplateList, DecodeTemplateFileCases,
    testing::Values(
        DecodeCase{"Utf8Declared", "<?xml version=\"1.0\" encoding=\"utf-8\"?><c>蓝色</c>", L"<c>蓝色</c>"},
        DecodeCase{"Utf8DeclaredInCapitals", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<c>蓝色</c>",
                   L"\r\n<c>蓝色</c>"},
        DecodeCase{"Utf8DeclaredAtByte39",
                   "<?xml version=\"1.0\"" + std::string(20, ' ') + "encoding=\"utf-8\"?><c>蓝色</c>",
                   L"<c>蓝色</c>"},
        DecodeCase{"Utf8DeclaredPastByte39IsAnsi",
                   "<?xml version=\"1.0\"" + std::string(21, ' ') + "encoding=\"utf-8\"?><c>\xC0\xB6</c>",
                   L"<c>蓝</c>"},
        DecodeCase{"GbkWithoutDeclaration", "<c>\xC0\xB6\xC9\xAB</c>", L"<c>蓝色</c>"},
        DecodeCase{"Gb2312Declared", "<?xml version=\"1.0\" encoding=\"gb2312\"?><c>\xC0\xB6</c>",
                   L"<c>蓝</c>"},
        DecodeCase{"Utf8ByteOrderMark", "\xEF\xBB\xBF<c>蓝色</c>", L"<c>蓝色</c>"}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

} // namespace
