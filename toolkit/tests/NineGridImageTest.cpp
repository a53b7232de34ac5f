#include <gtest/gtest.h>

#include "GdiObjects.h"
#include "ImageResources.h"
#include "NineGridImage.h"
#include "ResourceIds.h"
#include "ToolkitTestSupport.h"

namespace {

using Pieces = std::vector<NineGridPiece>;

TEST(NineGridImage, ADestinationOfThePicturesSizeCopiesTheFourCornersOnly)
{
    const Pieces pieces = NineGridPieces(40, 40, 20, 20, 20, 20, RECT{5, 7, 45, 47});
    const Pieces expected = {
        {0, 0, 20, 20, 5, 7, 20, 20},
        {20, 0, 20, 20, 25, 7, 20, 20},
        {0, 20, 20, 20, 5, 27, 20, 20},
        {20, 20, 20, 20, 25, 27, 20, 20},
    };
    EXPECT_EQ(pieces, expected);
}

TEST(NineGridImage, TheShadowOverAWindowHasBandsFromTheSeamsAndAQuarteredCentre)
{
    const Pieces pieces = NineGridPieces(40, 40, 20, 20, 20, 20, RECT{0, 0, 516, 416});
    const Pieces expected = {
        {20, 0, 1, 20, 20, 0, 476, 20},      // top band
        {20, 20, 1, 20, 20, 396, 476, 20},   // bottom band
        {0, 20, 20, 1, 0, 20, 20, 376},      // left band
        {20, 20, 20, 1, 496, 20, 20, 376},   // right band
        {20, 20, 1, 1, 20, 20, 238, 188},    // centre quadrants
        {20, 20, 1, 1, 258, 20, 238, 188},
        {20, 20, 1, 1, 20, 208, 238, 188},
        {20, 20, 1, 1, 258, 208, 238, 188},
        {0, 0, 20, 20, 0, 0, 20, 20},        // corners
        {20, 0, 20, 20, 496, 0, 20, 20},
        {0, 20, 20, 20, 0, 396, 20, 20},
        {20, 20, 20, 20, 496, 396, 20, 20},
    };
    EXPECT_EQ(pieces, expected);
}

TEST(NineGridImage, OddExtraSizesGiveOverlappingQuadrantsRoundedUp)
{
    // 40 + 71 wide, 40 + 9 high.
    const Pieces pieces = NineGridPieces(40, 40, 20, 20, 20, 20, RECT{0, 0, 111, 49});
    std::vector<NineGridPiece> quadrants;
    for (const NineGridPiece& p : pieces) {
        if (p.srcWidth == 1 && p.srcHeight == 1)
            quadrants.push_back(p);
    }
    const Pieces expected = {
        {20, 20, 1, 1, 20, 20, 36, 5},
        {20, 20, 1, 1, 55, 20, 36, 5},
        {20, 20, 1, 1, 20, 24, 36, 5},
        {20, 20, 1, 1, 55, 24, 36, 5},
    };
    EXPECT_EQ(quadrants, expected);
}

TEST(NineGridImage, AWideButtonStretchesOnlyHorizontally)
{
    const Pieces pieces = NineGridPieces(30, 30, 15, 15, 15, 15, RECT{0, 0, 100, 30});
    const Pieces expected = {
        {15, 0, 1, 15, 15, 0, 70, 15},
        {15, 15, 1, 15, 15, 15, 70, 15},
        {0, 0, 15, 15, 0, 0, 15, 15},
        {15, 0, 15, 15, 85, 0, 15, 15},
        {0, 15, 15, 15, 0, 15, 15, 15},
        {15, 15, 15, 15, 85, 15, 15, 15},
    };
    EXPECT_EQ(pieces, expected);
}

TEST(NineGridImage, ASmallerDestinationDrawsOverlappingCorners)
{
    const Pieces pieces = NineGridPieces(40, 40, 20, 20, 20, 20, RECT{0, 0, 30, 30});
    const Pieces expected = {
        {0, 0, 20, 20, 0, 0, 20, 20},
        {20, 0, 20, 20, 10, 0, 20, 20},
        {0, 20, 20, 20, 0, 10, 20, 20},
        {20, 20, 20, 20, 10, 10, 20, 20},
    };
    EXPECT_EQ(pieces, expected);
}

TEST(NineGridImage, UnequalSplitsKeepTheMiddleCentredAndStretchTheGapsBesideIt)
{
    // Columns 0-9 left edge, 10-29 middle, 30-39 right edge; rows split equally.
    const Pieces pieces = NineGridPieces(40, 40, 10, 30, 20, 20, RECT{0, 0, 51, 40});
    const Pieces topRow = {pieces.begin(), pieces.begin() + 3};
    const Pieces expected = {
        {10, 0, 1, 20, 10, 0, 5, 20},    // gap left of the middle, from its first column
        {10, 0, 20, 20, 15, 0, 20, 20},  // the middle at its own size
        {29, 0, 1, 20, 35, 0, 6, 20},    // gap right of it, from its last column
    };
    EXPECT_EQ(topRow, expected);
    EXPECT_EQ(pieces.back(), (NineGridPiece{30, 20, 10, 20, 41, 20, 10, 20}));
}

TEST(NineGridImage, OneAutomaticSplitOfAPairTakesTheOthersValue)
{
    NineGridImage grid;
    grid.SetSplits(20, -1, 20, -1);
    EXPECT_EQ(grid.splitLeft, 20);
    EXPECT_EQ(grid.splitRight, 20);
    EXPECT_EQ(grid.splitTop, 20);
    EXPECT_EQ(grid.splitBottom, 20);
    grid.SetSplits(-1, 7, -1, -1);
    EXPECT_EQ(grid.splitLeft, 7);
    EXPECT_EQ(grid.splitTop, -1) << "both automatic: resolved at drawing";
}

TEST(NineGridImage, DrawingAtThePicturesSizeReproducesThePicture)
{
    HBITMAP picture = LoadPngBitmap(IDP_BOX_FIRST);
    ASSERT_TRUE(picture);
    void* bits = nullptr;
    ScopedGdiObject<HBITMAP> target(CreateDib32(30, 30, &bits));
    ScopedMemoryDC dc(nullptr);
    ScopedMemoryDC scratch(nullptr);
    {
        ScopedSelection selection(dc.Get(), target.Get());
        NineGridImage grid;
        grid.Attach(picture, true);
        EXPECT_EQ(grid.width, 30);
        EXPECT_EQ(grid.height, 30);
        grid.Draw(dc.Get(), scratch.Get(), 0, 0, 30, 30);
        EXPECT_EQ(grid.splitLeft, 15) << "automatic splits become half the size";
        ::GdiFlush();
        picture = LoadPngBitmap(IDP_BOX_FIRST);
    }
    EXPECT_EQ(BitmapPixels(target.Get()), BitmapPixels(picture));
    ::DeleteObject(picture);
}

TEST(NineGridImage, NothingIsDrawnWithoutAPicture)
{
    void* bits = nullptr;
    ScopedGdiObject<HBITMAP> target(CreateDib32(10, 10, &bits));
    ScopedMemoryDC dc(nullptr);
    ScopedMemoryDC scratch(nullptr);
    ScopedSelection selection(dc.Get(), target.Get());
    NineGridImage grid;
    grid.Attach(nullptr, false);
    EXPECT_EQ(grid.width, 0);
    grid.Draw(dc.Get(), scratch.Get(), 0, 0, 10, 10);
    ::GdiFlush();
    const uint32_t* pixels = static_cast<uint32_t*>(bits);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(pixels[i], 0u);
}

} // namespace
