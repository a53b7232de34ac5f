#include <gtest/gtest.h>

#include "GdiMeasurer.h"

namespace {

struct HeightCase {
    int size;
    int dpi;
    int height;
};

void PrintTo(const HeightCase& value, std::ostream* out)
{
    *out << "Size" << value.size << "At" << value.dpi << "Dpi";
}

class FontHeights : public testing::TestWithParam<HeightCase> {};

TEST_P(FontHeights, DropTenthsThenConvertPoints)
{
    EXPECT_EQ(FontHeightForSize(GetParam().size, GetParam().dpi), GetParam().height);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FontHeights,
                         testing::Values(HeightCase{90, 96, -12}, HeightCase{95, 96, -12},
                                         HeightCase{99, 96, -12}, HeightCase{120, 96, -16},
                                         HeightCase{50, 96, -7}, HeightCase{90, 120, -15}));

TEST(GdiMeasurer, DefaultFontIsNinePointSongti)
{
    CGdiMeasurer measurer;
    int expected = ::MulDiv(CGdiMeasurer::Dpi(), 90, 720);
    EXPECT_EQ(measurer.DefaultLineHeight(), expected);
    EXPECT_EQ(measurer.DefaultLogFont().lfHeight, -expected);
    EXPECT_STREQ(measurer.DefaultLogFont().lfFaceName, L"宋体");
    EXPECT_GT(measurer.WidestCharacter(), 0);
    SIZE measured = measurer.MeasureCharacter(L'W');
    EXPECT_GT(measured.cx, 0);
    EXPECT_GT(measured.cy, 0);
}

TEST(GdiMeasurer, UnderlineAndStrikeoutReuseTheCachedFont)
{
    CGdiMeasurer measurer;
    SharedString face = MakeSharedString(L"宋体");
    measurer.SelectFont(face, 90, 0, 0, 0, 0);
    measurer.SelectFont(face, 90, 0, 0, 1, 1);
    measurer.SelectFont(MakeSharedString(L"宋体"), 95, 0, 0, 0, 0);
    EXPECT_EQ(measurer.FontsCreated(), 2);  // 95 differs from 90 as a size
    measurer.SelectFont(face, 95, 1, 0, 0, 0);
    measurer.SelectFont(face, 95, 1, 1, 0, 0);
    EXPECT_EQ(measurer.FontsCreated(), 4);
    measurer.DropCachedFont();
    measurer.SelectFont(face, 95, 1, 1, 0, 0);
    EXPECT_EQ(measurer.FontsCreated(), 5);
}

TEST(GdiMeasurer, LargerSizeMeasuresWider)
{
    CGdiMeasurer measurer;
    measurer.SelectFont(nullptr, 90, 0, 0, 0, 0);
    SIZE small = measurer.MeasureCharacter(L'M');
    measurer.SelectFont(nullptr, 240, 0, 0, 0, 0);
    SIZE large = measurer.MeasureCharacter(L'M');
    EXPECT_GT(large.cx, small.cx);
    EXPECT_GT(large.cy, small.cy);
}

}  // namespace
