#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "DisplayScale.h"
#include "GdiObjects.h"
#include "ImageResources.h"
#include "ResourceIds.h"
#include "ToolkitTestSupport.h"

namespace {

struct PictureCase {
    int id;
    unsigned width, height;
};

const PictureCase pictures[] = {
    {IDP_SHADOW, 40, 40},          {IDP_CLOSE_HOVER, 20, 20},     {IDP_CLOSE_NORMAL, 20, 20},
    {IDP_CLOSE_PRESSED, 20, 20},   {IDP_MINIMIZE_HOVER, 20, 20},  {IDP_MINIMIZE_NORMAL, 20, 20},
    {IDP_MINIMIZE_PRESSED, 20, 20}, {IDP_BOX_SECOND, 30, 30},     {IDP_BOX_FIRST_HOVER, 30, 30},
    {IDP_BOX_FIRST, 30, 30},       {IDP_BOX_SECOND_HOVER, 30, 30}, {IDP_BANNER, 500, 270},
    {IDP_BROWSE_NORMAL, 30, 30},   {IDP_MAIN_HOVER, 30, 30},      {IDP_MAIN_NORMAL, 30, 30},
    {IDP_BROWSE_HOVER, 30, 30},    {IDP_CHECK_OFF, 12, 12},       {IDP_CHECK_ON, 12, 12},
};

TEST(ImageResources, EveryPictureIsDrawnAlsoForOneAndAHalfAndTwiceItsSize)
{
    for (const PictureCase& c : pictures) {
        for (int percent : {150, 200}) {
            ScopedGdiObject<HBITMAP> drawn(LoadPngBitmap(ScaledPictureId(c.id, percent)));
            ASSERT_TRUE(drawn) << c.id << " at " << percent;
            EXPECT_EQ(BitmapSize(drawn.Get()).cx, static_cast<LONG>(c.width * percent / 100)) << c.id;
            EXPECT_EQ(BitmapSize(drawn.Get()).cy, static_cast<LONG>(c.height * percent / 100)) << c.id;
        }
    }
}

struct ScaleCase {
    UINT dpi;
    int drawnPercent;
};

TEST(ImageResources, EachScaleStartsFromTheDrawingAtOrAboveIt)
{
    const ScaleCase cases[] = {{96, 100}, {120, 150}, {144, 150}, {168, 200}, {192, 200}, {288, 200}};
    for (const ScaleCase& c : cases) {
        EXPECT_EQ(DrawnPercentFor(c.dpi), c.drawnPercent) << c.dpi;
        ScopedGdiObject<HBITMAP> banner(LoadPngBitmapAt(IDP_BANNER, c.dpi));
        EXPECT_EQ(BitmapSize(banner.Get()).cx, ScaleLength(500, c.dpi)) << c.dpi;
        EXPECT_EQ(BitmapSize(banner.Get()).cy, ScaleLength(270, c.dpi)) << c.dpi;
    }
}

TEST(ImageResources, AtADrawnScaleThePictureIsTheDrawingItself)
{
    for (const ScaleCase& c : {ScaleCase{96, 100}, ScaleCase{144, 150}, ScaleCase{192, 200}}) {
        const int id = c.drawnPercent == 100 ? IDP_MAIN_HOVER : ScaledPictureId(IDP_MAIN_HOVER, c.drawnPercent);
        ScopedGdiObject<HBITMAP> drawn(LoadPngBitmap(id));
        ScopedGdiObject<HBITMAP> picked(LoadPngBitmapAt(IDP_MAIN_HOVER, c.dpi));
        EXPECT_EQ(BitmapPixels(picked.Get()), BitmapPixels(drawn.Get())) << c.dpi;
    }
}

// A picture of `width` x `height` premultiplied pixels, top row first.
HBITMAP PictureOf(int width, int height, const std::vector<uint32_t>& topDown)
{
    void* bits = nullptr;
    HBITMAP bitmap = CreateDib32(width, height, &bits);
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < height; ++y)
        std::copy_n(topDown.begin() + y * width, width, pixels + (height - 1 - y) * width);
    return bitmap;
}

TEST(ImageResources, ScalingDownAveragesTheAreaEachPixelCovers)
{
    // Opaque white and transparent pixels in a checker: each 2 x 2 block becomes half
    // covered white, premultiplied.
    const uint32_t W = 0xFFFFFFFF, T = 0;
    ScopedGdiObject<HBITMAP> checker(PictureOf(4, 2, {W, T, W, W, T, W, W, W}));
    ScopedGdiObject<HBITMAP> halved(ScalePixels(checker.Get(), SIZE{2, 1}));
    EXPECT_EQ(BitmapPixels(halved.Get()), (std::vector<uint32_t>{0x80808080, W}));

    // Three pixels into two: the middle one is shared half and half.
    ScopedGdiObject<HBITMAP> row(PictureOf(3, 1, {0xFF000000, 0xFF606060, 0xFFC0C0C0}));
    ScopedGdiObject<HBITMAP> two(ScalePixels(row.Get(), SIZE{2, 1}));
    EXPECT_EQ(BitmapPixels(two.Get()), (std::vector<uint32_t>{0xFF202020, 0xFFA0A0A0}));
}

