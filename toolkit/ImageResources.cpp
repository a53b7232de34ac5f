#include "ImageResources.h"

#include <gdiplus.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "DisplayScale.h"
#include "ResourceIds.h"

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

CGdiImage::~CGdiImage()
{
    Dispose();
}

int CGdiImage::Record(int result)
{
    status = result;
    return result;
}

void CGdiImage::Dispose()
{
    if (bitmap) {
        GdipDisposeImage(bitmap);
        bitmap = nullptr;
    }
    if (stream) {
        stream->Release();
        stream = nullptr;
    }
}

int CGdiImage::DecodeFrom(IStream* source)
{
    Dispose();
    if (!source)
        return Record(InvalidParameter);
    stream = source;
    stream->AddRef();
    return Record(GdipCreateBitmapFromStream(stream, &bitmap));
}

int CGdiImage::CopyFrom(HBITMAP source)
{
    Dispose();
    return Record(GdipCreateBitmapFromHBITMAP(source, nullptr, &bitmap));
}

unsigned CGdiImage::Width()
{
    UINT width = 0;
    if (bitmap)
        Record(GdipGetImageWidth(bitmap, &width));
    return width;
}

unsigned CGdiImage::Height()
{
    UINT height = 0;
    if (bitmap)
        Record(GdipGetImageHeight(bitmap, &height));
    return height;
}

HBITMAP CGdiImage::ToBitmap(DWORD backgroundArgb)
{
    if (!bitmap) {
        Record(InvalidParameter);
        return nullptr;
    }
    HBITMAP converted = nullptr;
    if (Record(GdipCreateHBITMAPFromBitmap(bitmap, &converted, backgroundArgb)) != Ok)
        return nullptr;
    return converted;
}

DWORD CGdiImage::PixelArgb(unsigned x, unsigned y)
{
    ARGB color = 0;
    if (bitmap)
        Record(GdipBitmapGetPixel(bitmap, static_cast<INT>(x), static_cast<INT>(y), &color));
    return color;
}

std::unique_ptr<CGdiImage> LoadPngResource(int id)
{
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!found)
        return nullptr;
    HGLOBAL loaded = ::LoadResource(module, found);
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    DWORD size = ::SizeofResource(module, found);
    if (!bytes || size == 0)
        return nullptr;

    // The stream frees the block when it is released.
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return nullptr;
    void* target = ::GlobalLock(block);
    std::memcpy(target, bytes, size);
    ::GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream))) {
        ::GlobalFree(block);
        return nullptr;
    }
    auto image = std::make_unique<CGdiImage>();
    image->DecodeFrom(stream);
    stream->Release();
    return image;
}

HBITMAP ToPremultipliedBitmap(CGdiImage* image, DWORD backgroundArgb)
{
    return image ? image->ToBitmap(backgroundArgb) : nullptr;
}

HBITMAP LoadPngBitmap(int id, DWORD backgroundArgb)
{
    std::unique_ptr<CGdiImage> image = LoadPngResource(id);
    return ToPremultipliedBitmap(image.get(), backgroundArgb);
}

int DrawnPercentFor(UINT dpi)
{
    if (dpi <= DefaultDpi)
        return 100;
    if (dpi * 2 <= DefaultDpi * 3)
        return 150;
    return 200;
}

HBITMAP LoadPngBitmapAt(int id, UINT dpi, DWORD backgroundArgb)
{
    const int percent = DrawnPercentFor(dpi);
    HBITMAP drawn = LoadPngBitmap(percent == 100 ? id : ScaledPictureId(id, percent), backgroundArgb);
    if (!drawn)
        return nullptr;
    const SIZE size = BitmapSize(drawn);
    // The drawings' sizes are the 100 % size times the percentage, exactly.
    const SIZE wanted{::MulDiv(size.cx * 100 / percent, static_cast<int>(dpi), DefaultDpi),
                      ::MulDiv(size.cy * 100 / percent, static_cast<int>(dpi), DefaultDpi)};
    if (wanted.cx == size.cx && wanted.cy == size.cy)
        return drawn;
    HBITMAP scaled = ScalePixels(drawn, wanted);
    ::DeleteObject(drawn);
    return scaled;
}

