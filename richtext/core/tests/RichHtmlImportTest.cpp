#include <gtest/gtest.h>

#include "FixedMeasurer.h"
#include "RichHtmlImport.h"

namespace {

class ImportTest : public testing::Test {
protected:
    void SetUp() override { model.SetRect(0, 0, 600, 200); }
    const RichElement& At(int index) { return *model.Elements()[index]; }
    TestModel model;
};

struct SizeCase {
    const char* name;
    const wchar_t* size;
    int tenths;
};

void PrintTo(const SizeCase& value, std::ostream* out) { *out << value.name; }

class ImportedSizes : public testing::TestWithParam<SizeCase> {};

TEST_P(ImportedSizes, BecomeTenthsOfAPointWithAFloorOfFive)
{
    TestModel model;
    model.SetRect(0, 0, 600, 200);
    model.InsertHtml(std::wstring(L"<font size=\"") + GetParam().size + L"\">x</font>", 0);
    ASSERT_EQ(model.GetCount(), 1);
    EXPECT_EQ(model.Elements()[0]->size, GetParam().tenths);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ImportedSizes,
                         testing::Values(SizeCase{"ThreePointsBecomeFive", L"3", 50},
                                         SizeCase{"FourPointsBecomeFive", L"4", 50},
                                         SizeCase{"FivePointsStayFive", L"5", 50},
                                         SizeCase{"TwelvePoints", L"12", 120},
                                         SizeCase{"NotANumberBecomesFive", L"big", 50}));

TEST_F(ImportTest, ColourIsReadAsRgbAndStoredAsColorref)
{
    model.InsertHtml(L"<font color=\"#0000FF\">x</font>", 0);
    EXPECT_EQ(At(0).textColour, 0x00FF0000u);
}

TEST_F(ImportTest, ColourThatIsNotHexOrEmptyIsBlack)
{
    model.InsertHtml(L"<font color=\"#zz\">x</font><font color=\"\">y</font>", 0);
    EXPECT_EQ(At(0).textColour, 0u);
    EXPECT_EQ(At(1).textColour, 0u);
}

TEST_F(ImportTest, FlagsCountOnlyWhenExactlyOne)
{
    model.InsertHtml(L"<font bold=\"true\" italic=\"1\" underline=\"yes\" strikeout=\"1\">x</font>", 0);
    EXPECT_EQ(At(0).bold, 0);
    EXPECT_EQ(At(0).italic, 1);
    EXPECT_EQ(At(0).underline, 0);
    EXPECT_EQ(At(0).strikeout, 1);
}

TEST_F(ImportTest, BackgroundStyleMakesTheBackgroundOpaque)
{
    model.InsertHtml(L"<font style=\"background-color:#123456\">x</font>y", 0);
    EXPECT_EQ(At(0).transparentBackground, 0);
    EXPECT_EQ(At(0).backgroundColour, 0x00563412u);
    EXPECT_EQ(At(1).transparentBackground, 1);
}

TEST_F(ImportTest, MarkupOfTagsOnlyIsInsertedAsBoldText)
{
    model.InsertHtml(L"<font></font>", 0);
    ASSERT_EQ(model.GetCount(), 13);
    EXPECT_EQ(Characters(model), L"<font></font>");
    EXPECT_EQ(At(0).bold, 1);
    EXPECT_EQ(At(0).textColour, 0x5Au);
    EXPECT_EQ(At(0).backgroundColour, 0u);
    EXPECT_EQ(At(0).transparentBackground, 0);
    EXPECT_EQ(At(0).underline, 0);
    EXPECT_FALSE(At(0).link);
}

TEST_F(ImportTest, EnclosingFontTagWinsOverANestedOne)
{
    model.SetDefaultColour(0x00112233);
    model.InsertHtml(L"<font color=\"#ff0000\"><font bold=\"1\" size=\"20\">x</font></font>", 0);
    EXPECT_EQ(At(0).bold, 0);
    EXPECT_EQ(At(0).size, 90);
    EXPECT_EQ(At(0).textColour, 0x000000FFu);
}

TEST_F(ImportTest, FontTagWithoutColourUsesTheEngineDefaultColour)
{
    model.SetDefaultColour(0x00112233);
    model.InsertHtml(L"<font size=\"10\">x</font>y", 0);
    EXPECT_EQ(At(0).textColour, 0x00112233u);
    EXPECT_EQ(At(1).textColour, 0u);  // outside any font tag
    EXPECT_EQ(*At(1).face, L"宋体");
}

TEST_F(ImportTest, LinkAroundFontGivesTheTextItsLinkUnchanged)
{
    model.InsertHtml(L"<a href=\"HTTP://Example/\"><font color=\"#000000\">t</font></a>u", 0);
    ASSERT_TRUE(At(0).link);
    EXPECT_EQ(*At(0).link, L"HTTP://Example/");
    EXPECT_FALSE(At(1).link);
}

TEST_F(ImportTest, ImageBecomesAnElementWithPathSizeAndLink)
{
    model.InsertHtml(L"<a href=\"t\"><img src=\"p.png\" width=\"20\" height=\"15\"/></a>", 0);
    ASSERT_EQ(model.GetCount(), 1);
    EXPECT_TRUE(At(0).IsImage());
    EXPECT_EQ(At(0).imagePath, L"p.png");
    EXPECT_EQ(At(0).width, 20);
    EXPECT_EQ(At(0).height, 15);
    EXPECT_EQ(*At(0).link, L"t");
    EXPECT_FALSE(At(0).displayBitmap);
}

TEST_F(ImportTest, HugePictureSizeIsKeptWithinTheDrawableRange)
{
    model.InsertHtml(L"<img src=\"p\" width=\"99999999999\" height=\"40000\"/>x", 0);
    EXPECT_EQ(At(0).width, CRichModel::LargestImportedImageSide);
    EXPECT_EQ(At(0).height, CRichModel::LargestImportedImageSide);
    EXPECT_GT(At(1).y, 0);
}

TEST_F(ImportTest, InsertsAtThePositionInTheMiddle)
{
    model.SetText(L"ad");
    model.InsertHtml(L"b<img src=\"p\" width=\"1\" height=\"1\"/>c", 1);
    EXPECT_EQ(Characters(model), L"abcd");
    EXPECT_TRUE(At(2).IsImage());
}

TEST_F(ImportTest, SetHtmlReplacesTheContentWithoutUndo)
{
    model.SetText(L"old");
    model.SetHtml(L"<font color=\"#00ff00\">new</font>");
    EXPECT_EQ(Characters(model), L"new");
    EXPECT_TRUE(model.UndoHistory().Records().empty());
}

TEST_F(ImportTest, ListenerHearsTheHeightAndTheChangeLast)
{
    struct Listener : IRichListener {
        std::vector<std::string> events;
        void OnHeightChanged(int) override { events.push_back("height"); }
        void OnChanged(CRichModel*) override { events.push_back("changed"); }
    } listener;
    model.SetListener(&listener);
    model.InsertHtml(L"a<br>b", 0);
    ASSERT_GE(listener.events.size(), 2u);
    EXPECT_EQ(listener.events.back(), "changed");
    EXPECT_EQ(listener.events[listener.events.size() - 2], "height");
}

TEST_F(ImportTest, ExportThenImportRestoresCharactersStylesAndLinks)
{
    RichStyle style;
    style.face = MakeSharedString(L"Arial");
    style.size = 125;
    style.textColour = 0x00123456;
    style.bold = 1;
    style.italic = 1;
    model.InsertText(L"Bold", 0, style);
    style = RichStyle();
    style.face = DefaultFace();
    style.backgroundColour = 0x0000FF00;
    style.transparentBackground = 0;
    style.strikeout = 1;
    style.underline = 1;
    style.link = MakeSharedString(L"http://Target");
    model.InsertText(L"\r\nlinked", 4, style);
    style = RichStyle();
    style.face = DefaultFace();
    model.InsertText(L" see www.example.com ok", 12, style);

    std::wstring markup = model.ExportHtml();
    TestModel copy;
    copy.SetRect(0, 0, 600, 200);
    copy.SetHtml(markup);

    ASSERT_EQ(Characters(copy), Characters(model));
    for (int i = 0; i < model.GetCount(); ++i) {
        const RichElement& a = *model.Elements()[i];
        const RichElement& b = *copy.Elements()[i];
        EXPECT_EQ(b.textColour, a.textColour) << i;
        EXPECT_EQ(b.backgroundColour & 0xFFFFFF, a.backgroundColour & 0xFFFFFF) << i;
        EXPECT_EQ(b.transparentBackground, a.transparentBackground) << i;
        EXPECT_EQ(b.bold, a.bold) << i;
        EXPECT_EQ(b.italic, a.italic) << i;
        EXPECT_EQ(b.underline, a.underline) << i;
        EXPECT_EQ(b.strikeout, a.strikeout) << i;
        EXPECT_EQ(b.size, a.size / 10 * 10) << i;
        EXPECT_TRUE(SameText(b.face, a.face)) << i;
        EXPECT_TRUE(SameText(b.link, a.link)) << i;
    }
    EXPECT_EQ(*copy.Elements()[0]->face, L"Arial");
    EXPECT_EQ(copy.Elements()[0]->size, 120);
    EXPECT_EQ(*copy.Elements()[7]->link, L"http://Target");
    EXPECT_EQ(*copy.Elements()[20]->link, L"www.example.com");
    EXPECT_EQ(copy.ExportHtml(), markup);
}

TEST(RichHtmlRoundTrip, RandomStyledDocumentsSurviveExportAndImport)
{
    unsigned seed = 2024;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return ((seed >> 16) & 0x7FFF) % range;
    };
    const wchar_t* tokens[] = {L"a", L"b", L"X", L"Z", L" ", L"1", L".", L":", L"/", L"\r\n",
                               L"\r", L"中", L"w", L"&", L";", L"\"", L"'"};
    const wchar_t* faces[] = {L"宋体", L"Arial", L"Courier New"};
    for (int round = 0; round < 200; ++round) {
        TestModel model;
        model.SetRect(0, 0, 300, 200);
        int runs = 1 + static_cast<int>(next(6));
        for (int run = 0; run < runs; ++run) {
            RichStyle style;
            style.face = MakeSharedString(faces[next(3)]);
            style.size = 50 + static_cast<int>(next(200));
            style.textColour = next(0x1000000);
            style.transparentBackground = static_cast<int>(next(2));
            style.backgroundColour = next(0x1000000);
            style.bold = static_cast<int>(next(2));
            style.italic = static_cast<int>(next(2));
            style.strikeout = static_cast<int>(next(2));
            style.underline = static_cast<int>(next(2));
            if (next(3) == 0)
                style.link = MakeSharedString(L"http://site/" + std::to_wstring(run));
            std::wstring text;
            int length = 1 + static_cast<int>(next(8));
            for (int i = 0; i < length; ++i)
                text += tokens[next(sizeof tokens / sizeof tokens[0])];
            model.InsertText(text, model.GetCount(), style);
        }
        TestModel copy;
        copy.SetRect(0, 0, 300, 200);
        copy.SetHtml(model.ExportHtml());
        ASSERT_EQ(Characters(copy), Characters(model)) << round;
        for (int i = 0; i < model.GetCount(); ++i) {
            const RichElement& a = *model.Elements()[i];
            const RichElement& b = *copy.Elements()[i];
            EXPECT_EQ(b.textColour, a.textColour) << round << ":" << i;
            EXPECT_EQ(b.transparentBackground, a.transparentBackground) << round << ":" << i;
            if (!a.transparentBackground) {
                EXPECT_EQ(b.backgroundColour, a.backgroundColour) << round << ":" << i;
            }
            EXPECT_EQ(b.bold, a.bold) << round << ":" << i;
            EXPECT_EQ(b.italic, a.italic) << round << ":" << i;
            EXPECT_EQ(b.strikeout, a.strikeout) << round << ":" << i;
            EXPECT_EQ(b.underline, a.underline) << round << ":" << i;
            EXPECT_EQ(b.size, a.size / 10 * 10) << round << ":" << i;
            EXPECT_TRUE(SameText(b.face, a.face)) << round << ":" << i;
            EXPECT_TRUE(SameText(b.link, a.link)) << round << ":" << i;
        }
    }
}

TEST(HexToColour, SwapsRedAndBlue)
{
    EXPECT_EQ(HexToColour(L"0000FF"), 0x00FF0000u);
    EXPECT_EQ(HexToColour(L"ff0000"), 0x000000FFu);
    EXPECT_EQ(HexToColour(L"12g"), 0x00120000u);
    EXPECT_EQ(HexToColour(L""), 0u);
}

}  // namespace
