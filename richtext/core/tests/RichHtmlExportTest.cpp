#include <gtest/gtest.h>

#include "FixedMeasurer.h"
#include "RichHtmlExport.h"

namespace {

const std::wstring DefaultTag = L"<font color=\"#000000\" size=\"9\" face=\"宋体\">";

class ExportTest : public testing::Test {
protected:
    void SetUp() override { model.SetRect(0, 0, 600, 200); }
    TestModel model;
};

TEST_F(ExportTest, EmptyDocumentExportsNothing)
{
    EXPECT_EQ(model.ExportHtml(), L"");
}

TEST_F(ExportTest, OneRunIsOneFontTag)
{
    model.InsertText(L"ab", 0, PlainStyle());
    EXPECT_EQ(model.ExportHtml(), DefaultTag + L"ab</font>");
}

TEST_F(ExportTest, LineBreaksBecomeBrButALoneCarriageReturnStays)
{
    model.InsertText(L"a\r\nb\nc\rd", 0, PlainStyle());
    EXPECT_EQ(model.ExportHtml(), DefaultTag + L"a<br>b<br>c\rd</font>");
}

TEST_F(ExportTest, ALineBreakWhoseTwoHalvesDifferInStyleIsOneBr)
{
    const std::wstring boldTag = L"<font color=\"#000000\" size=\"9\" bold=\"1\" face=\"宋体\">";
    RichStyle bold = PlainStyle();
    bold.bold = 1;
    model.InsertText(L"a\r", 0, PlainStyle());
    model.InsertText(L"\nb", 2, bold);
    const std::wstring exported = model.ExportHtml();
    EXPECT_EQ(exported, DefaultTag + L"a<br></font>" + boldTag + L"b</font>");

    TestModel again;
    again.SetRect(0, 0, 600, 200);
    again.SetHtml(exported);
    EXPECT_EQ(again.ExportHtml(), exported) << "a round trip adds no line";

    model.SelectRange(1, 3);
    EXPECT_EQ(model.ExportSelectionHtml(), DefaultTag + L"<br></font>");
}

TEST_F(ExportTest, SelectionWithNothingSelectedIsAClosingTagAlone)
{
    model.InsertText(L"abc", 0, PlainStyle());
    EXPECT_EQ(model.ExportSelectionHtml(), L"</font>");
}

TEST_F(ExportTest, SizeIsWrittenInWholePoints)
{
    RichStyle style = PlainStyle();
    style.size = 95;
    model.InsertText(L"x", 0, style);
    EXPECT_EQ(model.ExportHtml(), DefaultTag + L"x</font>");
}

TEST_F(ExportTest, FontTagCarriesEveryAttributeInOrder)
{
    RichElement element;
    element.kind = ElementCharacter;
    element.textColour = 0x000000FF;  // red
    element.size = 120;
    element.bold = element.italic = element.underline = element.strikeout = 1;
    element.face = MakeSharedString(L"Arial");
    element.transparentBackground = 0;
    element.backgroundColour = 0x00563412;
    std::wstring tag;
    WriteFontTag(element, tag);
    EXPECT_EQ(tag, L"<font color=\"#ff0000\" size=\"12\" bold=\"1\" italic=\"1\" underline=\"1\" "
                   L"strikeout=\"1\" face=\"Arial\" style=\"background-color:#123456\">");
}

TEST_F(ExportTest, StyleChangeStartsANewRun)
{
    model.InsertText(L"a", 0, PlainStyle());
    RichStyle bold = PlainStyle();
    bold.bold = 1;
    model.InsertText(L"b", 1, bold);
    EXPECT_EQ(model.ExportHtml(), DefaultTag + L"a</font><font color=\"#000000\" size=\"9\" bold=\"1\" "
                                               L"face=\"宋体\">b</font>");
}

TEST_F(ExportTest, SelectionRunIgnoresSizeAndFace)
{
    model.InsertText(L"a", 0, PlainStyle());
    RichStyle bigger = PlainStyle();
    bigger.size = 140;
    bigger.face = MakeSharedString(L"Arial");
    model.InsertText(L"b", 1, bigger);
    model.SelectRange(0, -1);
    EXPECT_EQ(model.ExportSelectionHtml(), DefaultTag + L"ab</font>");
    EXPECT_NE(model.ExportHtml(), DefaultTag + L"ab</font>");
}

TEST_F(ExportTest, SelectionSkipsUnselectedElements)
{
    model.InsertText(L"abcd", 0, PlainStyle());
    model.SelectRange(1, 3);
    EXPECT_EQ(model.ExportSelectionHtml(), DefaultTag + L"bc</font>");
}

TEST_F(ExportTest, DetectedLinkIsWrittenLowerCasedWithItsUnderline)
{
    model.InsertText(L"WWW.ab x", 0, PlainStyle());
    EXPECT_EQ(model.ExportHtml(),
              L"<a href=\"www.ab\"><font color=\"#000000\" size=\"9\" underline=\"1\" face=\"宋体\">"
              L"WWW.ab</a></font>" + DefaultTag + L" x</font>");
}

// Values that would end their tag, open another or turn into <br> are written encoded,
// so that what was exported imports as the same text.
struct ValueCase {
    const char* name;
    std::wstring markup;
    std::wstring exportedPart;
};

void PrintTo(const ValueCase& c, std::ostream* out)
{
    *out << c.name;
}

class AttributeValues : public testing::TestWithParam<ValueCase> {};

TEST_P(AttributeValues, AreWrittenSoThatTheTextComesBack)
{
    TestModel model;
    model.SetRect(0, 0, 600, 200);
    model.SetHtml(GetParam().markup);
    const std::wstring exported = model.ExportHtml();
    EXPECT_NE(exported.find(GetParam().exportedPart), std::wstring::npos) << exported;

    TestModel again;
    again.SetRect(0, 0, 600, 200);
    again.SetHtml(exported);
    EXPECT_EQ(again.PlainText(), model.PlainText());
    EXPECT_EQ(again.ExportHtml(), exported);
}

INSTANTIATE_TEST_SUITE_P(
    Export, AttributeValues,
    testing::Values(
        ValueCase{"DetectedLink", L"www.a\">b<c x", L"<a href=\"www.a%22%3Eb%3Cc\">"},
        ValueCase{"FaceWithLineBreaks", L"<font face=\"a\r\nb\">x</font>", L" face=\"a%0D%0Ab\""},
        ValueCase{"PicturePath", L"<img src=\"p<b\n\" width=\"1\" height=\"1\"/>x",
                  L"<img src=\"p%3Cb%0A\""},
        ValueCase{"ValueEndingInEquals", L"<img src=\" width=\"6 height=\"\">",
                  L"<img src=\" width%3D\" width=\"6\" height=\"0\"/>"}),
    [](const testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

TEST_F(ExportTest, SeparatelyInsertedLinksWithTheSameTargetStaySeparate)
{
    RichStyle linked = PlainStyle();
    linked.link = MakeSharedString(L"q");
    model.InsertText(L"a", 0, linked);
    linked.link = MakeSharedString(L"q");
    model.InsertText(L"b", 1, linked);
    EXPECT_EQ(model.ExportHtml(),
              L"<a href=\"q\">" + DefaultTag + L"a</a><a href=\"q\">b</a></font>");
}

TEST_F(ExportTest, PictureWithAPathIsAnImgTagBeforeAnyFontTag)
{
    model.InsertHtml(L"<img src=\"p.png\" width=\"10\" height=\"8\"/>", 0);
    model.InsertText(L"a", 1, PlainStyle());
    EXPECT_EQ(model.ExportHtml(),
              L"<img src=\"p.png\" width=\"10\" height=\"8\"/>" + DefaultTag + L"a</font>");
}

TEST_F(ExportTest, TypedTagNameIsWrittenUnescaped)
{
    model.InsertText(L"<b>", 0, PlainStyle());
    EXPECT_EQ(model.ExportHtml(), DefaultTag + L"<b></font>");
}

TEST(ColourToHex, WritesRedFirst)
{
    EXPECT_EQ(ColourToHex(0x00FF0000), L"0000ff");
    EXPECT_EQ(ColourToHex(0x000000FF), L"ff0000");
    EXPECT_EQ(ColourToHex(0), L"000000");
}

}  // namespace
