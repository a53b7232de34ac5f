#include <gtest/gtest.h>

#include "HtmlParser.h"

namespace {

// A compact picture of a parse: objects as T(text) or I(src,w,h), tags as
// name[start,end].
std::wstring Describe(const CHtmlParser& parser)
{
    std::wstring out;
    for (const auto& object : parser.GetObjects()) {
        if (CHtmlParser::IsText(*object)) {
            out += L"T(" + static_cast<const CHtmlText&>(*object).GetText() + L")";
        } else if (CHtmlParser::IsImage(*object)) {
            const auto& image = static_cast<const CHtmlImage&>(*object);
            out += L"I(" + image.GetSource() + L"," + std::to_wstring(image.GetWidth()) + L"," +
                   std::to_wstring(image.GetHeight()) + L")";
        }
    }
    for (const auto& tag : parser.GetTags()) {
        out += L" " + tag->GetName() + L"[" + std::to_wstring(tag->start) + L"," +
               std::to_wstring(tag->end) + L"]";
    }
    return out;
}

struct ParseCase {
    const char* name;
    const wchar_t* markup;
    const wchar_t* expected;
};

void PrintTo(const ParseCase& value, std::ostream* out) { *out << value.name; }

class ParseCases : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseCases, YieldsTheseObjectsAndTags)
{
    CHtmlParser parser;
    EXPECT_TRUE(parser.Parse(GetParam().markup));
    EXPECT_EQ(Describe(parser), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Markup, ParseCases,
    testing::Values(
        ParseCase{"PlainText", L"abc", L"T(abc)"},
        // p is not inside the recognised-tag text.
        ParseCase{"UnknownTagStaysText", L"<p>x</p>", L"T(<p>x</p>)"},
        // b is (inside "<br").
        ParseCase{"BoldTagEnclosesSecondRun", L"a<b>c</b>", L"T(a)T(c) b[1,2]"},
        ParseCase{"BrIsALineBreak", L"x<br>y", L"T(x)T(\r\n)T(y)"},
        ParseCase{"SelfClosingBrIsALineBreak", L"x<br/>y", L"T(x)T(\r\n)T(y)"},
        ParseCase{"FontWithColourEnclosesItsWord", L"<font color=\"#ff0000\">red</font>", L"T(red) font[0,1]"},
        ParseCase{"ImageWithAllThreeAttributes", L"<img src=\"a.png\" width=\"16\" height=\"16\"/>", L"I(a.png,16,16) img[0,1]"},
        ParseCase{"ImageWithoutHeightYieldsNothing", L"<img src=\"a.png\" width=\"16\"/>x", L"T(x) img[0,0]"},
        ParseCase{"ImageSizesTakeLeadingDigits", L"<img src=\"a.png\" width=\"7px\" height=\"px\"/>", L"I(a.png,7,0) img[0,1]"},
        ParseCase{"NestedFontsCloseInnerFirst", L"<font><font>x</font></font>", L"T(x) font[0,1] font[0,1]"},
        ParseCase{"StrayClosingTagVanishes", L"</font>x", L"T(x)"},
        ParseCase{"UnclosedTagIsNeverReturned", L"x<font>", L"T(x)"},
        ParseCase{"UpperCaseTagStaysText", L"<FONT>x</FONT>", L"T(<FONT>x</FONT>)"},
        ParseCase{"EmptyClosingTagVanishes", L"a</>b", L"T(a)T(b)"},
        ParseCase{"SelfClosingOtherTagEnclosesNothing", L"<a/>x", L"T(x) a[-1,-1]"},
        ParseCase{"LessThanBeforeADigitIsText", L"1<2 and 3>2", L"T(1<2 and 3>2)"},
        ParseCase{"OverlappingTagsCloseByName", L"<font>a<a>b</font>c</a>", L"T(a)T(b)T(c) font[0,2] a[1,3]"},
        ParseCase{"FragmentOfRecognisedTextIsATag", L"<on>x</on>", L"T(x) on[0,1]"},
        ParseCase{"ClosingTagWithoutBracketStaysText", L"<font>x</font", L"T(x</font)"},
        ParseCase{"TrailingLessThanIsText", L"a<", L"T(a<)"},
        ParseCase{"OverlongNameIsText", L"<fontfontfontfontfont>x", L"T(<fontfontfontfontfont>x)"}));

TEST(HtmlParser, EmptyInputProducesNothing)
{
    CHtmlParser parser;
    ASSERT_TRUE(parser.Parse(L"a<b>c</b>"));
    EXPECT_FALSE(parser.Parse(L""));
    EXPECT_TRUE(parser.GetObjects().empty());
    EXPECT_TRUE(parser.GetTags().empty());
}

TEST(HtmlParser, FontColourKeepsItsHashSign)
{
    CHtmlParser parser;
    parser.Parse(L"<font color=\"#0000ff\" size=\"12\">word</font>");
    ASSERT_EQ(parser.GetTags().size(), 1u);
    const CHtmlTag& tag = *parser.GetTags()[0];
    EXPECT_TRUE(tag.HasName(L"font"));
    ASSERT_NE(tag.GetAttribute(L"color"), nullptr);
    EXPECT_EQ(*tag.GetAttribute(L"color"), L"#0000ff");
    EXPECT_EQ(*tag.GetAttribute(L"size"), L"12");
    EXPECT_EQ(tag.GetAttribute(L"face"), nullptr);
}

TEST(HtmlParser, OnlyDoubleQuotedValuesAreAttributes)
{
    CHtmlParser parser;
    parser.Parse(L"<font a='1' b=2 c=\"3\">x</font>");
    const CHtmlTag& tag = *parser.GetTags()[0];
    EXPECT_EQ(tag.GetAttribute(L"a"), nullptr);
    EXPECT_EQ(tag.GetAttribute(L"b"), nullptr);
    // The scan from the first space reaches the first quoted value.
    ASSERT_NE(tag.GetAttribute(L"a='1' b=2 c"), nullptr);
    EXPECT_EQ(*tag.GetAttribute(L"a='1' b=2 c"), L"3");
}

TEST(HtmlParser, SpacesInsideAValueGiveSpuriousPairsButTheRealOneIsFirst)
{
    CHtmlParser parser;
    parser.Parse(L"<font face=\"Courier New\" size=\"3\">x</font>");
    const CHtmlTag& tag = *parser.GetTags()[0];
    EXPECT_EQ(*tag.GetAttribute(L"face"), L"Courier New");
    EXPECT_EQ(*tag.GetAttribute(L"size"), L"3");
    // The space inside the value starts the pair  New" size = 3.
    ASSERT_NE(tag.GetAttribute(L"New\" size"), nullptr);
}

TEST(HtmlParser, KeepsOnlyTheFirstTwentyAttributes)
{
    std::wstring markup = L"<font";
    for (int i = 1; i <= 21; ++i)
        markup += L" a" + std::to_wstring(i) + L"=\"" + std::to_wstring(i) + L"\"";
    markup += L">x</font>";
    CHtmlParser parser;
    parser.Parse(markup);
    const CHtmlTag& tag = *parser.GetTags()[0];
    ASSERT_NE(tag.GetAttribute(L"a20"), nullptr);
    EXPECT_EQ(*tag.GetAttribute(L"a20"), L"20");
    EXPECT_EQ(tag.GetAttribute(L"a21"), nullptr);
}

TEST(HtmlParser, AValueReachingPastTheFirstClosingBracketIsNoAttribute)
{
    CHtmlParser parser;
    parser.Parse(L"<font color=\"a>b\">x</font>");
    ASSERT_EQ(parser.GetTags().size(), 1u);
    EXPECT_EQ(parser.GetTags()[0]->GetAttribute(L"color"), nullptr);
}

TEST(HtmlParser, SelfClosingFlagComesFromTheSlashBeforeTheBracket)
{
    CHtmlParser parser;
    parser.Parse(L"<img src=\"p\" width=\"1\" height=\"2\"/><img src=\"q\" width=\"1\" height=\"2\">");
    ASSERT_EQ(parser.GetTags().size(), 2u);
    EXPECT_TRUE(parser.GetTags()[0]->selfClosing);
    EXPECT_FALSE(parser.GetTags()[1]->selfClosing);
}

TEST(HtmlParser, PlainTextShowsPicturesAsAPlaceholder)
{
    CHtmlParser parser;
    parser.Parse(L"a<img src=\"p\" width=\"1\" height=\"2\"/>b<br>c");
    EXPECT_EQ(parser.GetPlainText(), L"a[图片]b\r\nc");
}

TEST(HtmlParser, ArbitraryMarkupKeepsEveryTagRangeInsideTheObjects)
{
    const std::wstring alphabet = L"<<>>//  ==\"\"fontimgbrasrcwidthheight19#\r\n";
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int round = 0; round < 2000; ++round) {
        std::wstring markup;
        int length = static_cast<int>(next() % 60);
        for (int i = 0; i < length; ++i)
            markup += alphabet[next() % alphabet.size()];
        CHtmlParser parser;
        parser.Parse(markup);
        int count = static_cast<int>(parser.GetObjects().size());
        for (const auto& tag : parser.GetTags()) {
            if (tag->start == -1) {
                EXPECT_EQ(tag->end, -1);
                continue;
            }
            EXPECT_LE(0, tag->start);
            EXPECT_LE(tag->start, tag->end);
            EXPECT_LE(tag->end, count);
        }
        // Text never grows: every character of the output comes from the input,
        // apart from the line breaks that br tags stand for.
        size_t brCount = 0;
        for (size_t at = markup.find(L"<br"); at != std::wstring::npos; at = markup.find(L"<br", at + 1))
            ++brCount;
        EXPECT_LE(parser.GetPlainText().size(), markup.size() + brCount * 2) << round;
    }
}

TEST(HtmlParser, TypeNamesTellTheObjectsApart)
{
    EXPECT_STREQ(CHtmlText().GetTypeName(), L"HtmlText");
    EXPECT_STREQ(CHtmlImage().GetTypeName(), L"HtmlImage");
    EXPECT_STREQ(CHtmlLink().GetTypeName(), L"HtmlLink");
    EXPECT_STREQ(CHtmlTag().GetTypeName(), L"HtmlTag");
    EXPECT_STREQ(CHtmlParser().GetTypeName(), L"HtmlParser");
}

TEST(HtmlParser, TextDefaultsAreNinePointBlackWithoutBackground)
{
    CHtmlText text;
    EXPECT_EQ(text.GetSize(), 90);
    EXPECT_EQ(text.GetColour(), 0u);
    EXPECT_EQ(text.GetBackground(), 0u);
    EXPECT_TRUE(text.GetFace().empty());
    EXPECT_TRUE(text.GetLink().empty());
}

}  // namespace