namespace {

BITMAPINFO Dib32Header(int width, int height)
{
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    return header;
}

// One axis of the area filter: for target index t, the source indices it covers with
// their weights (summing to 1).
struct Tap {
    int index;
    double weight;
};

std::vector<std::vector<Tap>> AreaTaps(int sourceLength, int targetLength)
{
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(targetLength));
    const double ratio = static_cast<double>(sourceLength) / targetLength;
    for (int t = 0; t < targetLength; ++t) {
        const double begin = t * ratio, end = (t + 1) * ratio;
        for (int s = static_cast<int>(begin); s < sourceLength && s < end; ++s) {
            const double covered = std::min<double>(s + 1, end) - std::max<double>(s, begin);
            if (covered > 0)
                taps[t].push_back(Tap{s, covered / ratio});
        }
    }
    return taps;
}

// Resamples a row-major picture of 4-channel pixels along one axis: along its rows
// (`lines` rows of `sourceLength` pixels) or along its columns (`lines` columns of
// `sourceLength` pixels).
std::vector<double> ResampleAxis(const std::vector<double>& source, int lines, int sourceLength,
                                 int targetLength, bool alongRows)
{
    const std::vector<std::vector<Tap>> taps = AreaTaps(sourceLength, targetLength);
    std::vector<double> target(static_cast<size_t>(lines) * targetLength * 4, 0.0);
    for (int line = 0; line < lines; ++line) {
        for (int t = 0; t < targetLength; ++t) {
            const size_t out = alongRows ? (static_cast<size_t>(line) * targetLength + t)
                                         : (static_cast<size_t>(t) * lines + line);
            for (const Tap& tap : taps[t]) {
                const size_t in = alongRows ? (static_cast<size_t>(line) * sourceLength + tap.index)
                                            : (static_cast<size_t>(tap.index) * lines + line);
                for (int c = 0; c < 4; ++c)
                    target[out * 4 + c] += source[in * 4 + c] * tap.weight;
            }
        }
    }
    return target;
}

} // namespace

HBITMAP ScalePixels(HBITMAP source, SIZE size)
{
    const SIZE from = BitmapSize(source);
    if (from.cx <= 0 || from.cy <= 0 || size.cx <= 0 || size.cy <= 0)
        return nullptr;
    std::vector<uint32_t> pixels(static_cast<size_t>(from.cx) * from.cy);
    BITMAPINFO header = Dib32Header(from.cx, from.cy);
    HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, source, 0, from.cy, pixels.data(), &header, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != from.cy)
        return nullptr;

    std::vector<double> channels(pixels.size() * 4);
    for (size_t i = 0; i < pixels.size(); ++i) {
        for (int c = 0; c < 4; ++c)
            channels[i * 4 + c] = (pixels[i] >> (8 * c)) & 0xFF;
    }
    channels = ResampleAxis(channels, from.cy, from.cx, size.cx, true);
    channels = ResampleAxis(channels, size.cx, from.cy, size.cy, false);

    void* bits = nullptr;
    HBITMAP scaled = CreateDib32(size.cx, size.cy, &bits);
    if (!scaled)
        return nullptr;
    auto* out = static_cast<uint32_t*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(size.cx) * size.cy; ++i) {
        uint32_t pixel = 0;
        for (int c = 0; c < 4; ++c) {
            const double value = std::min(255.0, std::max(0.0, channels[i * 4 + c] + 0.5));
            pixel |= static_cast<uint32_t>(value) << (8 * c);
        }
        out[i] = pixel;
    }
    return scaled;
}

namespace {

// The image library reads a 32-bit bitmap as opaque RGB, which would darken and
// flatten a premultiplied picture; such bitmaps are copied pixel for pixel instead.
HBITMAP CopyDib32(HBITMAP bitmap, const BITMAP& info)
{
    void* bits = nullptr;
    HBITMAP copy = CreateDib32(info.bmWidth, info.bmHeight, &bits);
    if (!copy)
        return nullptr;
    BITMAPINFO header = Dib32Header(info.bmWidth, info.bmHeight);
    HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, bitmap, 0, info.bmHeight, bits, &header, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != info.bmHeight) {
        ::DeleteObject(copy);
        return nullptr;
    }
    return copy;
}

} // namespace

HBITMAP CopyBitmap(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof info, &info))
        return nullptr;
    if (info.bmBitsPixel == 32)
        return CopyDib32(bitmap, info);
    CGdiImage image;
    if (image.CopyFrom(bitmap) != Ok)
        return nullptr;
    return image.ToBitmap(OpaqueBlackArgb);
}

HBITMAP CreateDib32(int width, int height, void** bits)
{
    BITMAPINFO info = Dib32Header(width, height);
    void* pixels = nullptr;
    HBITMAP dib = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits)
        *bits = dib ? pixels : nullptr;
    return dib;
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof info, &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}