TEST(ImageResources, EveryPictureDecodesAtItsSize)
{
    for (const PictureCase& c : pictures) {
        std::unique_ptr<CGdiImage> image = LoadPngResource(c.id);
        ASSERT_TRUE(image) << c.id;
        EXPECT_EQ(image->Status(), 0) << c.id;
        EXPECT_EQ(image->Width(), c.width) << c.id;
        EXPECT_EQ(image->Height(), c.height) << c.id;
        ScopedGdiObject<HBITMAP> bitmap(ToPremultipliedBitmap(image.get()));
        ASSERT_TRUE(bitmap) << c.id;
        BITMAP info{};
        ::GetObjectW(bitmap.Get(), sizeof info, &info);
        EXPECT_EQ(info.bmBitsPixel, 32) << c.id;
        EXPECT_EQ(BitmapSize(bitmap.Get()).cx, static_cast<LONG>(c.width));
    }
}

TEST(ImageResources, AMissingPictureGivesNull)
{
    EXPECT_EQ(LoadPngResource(999), nullptr);
    EXPECT_EQ(LoadPngBitmap(999), nullptr);
    EXPECT_EQ(ToPremultipliedBitmap(nullptr), nullptr);
}

// Premultiplied value of one colour channel, as the conversion rounds it.
bool Near(uint32_t a, uint32_t b)
{
    return std::abs(static_cast<int>(a) - static_cast<int>(b)) <= 1;
}

TEST(ImageResources, TheConvertedBitmapIsThePicturePremultiplied)
{
    for (int id : {IDP_SHADOW, IDP_BOX_FIRST, IDP_CHECK_ON, IDP_CLOSE_NORMAL}) {
        std::unique_ptr<CGdiImage> image = LoadPngResource(id);
        ASSERT_TRUE(image);
        ScopedGdiObject<HBITMAP> bitmap(ToPremultipliedBitmap(image.get()));
        const std::vector<uint32_t> pixels = BitmapPixels(bitmap.Get());
        const unsigned width = image->Width();
        int translucent = 0;
        for (unsigned y = 0; y < image->Height(); ++y) {
            for (unsigned x = 0; x < width; ++x) {
                const uint32_t argb = image->PixelArgb(x, y);
                const uint32_t alpha = argb >> 24;
                const uint32_t pixel = pixels[y * width + x];
                ASSERT_EQ(Alpha(pixel), alpha) << id << " at " << x << "," << y;
                translucent += alpha > 0 && alpha < 255;
                for (int shift : {0, 8, 16}) {
                    const uint32_t expected = ((argb >> shift) & 0xFF) * alpha / 255;
                    ASSERT_TRUE(Near((pixel >> shift) & 0xFF, expected))
                        << id << " at " << x << "," << y << " channel " << shift;
                }
            }
        }
        if (id == IDP_SHADOW) {
            EXPECT_GT(translucent, 0) << "the shadow is soft";
        }
    }
}

TEST(ImageResources, ACopiedPictureHasTheSamePixelsTransparencyIncluded)
{
    // An opaque picture and the soft shadow.
    for (int id : {IDP_BANNER, IDP_SHADOW}) {
        ScopedGdiObject<HBITMAP> original(LoadPngBitmap(id));
        ASSERT_TRUE(original) << id;
        ScopedGdiObject<HBITMAP> copy(CopyBitmap(original.Get()));
        ASSERT_TRUE(copy) << id;
        EXPECT_NE(copy.Get(), original.Get()) << id;
        EXPECT_EQ(BitmapPixels(copy.Get()), BitmapPixels(original.Get())) << id;
    }
    EXPECT_EQ(CopyBitmap(nullptr), nullptr);
}

TEST(ImageResources, ACopyOfAnRgbBitmapIsAnOpaque32BitPicture)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = 2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ScopedGdiObject<HBITMAP> rgb(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(rgb);
    auto* bytes = static_cast<uint8_t*>(bits);
    for (int i = 0; i < 2 * 12; i += 3) {
        bytes[i] = 0x30;      // blue
        bytes[i + 1] = 0x60;  // green
        bytes[i + 2] = 0x90;  // red
    }
    ScopedGdiObject<HBITMAP> copy(CopyBitmap(rgb.Get()));
    ASSERT_TRUE(copy);
    BITMAP copied{};
    ::GetObjectW(copy.Get(), sizeof copied, &copied);
    EXPECT_EQ(copied.bmBitsPixel, 32);
    for (uint32_t pixel : BitmapPixels(copy.Get()))
        EXPECT_EQ(pixel, 0xFF906030u);
}

TEST(ImageResources, ADib32IsBottomUpWithPixelsToWriteTo)
{
    void* bits = nullptr;
    ScopedGdiObject<HBITMAP> dib(CreateDib32(7, 5, &bits));
    ASSERT_TRUE(dib);
    ASSERT_TRUE(bits);
    DIBSECTION section{};
    ASSERT_EQ(::GetObjectW(dib.Get(), sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBmih.biWidth, 7);
    EXPECT_EQ(section.dsBmih.biHeight, 5) << "positive: rows stored bottom-up";
    EXPECT_EQ(section.dsBmih.biBitCount, 32);
    EXPECT_EQ(section.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));
    // The first stored row is the bottom one.
    static_cast<uint32_t*>(bits)[0] = 0x11223344;
    EXPECT_EQ(BitmapPixels(dib.Get())[4 * 7], 0x11223344u);
}

} // namespace
