#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "RichElement.h"
#include "RichLayout.h"

namespace {

// Elements built by hand with fixed sizes: '#' is a picture of the given height.
class Document {
public:
    void Add(const std::wstring& text, int width = 6, int height = 12)
    {
        for (wchar_t c : text) {
            auto element = std::make_unique<RichElement>();
            element->kind = c == L'#' ? ElementImage : ElementCharacter;
            element->character = c == L'#' ? 0 : c;
            element->width = width;
            element->height = height;
            pointers.push_back(element.get());
            owned.push_back(std::move(element));
        }
    }
    std::vector<RichElement*>& Elements() { return pointers; }
    RichElement& operator[](int i) { return *pointers[i]; }

private:
    std::vector<std::unique_ptr<RichElement>> owned;
    std::vector<RichElement*> pointers;
};

LayoutParams Params(int right = 60, int flags = 0)
{
    LayoutParams params;
    params.rect = {0, 0, right, 100};
    params.flags = flags;
    params.lineSpacing = 2;
    params.defaultLineHeight = 12;
    return params;
}

// Lines as "first-last" pairs.
std::string Spans(const std::vector<LineRecord>& lines)
{
    std::string out;
    for (const LineRecord& line : lines)
        out += (out.empty() ? "" : " ") + std::to_string(line.first) + "-" + std::to_string(line.last);
    return out;
}

struct BreakCase {
    const char* name;
    const wchar_t* text;
    const char* lines;
};

void PrintTo(const BreakCase& value, std::ostream* out) { *out << value.name; }

class LineBreaks : public testing::TestWithParam<BreakCase> {};

TEST_P(LineBreaks, SplitTheDocumentIntoTheseLines)
{
    Document document;
    document.Add(GetParam().text);
    LayoutResult result = LayoutElements(document.Elements(), Params());
    EXPECT_EQ(Spans(result.lines), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Breaks, LineBreaks,
    testing::Values(BreakCase{"CarriageReturnLineFeed", L"a\r\nb", "0-2 3-3"},
                    BreakCase{"LoneCarriageReturn", L"a\rb", "0-1 2-2"},
                    BreakCase{"LoneLineFeed", L"a\nb", "0-1 2-2"},
                    // A final carriage return does not break; a final line feed does.
                    BreakCase{"FinalCarriageReturnDoesNotBreak", L"ab\r", "0-2"},
                    BreakCase{"FinalLineFeedBreaks", L"ab\n", "0-2"},
                    BreakCase{"TwoEmptyLines", L"\r\n\r\n", "0-1 2-3"},
                    // 60 pixels hold nine 6-pixel characters: the tenth would end at 60.
                    BreakCase{"TenthCharacterReachingTheEdgeWraps", L"abcdefghij", "0-8 9-9"},
                    BreakCase{"NineCharactersFit", L"abcdefghi", "0-8"}));

TEST(RichLayout, LineBreaksHaveNoWidthAndStayOnTheirLine)
{
    Document document;
    document.Add(L"a\r\nb");
    LayoutResult result = LayoutElements(document.Elements(), Params());
    EXPECT_EQ(document[1].width, 0);
    EXPECT_EQ(document[2].width, 0);
    EXPECT_EQ(document[1].x, 6);
    EXPECT_EQ(document[2].x, 6);
    EXPECT_EQ(document[3].x, 0);
    EXPECT_EQ(document[3].y, 14);  // 12 high plus 2 spacing
    EXPECT_EQ(result.lines[0].nextTop, 14);
    EXPECT_EQ(result.contentHeight, 26);
}

TEST(RichLayout, TooWideCharacterLeavesAnEmptyLineAboveItAndStandsAlone)
{
    Document document;
    document.Add(L"W", 80, 12);
    document.Add(L"x");
    LayoutResult result = LayoutElements(document.Elements(), Params());
    ASSERT_EQ(result.lines.size(), 3u);
    EXPECT_EQ(result.lines[0].first, 0);
    EXPECT_EQ(result.lines[0].last, 0);
    EXPECT_EQ(result.lines[0].nextTop - result.lines[0].top, 14);
    EXPECT_EQ(result.lines[1].first, 0);
    EXPECT_EQ(result.lines[1].last, 0);
    EXPECT_EQ(document[0].y, 14);
    EXPECT_EQ(document[0].x, 0);
    EXPECT_EQ(document[1].y, 28);
}

TEST(RichLayout, TallPictureRaisesItsLineAndCharactersSitOnTheBottom)
{
    Document document;
    document.Add(L"ab");
    document.Add(L"#", 30, 30);
    document.Add(L"c");
    LayoutResult result = LayoutElements(document.Elements(), Params(200));
    ASSERT_EQ(result.lines.size(), 1u);
    EXPECT_EQ(result.lines[0].nextTop, 32);
    EXPECT_EQ(document[0].y, 18);
    EXPECT_EQ(document[1].y, 18);
    EXPECT_EQ(document[2].y, 0);
    EXPECT_EQ(document[3].y, 18);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(document[i].lineTop, 0);
}

TEST(RichLayout, LoneLineFeedTallerThanItsLineRisesAboveItsTop)
{
    Document document;
    document.Add(L"ab\r\ncd");
    document.Add(L"\n", 6, 30);
    document.Add(L"e");
    LayoutResult result = LayoutElements(document.Elements(), Params());
    ASSERT_EQ(result.lines.size(), 3u);
    EXPECT_EQ(result.lines[1].nextTop, 28);  // the line feed does not raise its line
    EXPECT_EQ(document[6].lineTop, 14);
    EXPECT_EQ(document[6].y, -4);
    EXPECT_EQ(result.breakRise, 18);
}

struct RowsCase {
    const char* name;
    int top;
    int bottom;
    int breakRise;
    const char* span;
};

void PrintTo(const RowsCase& value, std::ostream* out) { *out << value.name; }

class ElementsInRowsOf : public testing::TestWithParam<RowsCase> {};

// Four lines 12 pixels high, 2 apart: tops 0, 14, 28 and 42.
TEST_P(ElementsInRowsOf, FourLinesAreThese)
{
    Document document;
    document.Add(L"abc\r\ndef\r\nghi\r\njkl");
    LayoutResult result = LayoutElements(document.Elements(), Params());
    ASSERT_EQ(result.lines.size(), 4u);
    const RowsCase& rows = GetParam();
    ElementSpan span = ElementsInRows(result.lines, rows.top, rows.bottom, 2, rows.breakRise);
    EXPECT_EQ(std::to_string(span.first) + "-" + std::to_string(span.last), rows.span);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ElementsInRowsOf,
    testing::Values(RowsCase{"FirstLine", 0, 5, 0, "0-5"},
                    RowsCase{"InTheSpacingBetweenTwoLines", 13, 13, 0, "0-0"},
                    RowsCase{"FromALineBottomToTheNextTop", 12, 14, 0, "0-10"},
                    RowsCase{"LastTwoLinesAndBelow", 30, 100, 0, "10-18"},
                    RowsCase{"AboveTheText", -50, -1, 0, "0-0"},
                    RowsCase{"BelowTheText", 60, 90, 0, "0-0"},
                    // A line feed may stand up to breakRise above its line's top.
                    RowsCase{"LineBelowReachesUpByTheRise", 0, 12, 2, "0-10"},
                    RowsCase{"LineBelowStaysOutWithoutIt", 0, 12, 0, "0-5"}),
    [](const testing::TestParamInfo<RowsCase>& info) { return std::string(info.param.name); });

TEST(RichLayout, SingleLineModeNeverWrapsAndRecordsTheContentWidth)
{
    Document document;
    document.Add(L"abcdefghijklmnop\r\nq");
    LayoutResult result = LayoutElements(document.Elements(), Params(60, LayoutSingleLine));
    ASSERT_EQ(result.lines.size(), 1u);
    EXPECT_EQ(result.lines[0].first, 0);
    EXPECT_EQ(result.lines[0].last, 18);
    EXPECT_EQ(document[18].x, 96);
    EXPECT_EQ(document[18].y, 0);
    EXPECT_EQ(result.contentWidth, 102);
}

TEST(RichLayout, SingleLineModeAlignsEveryElementToTheTallest)
{
    Document document;
    document.Add(L"a");
    document.Add(L"#", 20, 20);
    document.Add(L"b");
    LayoutResult result = LayoutElements(document.Elements(), Params(60, LayoutSingleLine));
    EXPECT_EQ(document[0].y, 8);
    EXPECT_EQ(document[1].y, 0);
    EXPECT_EQ(document[2].y, 8);
}

TEST(RichLayout, CentringShiftsEachLineByHalfItsSpareWidth)
{
    Document document;
    document.Add(L"ab\r\nabcd");
    LayoutResult result = LayoutElements(document.Elements(), Params(60, LayoutCentreLines));
    EXPECT_EQ(document[0].x, 24);  // (60 - 12) / 2
    EXPECT_EQ(document[4].x, 18);  // (60 - 24) / 2
}

TEST(RichLayout, VerticalCentringUsesTheLastLine)
{
    Document document;
    document.Add(L"ab");
    LayoutParams params = Params(60, LayoutSingleLine | LayoutCentreVertically);
    params.rect.bottom = 30;
    LayoutResult result = LayoutElements(document.Elements(), params);
    EXPECT_EQ(result.verticalCentring, 9);  // (30 - 12 - 0) / 2
}

struct CaretCase {
    const char* name;
    const wchar_t* text;
    int index;
    int previous;
    int expectedIndex;
    int x;
    int y;
};

void PrintTo(const CaretCase& value, std::ostream* out) { *out << value.name; }

class CaretPlacement : public testing::TestWithParam<CaretCase> {};

TEST_P(CaretPlacement, StandsHere)
{
    Document document;
    document.Add(GetParam().text);
    LayoutParams params = Params();
    LayoutElements(document.Elements(), params);
    CaretSpot caret = PlaceCaret(document.Elements(), GetParam().index, GetParam().previous, params);
    EXPECT_EQ(caret.index, GetParam().expectedIndex);
    EXPECT_EQ(caret.x, GetParam().x);
    EXPECT_EQ(caret.y, GetParam().y);
    EXPECT_EQ(caret.height, 12);
}

INSTANTIATE_TEST_SUITE_P(
    Caret, CaretPlacement,
    testing::Values(CaretCase{"EmptyDocument", L"", 0, 0, 0, 0, 0},
                    CaretCase{"Start", L"abc", 0, 0, 0, 0, 0},
                    CaretCase{"BetweenCharacters", L"abc", 2, 0, 2, 12, 0},
                    CaretCase{"End", L"abc", 3, 0, 3, 18, 0},
                    CaretCase{"BeyondTheEndIsClamped", L"abc", 9, 0, 3, 18, 0},
                    CaretCase{"BeforeTheStartIsClamped", L"abc", -4, 0, 0, 0, 0},
                    // Between carriage return and line feed: moving right goes past the
                    // pair, moving left stops before it.
                    CaretCase{"MovingRightSkipsTheLineFeed", L"a\r\nb", 2, 1, 3, 0, 14},
                    CaretCase{"MovingLeftStopsBeforeTheCarriageReturn", L"a\r\nb", 2, 3, 1, 6, 0},
                    // Past a final line feed: the start of the next line.
                    CaretCase{"AfterFinalLineFeed", L"ab\r\n", 4, 0, 4, 0, 14},
                    CaretCase{"OnFinalLineFeedGoesPastIt", L"ab\r\n", 3, 2, 4, 0, 14},
                    // After a wrapped line: at the start of the next line.
                    CaretCase{"StartOfAWrappedLine", L"abcdefghij", 9, 0, 9, 0, 14}));

TEST(RichLayout, CaretAfterSmallCharacterBesideTallPictureHasTheCharacterHeight)
{
    Document document;
    document.Add(L"a");
    document.Add(L"#", 30, 30);
    LayoutParams params = Params(200);
    LayoutElements(document.Elements(), params);
    CaretSpot beforePicture = PlaceCaret(document.Elements(), 1, 0, params);
    EXPECT_EQ(beforePicture.x, 6);
    EXPECT_EQ(beforePicture.height, 12);
    EXPECT_EQ(beforePicture.y, 18);
    CaretSpot atEnd = PlaceCaret(document.Elements(), 2, 0, params);
    EXPECT_EQ(atEnd.x, 36);
    EXPECT_EQ(atEnd.height, 12);
    EXPECT_EQ(atEnd.y, 18);  // bottom stays on the picture's bottom
}

TEST(RichLayout, PicturesFitIntoTheLargestSideKeepingTheirAspect)
{
    EXPECT_EQ(FitImageSize({40, 20}, 80).cx, 40);
    SIZE wide = FitImageSize({200, 100}, 80);
    EXPECT_EQ(wide.cx, 80);
    EXPECT_EQ(wide.cy, 40);
    SIZE tall = FitImageSize({30, 90}, 80);
    EXPECT_EQ(tall.cx, 26);
    EXPECT_EQ(tall.cy, 80);
    EXPECT_EQ(LargestImageSideForWidth(100), 80);
    EXPECT_EQ(LargestImageSideForWidth(20), 40);
    EXPECT_EQ(LargestImageSideForWidth(1000), 150);
}

}  // namespace
