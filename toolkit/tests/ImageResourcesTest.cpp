#include <gtest/gtest.h>

#include <cmath>

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
