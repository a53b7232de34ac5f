#include "ImageResources.h"

#include <gdiplus.h>

#include <cstring>

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

HBITMAP LoadPngBitmap(int id)
{
    std::unique_ptr<CGdiImage> image = LoadPngResource(id);
    return ToPremultipliedBitmap(image.get());
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
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
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
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
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
