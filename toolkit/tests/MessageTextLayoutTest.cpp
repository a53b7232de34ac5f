#include <gtest/gtest.h>

#include <map>

#include "MessageTextLayout.h"

namespace {

// Every character 10 wide and 12 high, except those listed.
class FixedMeasure : public CharMeasure {
public:
    int height = 12;
    int average = 6;
    std::map<wchar_t, SIZE> special;
    int TextHeight() const override { return height; }
    int AverageCharWidth() const override { return average; }
    SIZE CharExtent(wchar_t ch) const override
    {
        auto it = special.find(ch);
        return it != special.end() ? it->second : SIZE{10, height};
    }
};

MessageTextLayout LaidOut(const std::wstring& text, const RECT& bounds, const FixedMeasure& measure,
                          int lineGap = 6, unsigned flags = 0)
{
    MessageTextLayout layout;
    layout.bounds = bounds;
    layout.lineGap = lineGap;
    layout.flags = flags;
    layout.SetText(text);
    layout.Update(measure);
    return layout;
}

struct LineCase {
    const wchar_t* name;
    std::wstring text;
    int right;
    std::vector<std::pair<size_t, size_t>> lines;
};

TEST(MessageTextLayout, LinesBreakAtTheRightEdgeAndAtLineEnds)
{
    const LineCase cases[] = {
        // 5 cells of 10 from x = 0: the fifth would reach 50 >= 50 and wraps.
        {L"wrap where x + width reaches the right edge", L"abcdefgh", 50, {{0, 3}, {4, 7}}},
        {L"a cell ending just before the edge stays", L"abcdefgh", 51, {{0, 4}, {5, 7}}},
        {L"LF ends a line", L"ab\ncd", 100, {{0, 2}, {3, 4}}},
        {L"CR LF is one line end", L"ab\r\ncd", 100, {{0, 3}, {4, 5}}},
        {L"CR before another character ends a line", L"ab\rcd", 100, {{0, 2}, {3, 4}}},
        {L"a final CR ends nothing", L"ab\r", 100, {{0, 2}}},
        {L"a final LF adds no empty line", L"ab\n", 100, {{0, 2}}},
        {L"Chinese wraps between any two characters", L"安装路径无效请重新选择", 40, {{0, 2}, {3, 5}, {6, 8}, {9, 10}}},
        {L"an empty text has no lines", L"", 100, {}},
    };
    FixedMeasure measure;
    for (const LineCase& c : cases) {
        const MessageTextLayout layout = LaidOut(c.text, RECT{0, 0, c.right, 200}, measure);
        std::vector<std::pair<size_t, size_t>> lines;
        for (const MessageTextLayout::Line& line : layout.lines)
            lines.emplace_back(line.first, line.last);
        EXPECT_EQ(lines, c.lines) << c.name;
    }
}

TEST(MessageTextLayout, CellsArePlacedLineByLineWithTheGap)
{
    FixedMeasure measure;
    const MessageTextLayout layout = LaidOut(L"abcdefg", RECT{30, 40, 80, 300}, measure);
    ASSERT_EQ(layout.lines.size(), 2u);
    EXPECT_EQ(layout.lines[0].top, 40);
    EXPECT_EQ(layout.lines[0].bottom, 58) << "line height 12 plus the gap of 6";
    EXPECT_EQ(layout.lines[0].width, 40);
    EXPECT_EQ(layout.lines[1].top, 58);
    EXPECT_EQ(layout.cells[0].x, 30);
    EXPECT_EQ(layout.cells[3].x, 60);
    EXPECT_EQ(layout.cells[4].x, 30);
    EXPECT_EQ(layout.cells[4].y, 58);
    EXPECT_EQ(layout.cells[6].x, 50);
}

TEST(MessageTextLayout, LineEndCellsHaveNoWidth)
{
    FixedMeasure measure;
    const MessageTextLayout layout = LaidOut(L"a\r\nb", RECT{0, 0, 100, 100}, measure);
    EXPECT_EQ(layout.cells[1].width, 0);
    EXPECT_EQ(layout.cells[2].width, 0);
    EXPECT_EQ(layout.lines[0].width, 10);
}

TEST(MessageTextLayout, ATallerCellLowersTheCellsBeforeItOntoACommonBottomLine)
{
    FixedMeasure measure;
    measure.special[L'M'] = SIZE{10, 20};
    const MessageTextLayout layout = LaidOut(L"abM", RECT{0, 0, 100, 100}, measure);
    EXPECT_EQ(layout.cells[0].y, 8);
    EXPECT_EQ(layout.cells[1].y, 8);
    EXPECT_EQ(layout.cells[2].y, 0);
    EXPECT_EQ(layout.lines[0].bottom, 26);
}

TEST(MessageTextLayout, TheBlockIsCentredVerticallyWhenAsked)
{
    FixedMeasure measure;
    // One line: the block ends at 12 + 0; (100 - 12) / 2 = 44.
    EXPECT_EQ(LaidOut(L"ab", RECT{0, 0, 100, 100}, measure, 6, 4).verticalOffset, 44);
    EXPECT_EQ(LaidOut(L"ab", RECT{0, 0, 100, 100}, measure, 6, 0).verticalOffset, 0);
    // Too much text for the box: no negative offset.
    EXPECT_EQ(LaidOut(std::wstring(200, L'x'), RECT{0, 0, 50, 40}, measure, 6, 4).verticalOffset, 0);
}

TEST(MessageTextLayout, MeasuringAgainWithTheSameFontDoesNothing)
{
    FixedMeasure measure;
    MessageTextLayout layout = LaidOut(L"abc", RECT{0, 0, 100, 100}, measure);
    EXPECT_FALSE(layout.Update(measure));
    measure.height = 16;
    EXPECT_TRUE(layout.Update(measure));
    EXPECT_EQ(layout.cells[0].height, 16);
    layout.SetBounds(RECT{0, 0, 30, 100});
    EXPECT_TRUE(layout.Update(measure)) << "new bounds are laid out again";
    EXPECT_EQ(layout.lines.size(), 2u);
    layout.SetText(L"de");
    EXPECT_EQ(layout.cachedTextHeight, 0) << "a new text is measured at the next drawing";
    EXPECT_TRUE(layout.Update(measure));
}

TEST(MessageTextLayout, OnlyWholeLinesInsideTheBoundsAreDrawnAndACutEndsInAnEllipsis)
{
    struct Case {
        const wchar_t* name;
        std::wstring text;
        RECT bounds;
        unsigned flags;
        size_t drawnCells;
        bool ellipsis;
        POINT ellipsisAt;
    };
    // Cells 10 x 12, lines 18 apart; the ellipsis measures like any cell.
    const Case cases[] = {
        {L"text that fits is drawn whole", L"abcdefgh", RECT{0, 0, 50, 40}, 0, 8, false, {}},
        {L"a line ending exactly on the bottom fits", L"abcdefgh", RECT{0, 0, 50, 30}, 0, 8, false, {}},
        // Lines of four; the third (36..48) crosses the bottom. The second keeps the
        // cells that leave room for the ellipsis before the right edge.
        {L"a cut line gives way to the ellipsis", L"abcdefghijkl", RECT{0, 0, 50, 40}, 0, 7, true, {30, 18}},
        {L"a short line keeps all its cells", L"ab\ncd\nef", RECT{0, 0, 100, 30}, 0, 6, true, {20, 18}},
        {L"a centred block fits with its offset", L"ab", RECT{0, 0, 100, 100}, MessageTextLayout::CenterVertically, 2, false, {}},
        {L"no line fits: nothing is drawn", L"ab\ncd", RECT{0, 0, 100, 5}, 0, 0, false, {}},
    };
    FixedMeasure measure;
    for (const Case& c : cases) {
        const MessageTextLayout layout = LaidOut(c.text, c.bounds, measure, 6, c.flags);
        EXPECT_EQ(layout.drawnCells, c.drawnCells) << c.name;
        EXPECT_EQ(layout.ellipsisShown, c.ellipsis) << c.name;
        if (c.ellipsis) {
            EXPECT_EQ(layout.ellipsis.ch, L'\u2026') << c.name;
            EXPECT_EQ(layout.ellipsis.x, c.ellipsisAt.x) << c.name;
            EXPECT_EQ(layout.ellipsis.y, c.ellipsisAt.y) << c.name;
            EXPECT_LT(layout.ellipsis.x + layout.ellipsis.width, c.bounds.right) << c.name;
        }
    }
}

} // namespace
